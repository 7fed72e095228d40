#pragma once
// The open, save and font dialogs. Each remembers what the user chose; tests can
// script the next answer through platform.h instead of showing anything.

#include <QColor>
#include <QFont>
#include <QObject>
#include <QString>

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

protected:
    explicit FileDialog(QWidget* owner);
    enum class Mode { Open, Save };
    // Asks for a file (the scripted answer when there is one, else the
    // toolkit's dialog); on confirmation records the absolute path and the
    // entry chosen. False, with nothing changed, when cancelled.
    bool ask(Mode mode);
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
    // Shows the dialog for an existing file. On confirmation records the
    // path and the entry chosen and makes the file's folder the current
    // directory; returns false and changes nothing when cancelled.
    bool execute();
    // Records a choice made without the dialog (a file named on the command
    // line or dropped on the window) exactly as a confirmed dialog does.
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
