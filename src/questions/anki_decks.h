#pragma once
// The decks of an Anki package as rows of the question-set list: Anki's deck
// list order, and decks taken together with their parents when there are
// more decks than rows.

#include <QString>
#include <QStringList>

#include <vector>

namespace questions {

// Deck names as levels ("言語::日本語" is {"言語", "日本語"}), ordered as
// Anki's deck list shows them: by name, level by level, letter case aside.
bool ankiDeckBefore(const QStringList& a, const QStringList& b);

// A list row: the decks it appends, in deck order, and the name it shows.
struct AnkiDeckGroup {
    QString name;           // levels joined by "::"
    std::vector<int> decks; // indexes into the decks given
};

// Groups `decks` (levels, in deck order) into at most `maxRows` rows. Each
// deck keeps a row of its own while they fit; otherwise the decks of the
// deepest level join their parent (a deck of that name or not), a whole
// level at a time, until they fit. When even the top-level decks are too
// many, the rows are the first `maxRows` - 1 of them and one row of all
// the rest. Every deck is in exactly one row.
std::vector<AnkiDeckGroup> groupAnkiDecks(const std::vector<QStringList>& decks, int maxRows);

} // namespace questions
