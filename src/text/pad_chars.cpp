#include "text/pad_chars.h"

#include <QFontMetricsF>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <algorithm>
#include <array>

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

constexpr char16_t kFirstPad = 0xF8F0;
constexpr int kPadCount = 4;

// No font the program uses has a glyph for these characters; the fallback
// fonts draw a box or some symbol font's bracket piece, each with an advance
// of its own. The format draws each pad character in one fixed font, one
// pixel high (so it cannot raise the line), transparent, and without any
// font merging, so that the glyph and its advance are always that font's and
// never a fallback font's; a letter spacing of exactly minus that advance
// leaves it no width at all, so the text after it stands where it would
// stand without it. The advance is measured per character: a font may have
// a glyph for one of them.
QTextCharFormat hiddenFormat(QChar pad)
{
    QFont font;
    font.setPixelSize(1);
    font.setStyleStrategy(QFont::NoFontMerging);
    const qreal advance = QFontMetricsF(font).horizontalAdvance(pad);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -advance);

    QTextCharFormat format;
    // Every font property, so that nothing of the surrounding text's font
    // (its family, weight, stretch, …) changes the glyph that was measured.
    format.setFont(font, QTextCharFormat::FontPropertiesAll);
    format.setForeground(Qt::transparent);
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
                setFormat(int(i), 1, formats_[text[i].unicode() - kFirstPad]);
        }
    }

private:
    const std::array<QTextCharFormat, kPadCount> formats_ = {
        hiddenFormat(QChar(kFirstPad)), hiddenFormat(QChar(kFirstPad + 1)),
        hiddenFormat(QChar(kFirstPad + 2)), hiddenFormat(QChar(kFirstPad + 3))};
};

} // namespace

void hidePadChars(QTextDocument* document)
{
    new PadCharHider(document);
}

} // namespace platform
