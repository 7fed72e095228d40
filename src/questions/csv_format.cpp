#include "questions/csv_format.h"

#include "platform/codepage.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <optional>

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
std::optional<QChar> separatorNamed(const QString& value)
{
    const QString name = value.trimmed().toLower();
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
    // The character itself; a lone space is "space" by its character.
    if (value.size() == 1 && value[0] != u'"' && value[0] != u'\r' && value[0] != u'\n')
        return value[0];
    return std::nullopt;
}

// Applies one header line (without its "#"); false when the line says
// something about the fields that cannot be read.
bool applyHeader(const QString& line, CsvHeaders* headers)
{
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0)
        return true;
    const QString name = line.left(colon).trimmed().toLower();
    const QString value = line.mid(colon + 1);
    if (name == u"separator") {
        const auto separator = separatorNamed(value);
        if (!separator)
            return false;
        headers->separator = *separator;
    } else if (name == u"html") {
        headers->html = value.trimmed().compare(u"true", Qt::CaseInsensitive) == 0;
    } else if (name == u"guid column" || name == u"notetype column" || name == u"deck column"
               || name == u"tags column") {
        bool ok = false;
        const int column = value.trimmed().toInt(&ok);
        if (!ok || column < 1)
            return false;
        headers->skippedColumns.append(column);
    }
    return true;
}

// Walks the text record by record, counting physical lines from 1.
class RecordScanner {
public:
    RecordScanner(const QString& text, qsizetype start, int line, QChar separator)
        : text_(text), pos_(start), line_(line), separator_(separator)
    {
    }

    bool atEnd() const { return pos_ >= text_.size(); }
    int line() const { return line_; }
    int openQuoteLine() const { return openQuoteLine_; }

    // The fields of the next record; false when a quote stays open to the end.
    bool next(QStringList* fields)
    {
        fields->clear();
        for (;;) {
            QString field;
            if (!atEnd() && text_[pos_] == u'"' && !readQuoted(&field))
                return false;
            // Unquoted text, or what follows a closing quote, runs to the
            // separator or the end of the line.
            while (!atEnd() && text_[pos_] != separator_ && !isBreak(text_[pos_]))
                field += text_[pos_++];
            fields->append(field);
            if (!atEnd() && text_[pos_] == separator_) {
                ++pos_;
                continue;
            }
            skipBreak();
            return true;
        }
    }

private:
    static bool isBreak(QChar c) { return c == u'\r' || c == u'\n'; }

    // Past a CR LF, a lone CR or a lone LF (if one is here).
    void skipBreak()
    {
        if (atEnd() || !isBreak(text_[pos_]))
            return;
        if (text_[pos_] == u'\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\n')
            ++pos_;
        ++pos_;
        ++line_;
    }

    bool readQuoted(QString* field)
    {
        openQuoteLine_ = line_;
        ++pos_;
        while (!atEnd()) {
            const QChar c = text_[pos_];
            if (c == u'"') {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == u'"') {
                    *field += u'"';
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                return true;
            }
            if (isBreak(c)) {
                skipBreak();
                *field += kLineBreak;
                continue;
            }
            *field += c;
            ++pos_;
        }
        return false;
    }

    const QString& text_;
    qsizetype pos_;
    int line_;
    QChar separator_;
    int openQuoteLine_ = 0;
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

} // namespace

QString decodeQuestionText(QByteArrayView bytes)
{
    static constexpr char kBom[] = "\xEF\xBB\xBF";
    if (bytes.startsWith(kBom))
        return QString::fromUtf8(bytes.sliced(3));
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return platform::decodeCp932(bytes);
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

CsvSet readCsvQuestions(const QString& text, QChar defaultSeparator)
{
    CsvSet set;
    CsvHeaders headers;
    headers.separator = defaultSeparator;

    // Header lines: each starts with "#" and ends at its line break.
    qsizetype pos = 0;
    int line = 1;
    while (pos < text.size() && text[pos] == u'#') {
        qsizetype end = pos;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        if (!applyHeader(text.mid(pos + 1, end - pos - 1), &headers)) {
            set.badLine = line;
            return set;
        }
        if (end < text.size() && text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n')
            ++end;
        pos = end + 1;
        ++line;
    }
    set.separator = headers.separator;

    auto& skipped = headers.skippedColumns;
    std::sort(skipped.begin(), skipped.end(), std::greater<>());
    skipped.erase(std::unique(skipped.begin(), skipped.end()), skipped.end());
    RecordScanner scanner(text, pos, line, headers.separator);
    QStringList fields;
    bool first = true;
    while (!scanner.atEnd()) {
        const int recordLine = scanner.line();
        if (!scanner.next(&fields)) {
            set.badLine = scanner.openQuoteLine();
            return set;
        }
        // A blank line holds no question.
        if (fields.size() == 1 && fields[0].isEmpty())
            continue;
        // Columns named by the headers are not fields (removed from the
        // right, so the numbers of the others stay as they were).
        for (const int column : headers.skippedColumns)
            if (column <= fields.size())
                fields.removeAt(column - 1);
        if (fields.size() < 2) {
            set.badLine = recordLine;
            return set;
        }
        QuestionPair question{fields[0], fields[1]};
        if (headers.html)
            question = {plainTextOfHtmlField(question.question), plainTextOfHtmlField(question.answer)};
        if (first && isHeaderRow(question)) {
            first = false;
            continue;
        }
        first = false;
        set.questions.append(question);
    }
    return set;
}

} // namespace questions
