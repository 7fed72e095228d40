#include "widgets/UpDown.h"

#include "platform/errors.h"
#include "platform/platform.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <exception>

namespace platform {

UpDown::UpDown(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    connect(&m_repeat, &QTimer::timeout, this, &UpDown::repeatStep);
}

void UpDown::associate(QLineEdit* field)
{
    if (m_field)
        m_field->removeEventFilter(this);
    m_field = field;
    if (m_field)
        m_field->installEventFilter(this);
}

int UpDown::position()
{
    int value = 0;
    if (fieldNumberInRange(&value))
        m_position = value;
    return m_position;
}

void UpDown::setPosition(int value)
{
    const int given = limited(value);
    if (given == m_position)
        return;
    m_position = given;
    writeField(given);
}

QSize UpDown::sizeHint() const { return {17, 24}; }

void UpDown::clickUp() { stepReportingErrors(+1); }
void UpDown::clickDown() { stepReportingErrors(-1); }

// One step: the base is the field's number when valid and in range, else the
// recorded position; the size is fixed before the changing report; the result
// stays within the range (no wrap-around) and is recorded before the field is
// written, so a change handler of the field sees the new position.
void UpDown::step(int direction)
{
    const int size = m_increment;
    const int base = position();
    emit changing();
    m_position = limited(qint64(base) + qint64(direction) * size);
    writeField(m_position);
}

// The user's steps arrive from Qt's event dispatch, which an exception must
// not cross: a failure of the field's change handler is shown here.
bool UpDown::stepReportingErrors(int direction)
{
    try {
        step(direction);
        return true;
    } catch (const std::exception& error) {
        showErrorBox(QString::fromUtf8(error.what()));
        return false;
    }
}

bool UpDown::fieldNumberInRange(int* value) const
{
    int number = 0;
    if (!m_field || !tryStrToInt(m_field->text(), &number))
        return false;
    if (number != limited(number))
        return false;
    *value = number;
    return true;
}

int UpDown::limited(qint64 value) const
{
    const qint64 low = std::min(m_minimum, m_maximum);
    const qint64 high = std::max(m_minimum, m_maximum);
    return int(std::clamp(value, low, high));
}

void UpDown::writeField(int value)
{
    const QString text = QString::number(value);
    if (fieldWriter)
        fieldWriter(text);
    else if (m_field)
        m_field->setText(text);
}

UpDown::Arrow UpDown::arrowAt(const QPoint& point) const
{
    if (arrowRect(Arrow::Up).contains(point))
        return Arrow::Up;
    if (arrowRect(Arrow::Down).contains(point))
        return Arrow::Down;
    return Arrow::None;
}

QRect UpDown::arrowRect(Arrow arrow) const
{
    const int upperHeight = height() / 2;
    switch (arrow) {
    case Arrow::Up:
        return {0, 0, width(), upperHeight};
    case Arrow::Down:
        return {0, upperHeight, width(), height() - upperHeight};
    case Arrow::None:
        break;
    }
    return {};
}

void UpDown::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (const Arrow arrow : {Arrow::Up, Arrow::Down}) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = arrowRect(arrow);
        const bool sunken = arrow == m_pressed && m_pressedUnderMouse;
        button.state |= sunken ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButtonBevel, &button, &painter, this);

        QStyleOption indicator = button;
        const int margin = std::max(2, button.rect.height() / 5);
        indicator.rect = button.rect.adjusted(margin, margin, -margin, -margin);
        if (sunken)
            indicator.rect.translate(1, 1);
        style()->drawPrimitive(arrow == Arrow::Up ? QStyle::PE_IndicatorArrowUp
                                                  : QStyle::PE_IndicatorArrowDown,
                               &indicator, &painter, this);
    }
}

// Pressing an arrow steps at once and, held, repeats like a spin box's arrows.
void UpDown::mousePressEvent(QMouseEvent* event)
{
    const Arrow arrow = event->button() == Qt::LeftButton ? arrowAt(event->position().toPoint())
                                                          : Arrow::None;
    if (arrow == Arrow::None) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = arrow;
    m_pressedUnderMouse = true;
    m_pressSeenByApplication = QGuiApplication::mouseButtons() & Qt::LeftButton;
    update();
    if (m_field && m_field->isEnabled())
        m_field->setFocus(Qt::MouseFocusReason);
    // A modal window opened by the step (an error box) blocks this window and
    // takes the release: the press then ends here.
    window()->installEventFilter(this);
    if (!stepReportingErrors(arrow == Arrow::Up ? +1 : -1) || !pressStillHeld()) {
        endPress();
        return;
    }
    m_repeat.start(style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatThreshold, nullptr, this));
}

// The press lasts while it has not been ended and, when the application
// saw the button go down, while it sees the button still down. A press
// delivered to the control alone ends with its release, a modal window or a
// lost grab.
bool UpDown::pressStillHeld() const
{
    if (m_pressed == Arrow::None)
        return false;
    return !m_pressSeenByApplication || (QGuiApplication::mouseButtons() & Qt::LeftButton);
}

void UpDown::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed != Arrow::None) {
        const bool under = arrowAt(event->position().toPoint()) == m_pressed;
        if (under != m_pressedUnderMouse) {
            m_pressedUnderMouse = under;
            update();
        }
    }
    QWidget::mouseMoveEvent(event);
}

void UpDown::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_pressed != Arrow::None)
        endPress();
    else
        QWidget::mouseReleaseEvent(event);
}

// A held arrow repeats only while the button is held and the mouse stays
// over the arrow. A release that never reached this control (it went to
// another window, or the window lost the mouse) ends the press here.
void UpDown::repeatStep()
{
    m_repeat.setInterval(style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatRate, nullptr, this));
    if (!pressStillHeld()) {
        endPress();
        return;
    }
    if (!m_pressedUnderMouse)
        return;
    if (!stepReportingErrors(m_pressed == Arrow::Up ? +1 : -1))
        endPress();
}

void UpDown::endPress()
{
    window()->removeEventFilter(this);
    m_repeat.stop();
    m_pressed = Arrow::None;
    m_pressedUnderMouse = false;
    update();
}

void UpDown::hideEvent(QHideEvent* event)
{
    endPress();
    QWidget::hideEvent(event);
}

bool UpDown::event(QEvent* event)
{
    if (event->type() == QEvent::UngrabMouse)
        endPress();
    return QWidget::event(event);
}

void UpDown::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        endPress();
    QWidget::changeEvent(event);
}

// Up and Down in the attached field step the control; the field does not
// see them. The event type is tested first: the filter also sees the events
// of the field's destruction, when it is no longer a QLineEdit and m_field
// must not be read.
bool UpDown::eventFilter(QObject* watched, QEvent* event)
{
    // While an arrow is pressed: a modal window blocking this one, or this
    // window losing activation, takes the release away from the control.
    if (watched == window() && watched != this
        && (event->type() == QEvent::WindowBlocked || event->type() == QEvent::WindowDeactivate)) {
        endPress();
        return false;
    }
    if (event->type() == QEvent::KeyPress && watched == m_field && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepReportingErrors(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace platform
