#include "app/controls.h"

#include "platform/font_families.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>

namespace app {

QFont designFont(int pixelSize, bool bold, const QString& family)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void registerFontSubstitutes()
{
    platform::registerFontFamily(kPGothic, {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    platform::registerFontFamily(kGothic, {QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic")});
}

void place(QWidget* widget, const char* name, int left, int top, int width, int height,
           const QString& hint)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    if (!hint.isEmpty())
        widget->setStatusTip(hint);
}

QLabel* makeLabel(QWidget* parent, const char* name, int left, int top, int width, int height,
                  const QString& caption, const QString& hint)
{
    auto* label = new QLabel(caption, parent);
    return setUpLabel(label, name, left, top, width, height, hint);
}

QLabel* setUpLabel(QLabel* label, const char* name, int left, int top, int width, int height, const QString& hint)
{
    place(label, name, left, top, width, height, hint);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(false);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, int left, int top, int width, int height,
                        const QString& caption, const QString& hint)
{
    auto* button = new QPushButton(caption, parent);
    place(button, name, left, top, width, height, hint);
    button->setAutoDefault(false);
    return button;
}

QLineEdit* makeEdit(QWidget* parent, const char* name, int left, int top, int width, int height,
                    const QString& text, const QString& hint)
{
    auto* edit = new QLineEdit(text, parent);
    place(edit, name, left, top, width, height, hint);
    edit->setCursorPosition(0);
    return edit;
}

QPlainTextEdit* makeMemo(QWidget* parent, const char* name, int left, int top, int width, int height,
                         const QString& text, const QString& hint)
{
    auto* memo = new QPlainTextEdit(text, parent);
    place(memo, name, left, top, width, height, hint);
    return memo;
}

void fitCaptionToText(QLabel* label)
{
    const int missing = label->fontMetrics().horizontalAdvance(label->text()) - label->width();
    if (missing <= 0)
        return;
    QRect geometry = label->geometry();
    if (label->alignment() & Qt::AlignRight)
        geometry.setLeft(geometry.left() - missing);
    else
        geometry.setRight(geometry.right() + missing);
    label->setGeometry(geometry);
}

void fitCaptionsToText(QWidget* window)
{
    for (QLabel* label : window->findChildren<QLabel*>())
        fitCaptionToText(label);
}

void setFieldColor(QWidget* field, const QColor& color)
{
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, color);
    field->setPalette(palette);
}

void setLabelBackground(QLabel* label, const QColor& color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, color);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

void setTextColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

QColor fieldColor(const QWidget* field)
{
    return field->palette().color(QPalette::Base);
}

} // namespace app
