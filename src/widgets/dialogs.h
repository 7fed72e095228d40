#pragma once
// The open, save and font dialogs. Each remembers what the user chose; tests can
// script the next answer through platform.h instead of showing anything.

#include <QColor>
#include <QFont>
#include <QObject>
#include <QString>

#include <optional>

class QWidget;

namespace platform {

// What the open and save dialogs share: the type list, the entry selected
// and the path chosen.
class FileDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString filter READ filter WRITE setFilter)
    Q_PROPERTY(int filterIndex READ filterIndex WRITE setFilterIndex)
    Q_PROPERTY(QString fileName READ fileName)
public:
    // "label|pattern|label|pattern": entries are counted from 1.
    QString filter() const { return filter_; }
    void setFilter(const QString& filter) { filter_ = filter; }
    int filterIndex() const { return filterIndex_; }
    void setFilterIndex(int index) { filterIndex_ = index; }
    QString fileName() const { return fileName_; }

    // A confirmed answer: the absolute path and the type entry chosen.
    struct Choice {
        QString path;
        int filterIndex;
    };

protected:
    explicit FileDialog(QWidget* owner);
    enum class Mode { Open, Save };
    // Asks for a file (the scripted answer when there is one, else the
    // toolkit's dialog) and returns the answer, recording nothing; nothing
    // when cancelled.
    std::optional<Choice> ask(Mode mode);
    // Records a path (made absolute) and a type entry as the chosen ones.
    void record(const QString& path, int filterIndex);

private:
    QWidget* owner_;
    QString filter_;
    int filterIndex_ = 1;
    QString fileName_;
};

class OpenDialog : public FileDialog {
    Q_OBJECT
public:
    explicit OpenDialog(QWidget* owner);
    // Shows the dialog for an existing file and returns the user's answer
    // without recording it: a file is first read, and only a file that
    // could be read makes its choice the dialog's (recordChoice).
    std::optional<Choice> choose();
    // Records a choice (from the dialog, the command line or a drop): the
    // path and the entry become the dialog's, and the file's folder the
    // current directory, as the desktop's dialog leaves it.
    void recordChoice(const QString& path, int filterIndex);
};

// Asks before replacing an existing file; a name typed without extension
// gets the chosen entry's.
class SaveDialog : public FileDialog {
    Q_OBJECT
public:
    explicit SaveDialog(QWidget* owner);
    bool execute();
};

class FontDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QFont font READ font WRITE setFont)
    Q_PROPERTY(QColor color READ color WRITE setColor)
public:
    explicit FontDialog(QWidget* owner);
    QFont font() const { return font_; }
    void setFont(const QFont& font) { font_ = font; }
    // The text colour, one of the font's effects.
    QColor color() const { return color_; }
    void setColor(const QColor& color) { color_ = color; }
    // Shows the dialog preset with font() and color(); on confirmation they
    // are the chosen font and colour and the result is true.
    bool execute();

private:
    QWidget* owner_;
    QFont font_;
    QColor color_ = Qt::black;
};

} // namespace platform
