#include "questions/html_text.h"

#include <QHash>

#include <algorithm>

namespace questions {

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

// Named character references beyond Latin-1 that card text commonly uses.
const QHash<QString, char32_t>& namedEntities()
{
    static const QHash<QString, char32_t> entities = [] {
        static const std::pair<const char*, char32_t> named[] = {
            {"amp", U'&'},      {"lt", U'<'},       {"gt", U'>'},       {"quot", U'"'},
            {"apos", U'\''},    {"ensp", 0x2002},   {"emsp", 0x2003},   {"thinsp", 0x2009},
            {"zwnj", 0x200C},   {"zwj", 0x200D},    {"lrm", 0x200E},    {"rlm", 0x200F},
            {"ndash", 0x2013},  {"mdash", 0x2014},  {"lsquo", 0x2018},  {"rsquo", 0x2019},
            {"sbquo", 0x201A},  {"ldquo", 0x201C},  {"rdquo", 0x201D},  {"bdquo", 0x201E},
            {"dagger", 0x2020}, {"Dagger", 0x2021}, {"bull", 0x2022},   {"hellip", 0x2026},
            {"permil", 0x2030}, {"prime", 0x2032},  {"Prime", 0x2033},  {"lsaquo", 0x2039},
            {"rsaquo", 0x203A}, {"oline", 0x203E},  {"euro", 0x20AC},   {"trade", 0x2122},
            {"larr", 0x2190},   {"uarr", 0x2191},   {"rarr", 0x2192},   {"darr", 0x2193},
            {"harr", 0x2194},   {"rArr", 0x21D2},   {"hArr", 0x21D4},   {"forall", 0x2200},
            {"part", 0x2202},   {"exist", 0x2203},  {"empty", 0x2205},  {"nabla", 0x2207},
            {"isin", 0x2208},   {"notin", 0x2209},  {"sum", 0x2211},    {"prod", 0x220F},
            {"minus", 0x2212},  {"radic", 0x221A},  {"prop", 0x221D},   {"infin", 0x221E},
            {"and", 0x2227},    {"or", 0x2228},     {"cap", 0x2229},    {"cup", 0x222A},
            {"int", 0x222B},    {"there4", 0x2234}, {"sim", 0x223C},    {"asymp", 0x2248},
            {"ne", 0x2260},     {"equiv", 0x2261},  {"le", 0x2264},     {"ge", 0x2265},
            {"sub", 0x2282},    {"sup", 0x2283},    {"sube", 0x2286},   {"supe", 0x2287},
            {"perp", 0x22A5},   {"sdot", 0x22C5},   {"loz", 0x25CA},    {"spades", 0x2660},
            {"clubs", 0x2663},  {"hearts", 0x2665}, {"diams", 0x2666},  {"fnof", 0x0192},
            {"circ", 0x02C6},   {"tilde", 0x02DC},  {"OElig", 0x0152},  {"oelig", 0x0153},
            {"Scaron", 0x0160}, {"scaron", 0x0161}, {"Yuml", 0x0178},
        };
        QHash<QString, char32_t> table;
        for (const auto& [name, code] : named)
            table.insert(QString::fromLatin1(name), code);
        // Latin-1 from U+00A0, in code order.
        static const char* const latin1[] = {
            "nbsp", "iexcl", "cent", "pound", "curren", "yen", "brvbar", "sect", "uml", "copy", "ordf", "laquo",
            "not", "shy", "reg", "macr", "deg", "plusmn", "sup2", "sup3", "acute", "micro", "para", "middot",
            "cedil", "sup1", "ordm", "raquo", "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute",
            "Acirc", "Atilde", "Auml", "Aring", "AElig", "Ccedil", "Egrave", "Eacute", "Ecirc", "Euml",
            "Igrave", "Iacute", "Icirc", "Iuml", "ETH", "Ntilde", "Ograve", "Oacute", "Ocirc", "Otilde", "Ouml",
            "times", "Oslash", "Ugrave", "Uacute", "Ucirc", "Uuml", "Yacute", "THORN", "szlig", "agrave",
            "aacute", "acirc", "atilde", "auml", "aring", "aelig", "ccedil", "egrave", "eacute", "ecirc",
            "euml", "igrave", "iacute", "icirc", "iuml", "eth", "ntilde", "ograve", "oacute", "ocirc", "otilde",
            "ouml", "divide", "oslash", "ugrave", "uacute", "ucirc", "uuml", "yacute", "thorn", "yuml"};
        for (char32_t i = 0; i < std::size(latin1); ++i)
            table.insert(QString::fromLatin1(latin1[i]), 0xA0 + i);
        // Greek letters, capital and small, in code order (no capital final sigma).
        static const char* const greek[] = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta",
                                            "theta", "iota", "kappa", "lambda", "mu", "nu", "xi", "omicron",
                                            "pi", "rho", "sigmaf", "sigma", "tau", "upsilon", "phi", "chi",
                                            "psi", "omega"};
        for (char32_t i = 0; i < std::size(greek); ++i) {
            QString small = QString::fromLatin1(greek[i]);
            table.insert(small, 0x3B1 + i);
            if (small != u"sigmaf") {
                small[0] = small[0].toUpper();
                table.insert(small, 0x391 + i);
            }
        }
        return table;
    }();
    return entities;
}

bool isHtmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == QChar(0xA0);
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Collects text line by line into one string: spaces collapse, lines are
// trimmed, blank lines vanish (a line break is written only once the next
// line has something to show).
class LineCollector {
public:
    void addChar(QChar c)
    {
        if (isHtmlSpace(c)) {
            pendingSpace_ = !lineEmpty_;
            return;
        }
        startContent();
        text_ += c;
    }
    // A run of characters none of which is white space.
    void addWord(QStringView word)
    {
        startContent();
        text_ += word;
    }
    void addCodePoint(char32_t code)
    {
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            code = 0xFFFD;
        if (code < 0x10000) {
            addChar(QChar(char16_t(code)));
        } else {
            const QChar pair[2] = {QChar::highSurrogate(code), QChar::lowSurrogate(code)};
            addWord(QStringView(pair, 2));
        }
    }
    void breakLine()
    {
        pendingSpace_ = false;
        if (!lineEmpty_) {
            pendingBreak_ = true;
            lineEmpty_ = true;
        }
    }
    QString finish() { return std::move(text_); }

private:
    void startContent()
    {
        if (lineEmpty_) {
            if (pendingBreak_)
                text_ += kLineBreak;
            pendingBreak_ = false;
            lineEmpty_ = false;
        } else if (pendingSpace_) {
            text_ += u' ';
        }
        pendingSpace_ = false;
    }

    QString text_;
    bool lineEmpty_ = true;
    bool pendingSpace_ = false;
    bool pendingBreak_ = false;
};

// Characters that start markup, an entity or a sound tag, or are white space.
bool isPlain(QChar c)
{
    return c != u'<' && c != u'&' && c != u'[' && !isHtmlSpace(c);
}

bool startsWithCi(QStringView text, qsizetype at, QStringView prefix)
{
    return text.size() - at >= prefix.size()
        && text.sliced(at, prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
}

// The end of the tag that starts at `at` ('<'), past its '>'; quoted
// attribute values may hold '>'. The text's end when it is not closed.
qsizetype tagEnd(QStringView html, qsizetype at)
{
    QChar quote;
    for (qsizetype i = at + 1; i < html.size(); ++i) {
        const QChar c = html[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'>') {
            return i + 1;
        }
    }
    return html.size();
}

// Decodes the character reference at `at` ('&') into `out`; returns where
// the text goes on, or `at` when there is no reference there.
qsizetype decodeEntity(QStringView html, qsizetype at, LineCollector& out)
{
    // A reference is short: looking further would make text full of "&"
    // without ";" cost time with the square of its length.
    const qsizetype semicolon = html.sliced(0, std::min(html.size(), at + 40)).indexOf(u';', at + 1);
    if (semicolon < 0)
        return at;
    const QStringView name = html.sliced(at + 1, semicolon - at - 1);
    if (name.size() >= 2 && name[0] == u'#') {
        const bool hex = name[1] == u'x' || name[1] == u'X';
        const QStringView digits = name.sliced(hex ? 2 : 1);
        bool ok = false;
        const qulonglong code = digits.size() <= 8 ? digits.toULongLong(&ok, hex ? 16 : 10) : 0;
        if (!ok || digits.isEmpty() || digits[0] == u'+' || digits[0] == u'-')
            return at;
        out.addCodePoint(code > 0x10FFFF ? 0xFFFD : char32_t(code));
        return semicolon + 1;
    }
    const auto found = namedEntities().constFind(name.toString());
    if (found == namedEntities().constEnd())
        return at;
    out.addCodePoint(*found);
    return semicolon + 1;
}

} // namespace

QString htmlToText(QStringView html)
{
    LineCollector out;
    qsizetype i = 0;
    while (i < html.size()) {
        const QChar c = html[i];
        if (c == u'<' && startsWithCi(html, i, u"<!--")) {
            const qsizetype end = html.indexOf(u"-->", i + 4);
            i = end < 0 ? html.size() : end + 3;
            continue;
        }
        if (c == u'<' && i + 1 < html.size()
            && (isAsciiLetter(html[i + 1]) || html[i + 1] == u'/' || html[i + 1] == u'!')) {
            const qsizetype end = tagEnd(html, i);
            const bool closing = html[i + 1] == u'/';
            qsizetype nameStart = i + (closing ? 2 : 1);
            qsizetype nameEnd = nameStart;
            while (nameEnd < end && (isAsciiLetter(html[nameEnd]) || html[nameEnd].isDigit()))
                ++nameEnd;
            const QStringView name = html.sliced(nameStart, nameEnd - nameStart);
            const auto is = [&name](QStringView other) { return name.compare(other, Qt::CaseInsensitive) == 0; };
            i = end;
            if (!closing && (is(u"script") || is(u"style"))) {
                // Their content is code, not text: skip to the closing tag.
                const QString close = QStringLiteral("</") + name.toString();
                const qsizetype at = html.indexOf(close, i, Qt::CaseInsensitive);
                i = at < 0 ? html.size() : tagEnd(html, at);
            } else if (is(u"br") || is(u"hr") || (closing && (is(u"div") || is(u"p") || is(u"li")))) {
                out.breakLine();
            }
            continue;
        }
        if (c == u'&') {
            const qsizetype next = decodeEntity(html, i, out);
            if (next != i) {
                i = next;
                continue;
            }
        }
        if (c == u'[' && startsWithCi(html, i, u"[sound:")) {
            const qsizetype close = html.indexOf(u']', i);
            if (close >= 0) {
                i = close + 1;
                continue;
            }
        }
        if (!isPlain(c)) {
            out.addChar(c);
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < html.size() && isPlain(html[end]))
            ++end;
        out.addWord(html.sliced(i, end - i));
        i = end;
    }
    return out.finish();
}

bool htmlFieldHasContent(QStringView html)
{
    qsizetype i = 0;
    while (i < html.size()) {
        const QChar c = html[i];
        if (isHtmlSpace(c)) {
            ++i;
        } else if (startsWithCi(html, i, u"&nbsp;")) {
            i += 6;
        } else if (c == u'<') {
            qsizetype nameStart = i + 1;
            if (nameStart < html.size() && html[nameStart] == u'/')
                ++nameStart;
            qsizetype nameEnd = nameStart;
            while (nameEnd < html.size() && isAsciiLetter(html[nameEnd]))
                ++nameEnd;
            const QStringView name = html.sliced(nameStart, nameEnd - nameStart);
            if (name.compare(u"br", Qt::CaseInsensitive) != 0 && name.compare(u"div", Qt::CaseInsensitive) != 0)
                return true;
            i = tagEnd(html, i);
        } else {
            return true;
        }
    }
    return false;
}

} // namespace questions
