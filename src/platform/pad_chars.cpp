#include "platform/pad_chars.h"

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <algorithm>

namespace platform {

bool isPadChar(QChar c)
{
    return c.unicode() >= 0xF8F0 && c.unicode() <= 0xF8F3;
}

bool containsPadChar(QStringView text)
{
    return std::any_of(text.begin(), text.end(), isPadChar);
}

QString withoutPadChars(QString text)
{
    text.removeIf(isPadChar);
    return text;
}

namespace {

// No font the program uses has a glyph for these characters; the fallback
// fonts draw a box or some symbol font's bracket piece. The format makes
// whatever is found transparent, one pixel high (so it cannot raise the
// line) and without width: the letter spacing takes back all but 1/64 % of
// its advance, which is less than the layout's smallest unit.
QTextCharFormat hiddenFormat()
{
    QTextCharFormat format;
    format.setForeground(Qt::transparent);
    format.setProperty(QTextFormat::FontPixelSize, 1);
    format.setFontLetterSpacingType(QFont::PercentageSpacing);
    format.setFontLetterSpacing(1.0 / 64);
    return format;
}

class PadCharHider : public QSyntaxHighlighter {
public:
    explicit PadCharHider(QTextDocument* document) : QSyntaxHighlighter(document)
    {
        // At once, not at the next turn of the event loop: until then the
        // highlighter would also leave every change of the text alone.
        rehighlight();
    }

protected:
    void highlightBlock(const QString& text) override
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (isPadChar(text[i]))
                setFormat(int(i), 1, format_);
        }
    }

private:
    const QTextCharFormat format_ = hiddenFormat();
};

} // namespace

void hidePadChars(QTextDocument* document)
{
    new PadCharHider(document);
}

} // namespace platform
