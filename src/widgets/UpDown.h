#pragma once
// An up-down control: two small arrow buttons, up over down, attached to a
// one-line field that shows its number. The control keeps a recorded
// position; the field's text takes part only when it holds a valid number
// within the range (see position()).

#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace platform {

class UpDown : public QWidget {
    Q_OBJECT
    // Reading follows position(); writing is setPosition().
    Q_PROPERTY(int position READ position WRITE setPosition)
    Q_PROPERTY(int increment READ increment WRITE setIncrement)
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)

public:
    explicit UpDown(QWidget* parent = nullptr);

    // Attaches the field: its Up and Down keys step the control, and steps
    // and given values are written into it. Does not touch its text.
    void associate(QLineEdit* field);
    QLineEdit* associated() const { return m_field; }

    // The value: the field's number when the field holds a valid number
    // within the range, which then becomes the recorded position; otherwise
    // the recorded position.
    int position();
    // Gives the control a value: limited to the range; when it differs from
    // the recorded position it is recorded and then written into the field
    // as decimal digits. A value equal to the recorded position changes
    // nothing, whatever the field shows. Set the range first.
    void setPosition(int value);
    // The recorded position as it stands, without consulting the field.
    int recordedPosition() const { return m_position; }

    int increment() const { return m_increment; }
    void setIncrement(int increment) { m_increment = increment; }
    int minimum() const { return m_minimum; }
    void setMinimum(int minimum) { m_minimum = minimum; }
    int maximum() const { return m_maximum; }
    void setMaximum(int maximum) { m_maximum = maximum; }

    // Writes the field's text; when empty the field's setText is used. The
    // window routes it through its own text setter so the field's change
    // handler runs as for any program change.
    std::function<void(const QString&)> fieldWriter;

    QSize sizeHint() const override;

public slots:
    // One click on the up or down arrow, exactly as the mouse does it.
    // Errors raised by the field's writer are shown in the error box.
    void clickUp();
    void clickDown();

signals:
    // A step was asked for (arrow click, held arrow, arrow key). Sent before
    // the step is applied and after its size has been fixed: a handler that
    // changes the increment affects the next step, not this one.
    void changing();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Explicit mouse grabs lost to another widget or window end a press too.
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Arrow { None, Up, Down };

    void step(int direction);
    bool stepReportingErrors(int direction);
    bool fieldNumberInRange(int* value) const;
    int limited(qint64 value) const;
    void writeField(int value);
    Arrow arrowAt(const QPoint& point) const;
    QRect arrowRect(Arrow arrow) const;
    void repeatStep();
    bool pressStillHeld() const;
    void endPress();

    QPointer<QLineEdit> m_field;
    QTimer m_repeat;
    Arrow m_pressed = Arrow::None;
    bool m_pressedUnderMouse = false;
    // The application saw the button go down (a press from the window
    // system); a press delivered straight to this control is not seen there.
    bool m_pressSeenByApplication = false;
    int m_position = 0;
    int m_increment = 1;
    int m_minimum = 0;
    int m_maximum = 100;
};

} // namespace platform

// The window declares its up-downs by this plain name.
using platform::UpDown;
