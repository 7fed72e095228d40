#include "widgets/DeferredMemo.h"

#include "text/codepage.h"

#include <QTextDocument>

namespace platform {

DeferredMemo::DeferredMemo(QWidget* parent)
    : QPlainTextEdit(parent)
{
}

void DeferredMemo::setCp932Text(const QByteArray& bytes)
{
    // What the box showed goes at once, so that nothing reads an earlier
    // text while the new one waits.
    if (!document()->isEmpty())
        QPlainTextEdit::clear();
    pending_ = bytes;
    hasPending_ = true;
    givenRevision_ = document()->revision();
    if (inView())
        decodePending();
}

bool DeferredMemo::showsGivenText() const
{
    return givenRevision_ == document()->revision();
}

QString DeferredMemo::toPlainText() const
{
    // Reading needs the text; decoding it once is what any later reader
    // would do anyway.
    const_cast<DeferredMemo*>(this)->decodePending();
    return QPlainTextEdit::toPlainText();
}

void DeferredMemo::setPlainText(const QString& text)
{
    pending_.clear();
    hasPending_ = false;
    QPlainTextEdit::setPlainText(text);
}

void DeferredMemo::paintEvent(QPaintEvent* event)
{
    decodePending();
    QPlainTextEdit::paintEvent(event);
}

bool DeferredMemo::inView() const
{
    return isVisible() && !visibleRegion().isEmpty();
}

void DeferredMemo::decodePending()
{
    if (!hasPending_)
        return;
    const QByteArray bytes = std::move(pending_);
    pending_ = QByteArray();
    hasPending_ = false;
    // Text put into the box by other means since the bytes were given wins.
    if (!showsGivenText())
        return;
    QPlainTextEdit::setPlainText(decodeCp932(bytes));
    givenRevision_ = document()->revision();
}

} // namespace platform
