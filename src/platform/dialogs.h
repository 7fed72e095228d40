#pragma once
// The open and font dialogs. Each remembers what the user chose; tests can
// script the next answer through platform.h instead of showing anything.

#include <QColor>
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
