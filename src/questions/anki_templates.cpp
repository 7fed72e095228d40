#include "questions/anki_templates.h"

#include "questions/html_text.h"

#include <QRegularExpression>

namespace questions {

// ---- Cloze deletions ---------------------------------------------------------

namespace {

// Deletions nest ("{{c1::a {{c2::b}}}}"); deeper ones than this are text.
constexpr int kMaxClozeDepth = 32;

struct ClozePart {
    int number = 0; // 0: plain text
    QString text;   // plain text
    QString hint;
    bool hasHint = false;
    std::vector<ClozePart> parts; // a deletion's content
};

// "{{c<number>::" at `at`: its length, or 0.
qsizetype clozeOpener(QStringView text, qsizetype at, int* number)
{
    if (text.size() - at < 6 || text[at] != u'{' || text[at + 1] != u'{' || (text[at + 2] != u'c' && text[at + 2] != u'C'))
        return 0;
    qsizetype i = at + 3;
    int value = 0;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128 && i - at < 12) {
        value = value * 10 + (text[i].unicode() - u'0');
        ++i;
    }
    if (i == at + 3 || text.size() - i < 2 || text[i] != u':' || text[i + 1] != u':' || value <= 0)
        return 0;
    *number = value;
    return i + 2 - at;
}

std::vector<ClozePart> parseCloze(QStringView text)
{
    struct Open {
        ClozePart part;
        QString opener; // the text that opened it, given back when it is never closed
    };
    std::vector<ClozePart> top;
    std::vector<Open> open;
    const auto addText = [&](QStringView piece) {
        if (!open.empty() && open.back().part.hasHint) {
            open.back().part.hint += piece;
            return;
        }
        std::vector<ClozePart>& parts = open.empty() ? top : open.back().part.parts;
        if (parts.empty() || parts.back().number != 0)
            parts.push_back(ClozePart{});
        parts.back().text += piece;
    };
    qsizetype i = 0;
    qsizetype textStart = 0;
    const auto flushText = [&](qsizetype end) {
        if (end > textStart)
            addText(text.sliced(textStart, end - textStart));
    };
    while (i < text.size()) {
        int number = 0;
        const qsizetype opener = open.size() < kMaxClozeDepth && (open.empty() || !open.back().part.hasHint)
            ? clozeOpener(text, i, &number)
            : 0;
        if (opener > 0) {
            flushText(i);
            open.push_back(Open{ClozePart{number, {}, {}, false, {}}, text.sliced(i, opener).toString()});
            i += opener;
            textStart = i;
        } else if (!open.empty() && text[i] == u'}' && i + 1 < text.size() && text[i + 1] == u'}') {
            flushText(i);
            ClozePart done = std::move(open.back().part);
            open.pop_back();
            (open.empty() ? top : open.back().part.parts).push_back(std::move(done));
            i += 2;
            textStart = i;
        } else if (!open.empty() && !open.back().part.hasHint && text[i] == u':' && i + 1 < text.size()
                   && text[i + 1] == u':') {
            flushText(i);
            open.back().part.hasHint = true;
            i += 2;
            textStart = i;
        } else {
            ++i;
        }
    }
    flushText(i);
    // Deletions never closed are their text as written, opener included.
    while (!open.empty()) {
        Open unclosed = std::move(open.back());
        open.pop_back();
        std::vector<ClozePart>& parts = open.empty() ? top : open.back().part.parts;
        const auto addPlain = [&parts](const QString& piece) {
            if (parts.empty() || parts.back().number != 0)
                parts.push_back(ClozePart{});
            parts.back().text += piece;
        };
        addPlain(unclosed.opener);
        for (ClozePart& part : unclosed.part.parts) {
            if (part.number == 0)
                addPlain(part.text);
            else
                parts.push_back(std::move(part));
        }
        if (unclosed.part.hasHint)
            addPlain(QStringLiteral("::") + unclosed.part.hint);
    }
    return top;
}

// Writes `parts` as the card asking `number` shows them (0: every deletion
// shown), collecting the asked deletions' text.
void writeCloze(const std::vector<ClozePart>& parts, int number, QString& out, QStringList* deletions)
{
    for (const ClozePart& part : parts) {
        if (part.number == 0) {
            out += part.text;
        } else if (part.number == number) {
            out += part.hasHint ? u'[' + part.hint + u']' : QStringLiteral("[...]");
            if (deletions) {
                QString shown;
                writeCloze(part.parts, 0, shown, nullptr);
                deletions->append(shown);
            }
        } else {
            writeCloze(part.parts, number, out, deletions);
        }
    }
}

} // namespace

QString clozeText(QStringView field, int number, QStringList* deletions)
{
    QString out;
    writeCloze(parseCloze(field), number, out, deletions);
    return out;
}

// ---- Readings ----------------------------------------------------------------

QString rubyText(const QString& field, RubyPart part)
{
    static const QRegularExpression ruby(QStringLiteral(" ?([^ >]+?)\\[(.+?)\\]"));
    if (!field.contains(u'[') || !field.contains(u']'))
        return field;
    QString out;
    qsizetype last = 0;
    for (QRegularExpressionMatchIterator it = ruby.globalMatch(field); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += QStringView(field).sliced(last, match.capturedStart() - last);
        last = match.capturedEnd();
        const QStringView reading = match.capturedView(2);
        if (reading.startsWith(u"sound:")) { // a sound tag, not a reading
            out += match.capturedView(0);
            continue;
        }
        if (part == RubyPart::Furigana)
        {
            out += match.capturedView(1);
            out += u'(';
            out += reading;
            out += u')';
        }
        else if (part == RubyPart::Kanji)
            out += match.capturedView(1);
        else
            out += reading;
    }
    out += QStringView(field).sliced(last);
    return out;
}

// ---- Templates -----------------------------------------------------------------

namespace {

// Sections nest; deeper ones than this are text.
constexpr int kMaxSectionDepth = 32;

// Replacements that are no field of the note.
enum SpecialField {
    kUnknownField = -1,
    kTagsField = -2,
    kNoteTypeField = -3,
    kDeckField = -4,
    kSubdeckField = -5,
    kCardField = -6,
    kFrontSideField = -7,
};

int fieldIndex(const QString& name, const QStringList& fieldNames)
{
    const qsizetype index = fieldNames.indexOf(name);
    if (index >= 0)
        return int(index);
    if (name == u"FrontSide")
        return kFrontSideField;
    if (name == u"Tags")
        return kTagsField;
    if (name == u"Type")
        return kNoteTypeField;
    if (name == u"Deck")
        return kDeckField;
    if (name == u"Subdeck")
        return kSubdeckField;
    if (name == u"Card")
        return kCardField;
    return kUnknownField;
}

} // namespace

struct AnkiCardTemplate::Node {
    enum class Kind { Text, Replacement, Section };
    Kind kind = Kind::Text;
    QString text;         // Text
    int field = 0;        // Replacement, Section
    QStringList filters;  // Replacement, in the order written
    bool inverted = false; // Section: shown when the field is empty
    std::vector<Node> children;
};

namespace {

using Node = AnkiCardTemplate::Node;

std::vector<Node> parseTemplate(QStringView source, const QStringList& fieldNames)
{
    struct Open {
        QString name;
        Node section;
    };
    std::vector<Node> top;
    std::vector<Open> open;
    const auto current = [&]() -> std::vector<Node>& { return open.empty() ? top : open.back().section.children; };
    const auto addText = [&](QStringView text) {
        std::vector<Node>& nodes = current();
        if (nodes.empty() || nodes.back().kind != Node::Kind::Text)
            nodes.push_back(Node{});
        nodes.back().text += text;
    };
    const auto closeSection = [&] {
        Node done = std::move(open.back().section);
        open.pop_back();
        current().push_back(std::move(done));
    };
    qsizetype i = 0;
    while (i < source.size()) {
        const qsizetype tagStart = source.indexOf(u"{{", i);
        const qsizetype tagEnd = tagStart < 0 ? -1 : source.indexOf(u"}}", tagStart + 2);
        if (tagEnd < 0) {
            addText(source.sliced(i));
            break;
        }
        addText(source.sliced(i, tagStart - i));
        i = tagEnd + 2;
        const QStringView tag = source.sliced(tagStart + 2, tagEnd - tagStart - 2).trimmed();
        if (tag.startsWith(u'#') || tag.startsWith(u'^')) {
            if (open.size() >= kMaxSectionDepth) {
                addText(source.sliced(tagStart, i - tagStart));
                continue;
            }
            const QString name = tag.sliced(1).trimmed().toString();
            Node section;
            section.kind = Node::Kind::Section;
            section.field = fieldIndex(name, fieldNames);
            section.inverted = tag.startsWith(u'^');
            open.push_back(Open{name, std::move(section)});
        } else if (tag.startsWith(u'/')) {
            // The section of that name ends, and with it any left open inside it;
            // an end that no section matches is ignored.
            const QString name = tag.sliced(1).trimmed().toString();
            const auto match = std::find_if(open.rbegin(), open.rend(), [&name](const Open& o) { return o.name == name; });
            if (match != open.rend()) {
                const size_t keep = size_t(open.rend() - match) - 1;
                while (open.size() > keep)
                    closeSection();
            }
        } else {
            Node replacement;
            replacement.kind = Node::Kind::Replacement;
            QStringList parts = tag.toString().split(u':');
            replacement.field = fieldIndex(parts.takeLast().trimmed(), fieldNames);
            for (const QString& filter : parts)
                replacement.filters.append(filter.trimmed());
            current().push_back(std::move(replacement));
        }
    }
    while (!open.empty())
        closeSection();
    return top;
}

struct RenderState {
    const QList<QStringView>& fields;
    const AnkiCardContext& context;
    int clozeNumber;
    QStringList* deletions;
    qsizetype frontSideEnd = -1;
};

QStringView fieldValue(int field, const RenderState& state)
{
    switch (field) {
    case kTagsField:
        return state.context.tags;
    case kNoteTypeField:
        return state.context.noteType;
    case kDeckField:
        return state.context.deck;
    case kSubdeckField: {
        const qsizetype last = state.context.deck.lastIndexOf(QStringLiteral("::"));
        return QStringView(state.context.deck).sliced(last < 0 ? 0 : last + 2);
    }
    case kCardField:
        return state.context.cardName;
    default:
        return field >= 0 && field < state.fields.size() ? state.fields[field] : QStringView();
    }
}

QString applyFilter(const QString& filter, QString value, RenderState& state)
{
    if (filter == u"cloze")
        return clozeText(value, state.clozeNumber, state.deletions);
    if (filter == u"cloze-only") {
        QStringList asked;
        clozeText(value, state.clozeNumber, &asked);
        return asked.join(QStringLiteral(", "));
    }
    if (filter == u"furigana")
        return rubyText(value, RubyPart::Furigana);
    if (filter == u"kanji")
        return rubyText(value, RubyPart::Kanji);
    if (filter == u"kana")
        return rubyText(value, RubyPart::Kana);
    if (filter == u"type" || filter.startsWith(u"tts"))
        return QString(); // typing the answer in, and speech: nothing to read
    return value; // text:, hint: and filters of add-ons show the field
}

void renderNodes(const std::vector<Node>& nodes, RenderState& state, QString& out)
{
    for (const Node& node : nodes) {
        switch (node.kind) {
        case Node::Kind::Text:
            out += node.text;
            break;
        case Node::Kind::Replacement:
            if (node.field == kFrontSideField) {
                state.frontSideEnd = out.size();
            } else if (node.filters.isEmpty()) {
                out += fieldValue(node.field, state);
            } else {
                QString value = fieldValue(node.field, state).toString();
                for (auto filter = node.filters.crbegin(); filter != node.filters.crend(); ++filter)
                    value = applyFilter(*filter, std::move(value), state);
                out += value;
            }
            break;
        case Node::Kind::Section:
            if (htmlFieldHasContent(fieldValue(node.field, state)) != node.inverted)
                renderNodes(node.children, state, out);
            break;
        }
    }
}

// An answer rule (<hr id=answer>) at the start of `html`, after white space:
// where the text after it starts, or 0.
qsizetype answerRuleEnd(QStringView html)
{
    static const QRegularExpression answerRule(QStringLiteral("^\\s*<hr[^>]*\\bid\\s*=\\s*[\"']?answer\\b[^>]*>"),
                                               QRegularExpression::CaseInsensitiveOption);
    if (!html.contains(u"<hr", Qt::CaseInsensitive))
        return 0;
    const QRegularExpressionMatch rule = answerRule.match(html);
    return rule.hasMatch() ? rule.capturedEnd() : 0;
}

// The back's HTML after what the front showed.
QStringView afterFrontSide(QStringView back, qsizetype frontSideEnd)
{
    if (frontSideEnd < 0)
        return back;
    const QStringView rest = back.sliced(frontSideEnd);
    return rest.sliced(answerRuleEnd(rest));
}

bool showsField(const std::vector<Node>& nodes, int field)
{
    return std::any_of(nodes.begin(), nodes.end(), [field](const Node& node) {
        return (node.kind != Node::Kind::Text && node.field == field) || showsField(node.children, field);
    });
}

bool isFrontSide(const Node& node)
{
    return node.kind == Node::Kind::Replacement && node.field == kFrontSideField;
}

// A side's HTML, written into `storage`. A side that is one field without
// filters (the most common template, "{{Front}}") is that field itself.
QStringView renderSide(const std::vector<Node>& nodes, RenderState& state, QString& storage)
{
    if (nodes.size() == 1 && nodes[0].kind == Node::Kind::Replacement && nodes[0].filters.isEmpty()
        && nodes[0].field != kFrontSideField)
        return fieldValue(nodes[0].field, state);
    renderNodes(nodes, state, storage);
    return storage;
}

} // namespace

AnkiCardTemplate::AnkiCardTemplate(QStringView front, QStringView back, const QStringList& fieldNames)
    : front_(parseTemplate(front, fieldNames)), answer_(parseTemplate(back, fieldNames))
{
    usesTags_ = showsField(front_, kTagsField) || showsField(answer_, kTagsField);
    const auto last = std::find_if(answer_.rbegin(), answer_.rend(), isFrontSide);
    if (last == answer_.rend()) {
        cutAtEachCard_ = showsField(answer_, kFrontSideField); // only inside sections
        return;
    }
    const auto after = last.base(); // the node after the last top-level {{FrontSide}}
    if (std::any_of(after, answer_.end(), [](const Node& node) { return showsField(node.children, kFrontSideField); })) {
        cutAtEachCard_ = true; // another one inside a later section
        return;
    }
    answer_.erase(answer_.begin(), after);
    if (!answer_.empty() && answer_.front().kind == Node::Kind::Text) {
        QString& text = answer_.front().text;
        text.remove(0, answerRuleEnd(text));
        if (text.isEmpty())
            answer_.erase(answer_.begin());
    }
}

AnkiCardTemplate::~AnkiCardTemplate() = default;
AnkiCardTemplate::AnkiCardTemplate(AnkiCardTemplate&&) noexcept = default;
AnkiCardTemplate& AnkiCardTemplate::operator=(AnkiCardTemplate&&) noexcept = default;

AnkiCardText AnkiCardTemplate::render(const QList<QStringView>& fields, const AnkiCardContext& context) const
{
    QString frontStorage;
    QString backStorage;
    RenderState frontState{fields, context, 1, nullptr};
    const QStringView front = renderSide(front_, frontState, frontStorage);
    RenderState backState{fields, context, 1, nullptr};
    const QStringView back = renderSide(answer_, backState, backStorage);
    return {htmlToText(front), htmlToText(cutAtEachCard_ ? afterFrontSide(back, backState.frontSideEnd) : back)};
}

AnkiCardText AnkiCardTemplate::renderCloze(const QList<QStringView>& fields, int ordinal, const AnkiCardContext& context) const
{
    QStringList deletions;
    RenderState state{fields, context, ordinal + 1, &deletions};
    QString front;
    renderNodes(front_, state, front);
    QStringList answers;
    for (const QString& deletion : std::as_const(deletions)) {
        QString text = htmlToText(deletion);
        if (!text.isEmpty())
            answers.append(std::move(text));
    }
    return {htmlToText(front), answers.join(QStringLiteral(" / "))};
}

} // namespace questions
