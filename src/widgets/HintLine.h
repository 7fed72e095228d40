#pragma once
// The hint line: after input has been handled, the control under the mouse
// pointer decides the hint — its own, or the first non-empty one of its
// enclosing controls — and the hint handler is told when it changes. Hints
// are the widgets' status tips; the part after the first "|" is used.

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

namespace platform {

// The hint of a control: the first non-empty status tip walking outwards,
// with the part after the first "|" when there is one.
QString hintFor(const QWidget* widget);
// The long part of a hint: the text after the first "|", or the whole text.
QString longHint(const QString& hint);

class HintLine : public QObject {
    Q_OBJECT
public:
    // Watches every widget of the application; hints come only from widgets
    // inside `window`.
    explicit HintLine(QWidget* window);
    QString currentHint() const { return current_; }
    // Re-evaluates the hint for the widget at a global position now.
    void updateAt(const QPoint& globalPos);

signals:
    void hintChanged(const QString& hint);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setHint(const QString& hint);

    QPointer<QWidget> window_;
    QString current_;
    bool pending_ = false;
    QPoint lastPos_;
};

} // namespace platform
