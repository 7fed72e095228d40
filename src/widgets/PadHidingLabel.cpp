#include "widgets/PadHidingLabel.h"

#include "text/pad_chars.h"

#include <QPainter>
#include <QStyle>
#include <QTextDocument>

namespace platform {

PadHidingLabel::PadHidingLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

int PadHidingLabel::padWidth() const
{
    if (!containsPadChar(text()))
        return 0;
    // The label measures plain text this way for its size hint.
    const QRect bounds(0, 0, 2000, 2000);
    const int flags = int(alignment()) | Qt::TextExpandTabs;
    return fontMetrics().boundingRect(bounds, flags, text()).width()
           - fontMetrics().boundingRect(bounds, flags, withoutPadChars(text())).width();
}

QSize PadHidingLabel::sizeHint() const
{
    return QLabel::sizeHint() - QSize(padWidth(), 0);
}

QSize PadHidingLabel::minimumSizeHint() const
{
    return QLabel::minimumSizeHint() - QSize(padWidth(), 0);
}

void PadHidingLabel::paintEvent(QPaintEvent* event)
{
    const bool richText =
        textFormat() == Qt::RichText || (textFormat() == Qt::AutoText && Qt::mightBeRichText(text()));
    if (!containsPadChar(text()) || richText || wordWrap()) {
        QLabel::paintEvent(event);
        return;
    }
    // The plain-text drawing of QLabel, with the pad characters left out.
    QPainter painter(this);
    drawFrame(&painter);
    QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    int indentation = indent();
    if (indentation < 0 && frameWidth() > 0)
        indentation = fontMetrics().horizontalAdvance(u'x') / 2;
    if (indentation > 0) {
        const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
        if (align & Qt::AlignLeft)
            area.setLeft(area.left() + indentation);
        if (align & Qt::AlignRight)
            area.setRight(area.right() - indentation);
        if (align & Qt::AlignTop)
            area.setTop(area.top() + indentation);
        if (align & Qt::AlignBottom)
            area.setBottom(area.bottom() - indentation);
    }
    style()->drawItemText(&painter, area, int(QStyle::visualAlignment(layoutDirection(), alignment())), palette(),
                          isEnabled(), withoutPadChars(text()), foregroundRole());
}

} // namespace platform
