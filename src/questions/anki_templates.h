#pragma once
// Anki card templates: what a card of a note shows as its question and its
// answer, in plain text. A template is HTML with replacements: "{{Field}}",
// filters before the field name ("{{furigana:Field}}", applied from the
// right), sections shown when a field has content ("{{#Field}}…{{/Field}}")
// or when it has none ("{{^Field}}…{{/Field}}"), and "{{FrontSide}}" on the
// back. Cloze notes hide their numbered deletions ("{{c1::text::hint}}").

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace questions {

// What a card shows besides its note's fields: the replacements {{Tags}},
// {{Deck}}, {{Subdeck}}, {{Type}} and {{Card}}.
struct AnkiCardContext {
    QString tags;     // the note's tags, separated by spaces
    QString deck;     // the deck's full name, levels separated by "::"
    QString noteType; // the note type's name
    QString cardName; // the template's name
};

// A card's two sides as plain text (html_text.h). An empty side means the
// card shows nothing there (a picture only) and is left out.
struct AnkiCardText {
    QString question;
    QString answer;
};

// The text of a cloze field on the card that asks deletion `number` (the
// card's ordinal + 1): that deletion as "[...]" (or "[hint]"), the others
// as their text. `deletions`, when given, receives the text of each asked
// deletion, in order.
QString clozeText(QStringView field, int number, QStringList* deletions = nullptr);

// "漢字[かんじ]" as furigana ("漢字(かんじ)"), kanji ("漢字") or kana
// ("かんじ"): the base is the run of non-space characters before "[", a
// single space before the base only separates it.
enum class RubyPart { Furigana, Kanji, Kana };
QString rubyText(const QString& field, RubyPart part);

// One card template of a note type, parsed once for all of its cards.
class AnkiCardTemplate {
public:
    // `fieldNames` are the note type's fields in order: a note's fields
    // come in that order. A name no field has gives an empty replacement.
    AnkiCardTemplate(QStringView front, QStringView back, const QStringList& fieldNames);
    ~AnkiCardTemplate();
    AnkiCardTemplate(AnkiCardTemplate&&) noexcept;
    AnkiCardTemplate& operator=(AnkiCardTemplate&&) noexcept;

    // `fields` are a note's fields in order (views into its text).
    // A card of an ordinary note: the question is the front, the answer the
    // back without what the front showed (what follows the last
    // {{FrontSide}} and an <hr id=answer> right after it; the whole back
    // when there is no {{FrontSide}}).
    AnkiCardText render(const QList<QStringView>& fields, const AnkiCardContext& context) const;
    // The card of a cloze note with ordinal `ordinal`: the question is the
    // front asking deletion ordinal + 1, the answer the text of that
    // deletion (several joined by " / ").
    AnkiCardText renderCloze(const QList<QStringView>& fields, int ordinal, const AnkiCardContext& context) const;

    // Whether the templates show the note's tags ({{Tags}}): the context's
    // tags are needed only then.
    bool usesTags() const { return usesTags_; }

    struct Node;

private:
    std::vector<Node> front_;
    // The answer: the back after its last {{FrontSide}} and the answer rule,
    // cut once here when that {{FrontSide}} stands outside any section;
    // otherwise the whole back, cut at each card (cutAtEachCard_).
    std::vector<Node> answer_;
    bool cutAtEachCard_ = false;
    bool usesTags_ = false;
};

} // namespace questions
