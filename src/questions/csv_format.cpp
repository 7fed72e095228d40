#include "questions/csv_format.h"

#include "text/codepage.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <optional>
#include <utility>

namespace questions {

namespace {

const QString kLineBreak = QStringLiteral("\r\n");
// "&#x10FFFF;" is the longest reference decoded.
constexpr qsizetype kLongestReference = 10;

// What the header lines of a file say.
struct CsvHeaders {
    QChar separator;
    bool html = false;
    QList<int> skippedColumns; // 1-based columns that are not fields
};

// The separator a "#separator:" value names, or nothing when it names none.
std::optional<QChar> separatorNamed(QStringView value)
{
    const QString name = value.trimmed().toString().toLower();
    if (name == u"comma")
        return QChar(u',');
    if (name == u"semicolon")
        return QChar(u';');
    if (name == u"tab")
        return QChar(u'\t');
    if (name == u"space")
        return QChar(u' ');
    if (name == u"pipe")
        return QChar(u'|');
    if (name == u"colon")
        return QChar(u':');
    // The character itself, with spaces around it or, when it is a space or
    // a tab, alone after the colon.
    const QStringView character = name.size() == 1 ? value.trimmed() : value;
    if (character.size() == 1 && character[0] != u'"' && character[0] != u'\r' && character[0] != u'\n')
        return character[0];
    return std::nullopt;
}

// The keys a flashcard program's plain-text note export may put at the top
// of the file, as "#key:value", compared trimmed and in lower case.
bool isHeaderKey(const QString& key)
{
    static const QStringList keys{
        u"separator"_qs,   u"html"_qs,        u"tags"_qs,        u"deck"_qs,
        u"notetype"_qs,    u"columns"_qs,     u"notetype column"_qs, u"deck column"_qs,
        u"tags column"_qs, u"guid column"_qs, u"match scope"_qs, u"if matches"_qs,
    };
    return keys.contains(key);
}

enum class HeaderLine { NotHeader, Applied, Unreadable };

// Applies the line when it is a header line; Unreadable when it is one whose
// value says something about the fields that cannot be read.
HeaderLine applyHeader(QStringView line, CsvHeaders* headers)
{
    if (!line.startsWith(u'#'))
        return HeaderLine::NotHeader;
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0)
        return HeaderLine::NotHeader;
    const QString key = line.sliced(1, colon - 1).trimmed().toString().toLower();
    if (!isHeaderKey(key))
        return HeaderLine::NotHeader;
    const QStringView value = line.sliced(colon + 1);
    if (key == u"separator") {
        const auto separator = separatorNamed(value);
        if (!separator)
            return HeaderLine::Unreadable;
        headers->separator = *separator;
    } else if (key == u"html") {
        headers->html = value.trimmed().compare(u"true", Qt::CaseInsensitive) == 0;
    } else if (key.endsWith(u" column")) {
        // "guid column", "notetype column", "deck column", "tags column".
        bool ok = false;
        const int column = value.trimmed().toInt(&ok);
        if (!ok || column < 1)
            return HeaderLine::Unreadable;
        headers->skippedColumns.append(column);
    }
    return HeaderLine::Applied;
}

// Walks the text record by record, counting physical lines from 1. A field
// is a view: into the text where it stands there as it reads (unquoted, or
// quoted with neither a doubled quote nor a line break), otherwise into a
// string rebuilt for it. The views last until the next record is read.
class RecordScanner {
public:
    RecordScanner(QStringView text, qsizetype start, int line, QChar separator)
        : p_(text.utf16() + start), end_(text.utf16() + text.size()), line_(line),
          separator_(separator.unicode())
    {
    }

    bool atEnd() const { return p_ == end_; }
    int line() const { return line_; }
    int openQuoteLine() const { return openQuoteLine_; }

    // The fields of the next record; false when a quote stays open to the end.
    bool next(QList<QStringView>* fields)
    {
        fields->clear();
        rebuiltUsed_ = 0;
        for (;;) {
            QStringView field;
            if (p_ != end_ && *p_ == u'"') {
                if (!readQuoted(&field))
                    return false;
            } else {
                const char16_t* start = p_;
                p_ = fieldEnd(p_);
                field = QStringView(start, p_);
            }
            fields->append(field);
            if (p_ != end_ && *p_ == separator_) {
                ++p_;
                continue;
            }
            skipBreak();
            return true;
        }
    }

private:
    static bool isBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

    // Where unquoted text starting here ends: at the separator, a line break
    // or the end of the text.
    const char16_t* fieldEnd(const char16_t* p) const
    {
        while (p != end_ && *p != separator_ && !isBreak(*p))
            ++p;
        return p;
    }

    // Past a CR LF, a lone CR or a lone LF (if one is here).
    void skipBreak()
    {
        if (p_ == end_ || !isBreak(*p_))
            return;
        if (*p_ == u'\r' && p_ + 1 != end_ && p_[1] == u'\n')
            ++p_;
        ++p_;
        ++line_;
    }

    // An empty string kept from earlier records, for a field to be rebuilt in.
    QString* rebuilt()
    {
        if (rebuiltUsed_ == rebuilt_.size())
            rebuilt_.emplaceBack();
        QString* field = &rebuilt_[rebuiltUsed_++];
        field->resize(0); // keeps its room
        return field;
    }

    // A field in quotes: doubled quotes become one, each line break CR LF;
    // text after the closing quote runs on to the separator or the line end
    // and joins the field.
    bool readQuoted(QStringView* field)
    {
        openQuoteLine_ = line_;
        ++p_;
        const char16_t* chunk = p_;
        QString* text = nullptr; // set once the field differs from its stretch of text
        for (;;) {
            const char16_t* q = p_;
            while (q != end_ && *q != u'"' && !isBreak(*q))
                ++q;
            if (q == end_)
                return false;
            if (*q == u'"' && (q + 1 == end_ || q[1] != u'"')) {
                p_ = q + 1;
                const char16_t* after = fieldEnd(p_);
                if (!text && after == p_) {
                    *field = QStringView(chunk, q);
                    return true;
                }
                if (!text)
                    text = rebuilt();
                text->append(QStringView(chunk, q));
                text->append(QStringView(p_, after));
                *field = *text;
                p_ = after;
                return true;
            }
            if (!text)
                text = rebuilt();
            text->append(QStringView(chunk, q));
            if (*q == u'"') {
                text->append(u'"');
                p_ = q + 2;
            } else {
                p_ = q;
                skipBreak();
                text->append(kLineBreak);
            }
            chunk = p_;
        }
    }

    const char16_t* p_;
    const char16_t* end_;
    int line_;
    char16_t separator_;
    int openQuoteLine_ = 0;
    QList<QString> rebuilt_;
    qsizetype rebuiltUsed_ = 0;
};

bool isHeaderRow(const QuestionPair& row)
{
    static const QStringList questionWords{u"問題"_qs, u"質問"_qs, u"question"_qs, u"front"_qs};
    static const QStringList answerWords{u"答え"_qs, u"正解"_qs, u"解答"_qs, u"answer"_qs, u"back"_qs};
    return questionWords.contains(row.question.trimmed(), Qt::CaseInsensitive)
        && answerWords.contains(row.answer.trimmed(), Qt::CaseInsensitive);
}

// The named and numeric character references of exported HTML.
QString decodeEntities(const QString& text)
{
    static const QList<std::pair<QString, QString>> named{
        {u"amp"_qs, u"&"_qs}, {u"lt"_qs, u"<"_qs},  {u"gt"_qs, u">"_qs},
        {u"quot"_qs, u"\""_qs}, {u"apos"_qs, u"'"_qs}, {u"nbsp"_qs, u" "_qs},
    };
    QString out;
    qsizetype i = 0;
    while (i < text.size()) {
        // A reference is short: look for its ";" within the next few characters.
        qsizetype semicolon = -1;
        if (text[i] == u'&')
            for (qsizetype k = i + 1; k < text.size() && k <= i + kLongestReference; ++k)
                if (text[k] == u';') {
                    semicolon = k;
                    break;
                }
        if (semicolon < 0) {
            out += text[i++];
            continue;
        }
        const QString name = text.mid(i + 1, semicolon - i - 1);
        QString replacement;
        if (name.startsWith(u'#')) {
            bool ok = false;
            const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
            const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                const char32_t codePoint = code;
                replacement = QString::fromUcs4(&codePoint, 1);
            }
        } else {
            for (const auto& [entity, character] : named)
                if (name == entity)
                    replacement = character;
        }
        if (replacement.isEmpty()) {
            out += text[i++];
            continue;
        }
        out += replacement;
        i = semicolon + 1;
    }
    return out;
}

// Tags out: line breaks for <br> and the ends of <div> and <p> blocks.
QString removeTags(const QString& html)
{
    QString out;
    qsizetype i = 0;
    while (i < html.size()) {
        const qsizetype close = html[i] == u'<' ? html.indexOf(u'>', i + 1) : -1;
        if (close < 0 && html[i] == u'<') {
            // No tag closes after here: the rest is text.
            out += QStringView(html).sliced(i);
            break;
        }
        if (close < 0) {
            out += html[i++];
            continue;
        }
        const QString tag = html.mid(i + 1, close - i - 1).trimmed().toLower();
        const bool closing = tag.startsWith(u'/');
        QString name;
        for (qsizetype k = closing ? 1 : 0; k < tag.size() && tag[k].isLetterOrNumber(); ++k)
            name += tag[k];
        if (name == u"br" || (closing && (name == u"div" || name == u"p")))
            out += kLineBreak;
        i = close + 1;
    }
    return out;
}

QString removeSoundReferences(QString text)
{
    for (qsizetype start = text.indexOf(u"[sound:"); start >= 0; start = text.indexOf(u"[sound:", start)) {
        const qsizetype end = text.indexOf(u']', start);
        if (end < 0)
            break;
        text.remove(start, end - start + 1);
    }
    return text;
}

// How the bytes fare as UTF-8: the well-formed characters of two bytes and
// of three or four, and the bytes that belong to no well-formed character.
struct Utf8Census {
    qsizetype twoByte = 0;
    qsizetype wide = 0;
    qsizetype malformed = 0;
};

Utf8Census utf8Census(QByteArrayView bytes)
{
    Utf8Census census;
    const auto* b = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const uchar lead = b[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The length the first byte announces and the range of the second
        // (narrower after E0, ED, F0 and F4: no overlong forms, surrogates
        // or code points past U+10FFFF).
        qsizetype length = 0;
        uchar low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        bool wellFormed = length > 0 && i + length <= size && b[i + 1] >= low && b[i + 1] <= high;
        for (qsizetype k = 2; wellFormed && k < length; ++k)
            wellFormed = (b[i + k] & 0xC0) == 0x80;
        if (!wellFormed) {
            ++census.malformed;
            ++i;
            continue;
        }
        ++(length == 2 ? census.twoByte : census.wide);
        i += length;
    }
    return census;
}

// Whether bytes that are not valid UTF-8 read better as code page 932 (the
// reading given) than as UTF-8 with U+FFFD for its errors. Each reading
// costs what it gets wrong, in characters:
// - UTF-8: the bytes that belong to no well-formed UTF-8 character. A
//   code page 932 file of Japanese text has about two per character; a
//   UTF-8 file with a stray Latin-1 byte has one.
// - code page 932: the characters it cannot decode (U+FFFD), plus the
//   well-formed UTF-8 characters it would read as something else: each of
//   three or four bytes (kana, kanji, full-width forms: what a UTF-8
//   Japanese file is made of, which code page 932 text forms only by
//   chance, from a second-level kanji) counts one, each of two bytes
//   (accented Latin letters) a half, as half-width katakana in code page
//   932 form those more often.
// The cheaper reading wins; a tie goes to UTF-8.
bool readsBetterAsCp932(QByteArrayView bytes, const QString& cp932)
{
    const Utf8Census utf8 = utf8Census(bytes);
    const qsizetype cp932Errors = cp932.count(QChar::ReplacementCharacter);
    return 2 * (cp932Errors + utf8.wide) + utf8.twoByte < 2 * utf8.malformed;
}

// The decoder passes a surrogate without its partner through; it is no
// character (nor can it be written as UTF-8 or code page 932), so it becomes
// U+FFFD, as an error in UTF-8 does.
void replaceUnpairedSurrogates(QString* text)
{
    const qsizetype size = text->size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text->at(i).unicode();
        if (!QChar::isSurrogate(c))
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(text->at(i + 1).unicode()))
            ++i;
        else
            (*text)[i] = QChar::ReplacementCharacter;
    }
}

} // namespace

QString decodeQuestionText(QByteArrayView bytes)
{
    // A U+FEFF after the mark is text (the toolkit's plain conversion would
    // drop it as a second mark).
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom).decode(bytes.sliced(3));
    for (const auto& [bom, encoding] : {std::pair{"\xFF\xFE", QStringConverter::Utf16LE},
                                        std::pair{"\xFE\xFF", QStringConverter::Utf16BE}}) {
        if (!bytes.startsWith(bom))
            continue;
        // A byte left over at the end becomes U+FFFD.
        QStringDecoder utf16(encoding, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
        QString text = utf16.decode(bytes.sliced(2));
        replaceUnpairedSurrogates(&text);
        return text;
    }
    // The toolkit's plain conversion is the fast one, and it puts U+FFFD for
    // every invalid sequence: without one in the result the bytes were valid
    // UTF-8. Only text with a U+FFFD (written or put) is looked at closely.
    QString text = QString::fromUtf8(bytes);
    if (!text.contains(QChar::ReplacementCharacter))
        return text;
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QString cp932 = platform::decodeCp932(bytes);
    return readsBetterAsCp932(bytes, cp932) ? cp932 : text;
}

QChar defaultCsvSeparator(const QString& path)
{
    return QFileInfo(path).suffix().compare(u"csv", Qt::CaseInsensitive) == 0 ? QChar(u',') : QChar(u'\t');
}

QString csvLabel(QChar separator)
{
    return separator == u'\t' ? QStringLiteral("TSV") : QStringLiteral("CSV");
}

QString plainTextOfHtmlField(const QString& html)
{
    return decodeEntities(removeSoundReferences(removeTags(html))).trimmed();
}

CsvSet readCsvQuestions(const QString& text, QChar defaultSeparator, qsizetype maxQuestions)
{
    CsvSet set;
    CsvHeaders headers;
    headers.separator = defaultSeparator;

    // Header lines: the export's own "#key:value" lines at the top, each
    // ending at its line break. The first other line is the first record.
    const QStringView all(text);
    qsizetype pos = 0;
    int line = 1;
    while (pos < all.size()) {
        qsizetype end = pos;
        while (end < all.size() && all[end] != u'\r' && all[end] != u'\n')
            ++end;
        const HeaderLine header = applyHeader(all.sliced(pos, end - pos), &headers);
        if (header == HeaderLine::NotHeader)
            break;
        if (header == HeaderLine::Unreadable) {
            set.badLine = line;
            return set;
        }
        if (end < all.size() && all[end] == u'\r' && end + 1 < all.size() && all[end + 1] == u'\n')
            ++end;
        pos = end + 1;
        ++line;
    }
    set.separator = headers.separator;

    auto& skipped = headers.skippedColumns;
    std::sort(skipped.begin(), skipped.end(), std::greater<>());
    skipped.erase(std::unique(skipped.begin(), skipped.end()), skipped.end());
    RecordScanner scanner(all, std::min(pos, all.size()), line, headers.separator);
    QList<QStringView> fields;
    bool first = true;
    while (!scanner.atEnd()) {
        const int recordLine = scanner.line();
        if (!scanner.next(&fields)) {
            set.badLine = scanner.openQuoteLine();
            return set;
        }
        // A row whose fields are all empty or blank (an empty line, or a
        // spreadsheet's empty row: ",", " , ") holds no question.
        if (std::all_of(fields.cbegin(), fields.cend(), [](QStringView field) { return field.trimmed().isEmpty(); }))
            continue;
        // Columns named by the headers are not fields (removed from the
        // right, so the numbers of the others stay as they were).
        for (const int column : skipped)
            if (column <= fields.size())
                fields.removeAt(column - 1);
        if (fields.size() < 2) {
            set.badLine = recordLine;
            return set;
        }
        QuestionPair question{fields[0].toString(), fields[1].toString()};
        if (headers.html)
            question = {plainTextOfHtmlField(question.question), plainTextOfHtmlField(question.answer)};
        if (first && isHeaderRow(question)) {
            first = false;
            continue;
        }
        first = false;
        if (set.questions.size() == maxQuestions) {
            set.tooMany = true;
            return set;
        }
        set.questions.append(std::move(question));
    }
    return set;
}

} // namespace questions
