#pragma once
// The open, save and font dialogs. Each remembers what the user chose; tests can
// script the next answer through platform.h instead of showing anything.

#include <QFont>
#include <QObject>
#include <QString>

class QWidget;

namespace platform {

class OpenDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString filter READ filter WRITE setFilter)
    Q_PROPERTY(int filterIndex READ filterIndex WRITE setFilterIndex)
    Q_PROPERTY(QString fileName READ fileName)
public:
    explicit OpenDialog(QWidget* owner);
    // "label|pattern|label|pattern": entries are counted from 1.
    QString filter() const { return filter_; }
    void setFilter(const QString& filter) { filter_ = filter; }
    int filterIndex() const { return filterIndex_; }
    void setFilterIndex(int index) { filterIndex_ = index; }
    QString fileName() const { return fileName_; }
    // Shows the dialog. On confirmation records the path and the entry chosen
    // and makes the file's folder the current directory; returns false and
    // changes nothing when cancelled.
    bool execute();

private:
    QWidget* owner_;
    QString filter_;
    int filterIndex_ = 1;
    QString fileName_;
};

// The save dialog: like the open dialog, for a file to be written; asks
// before replacing an existing file.
class SaveDialog : public QObject {
    Q_OBJECT
public:
    explicit SaveDialog(QWidget* owner);
    void setFilter(const QString& filter) { filter_ = filter; }
    QString filter() const { return filter_; }
    int filterIndex() const { return filterIndex_; }
    void setFilterIndex(int index) { filterIndex_ = index; }
    QString fileName() const { return fileName_; }
    // Shows the dialog. On confirmation records the path (a name typed
    // without extension gets the chosen entry's) and the entry chosen;
    // returns false and changes nothing when cancelled.
    bool execute();

private:
    QWidget* owner_;
    QString filter_;
    int filterIndex_ = 1;
    QString fileName_;
};

class FontDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QFont font READ font WRITE setFont)
public:
    explicit FontDialog(QWidget* owner);
    QFont font() const { return font_; }
    void setFont(const QFont& font) { font_ = font; }
    // Shows the dialog preset with font(); on confirmation font() is the
    // chosen font and the result is true.
    bool execute();

private:
    QWidget* owner_;
    QFont font_;
};

} // namespace platform
