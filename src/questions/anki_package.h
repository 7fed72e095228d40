#pragma once
// Anki packages (.apkg: decks; .colpkg: a whole collection) read whole: a
// zip archive holding the collection, an SQLite database, in one of three
// entries. "collection.anki21b" (newer Anki: zstd-compressed, schema 18,
// note types and decks in tables of their own, templates in protocol-buffer
// blobs), "collection.anki21" and "collection.anki2" (older Anki and most
// deck-making programs: schema 11, note types and decks as JSON). The
// "meta" entry, when present, names the one to read; otherwise the newest
// present is read. (A newer package also holds a stub "collection.anki2"
// asking to update Anki: never read when "meta" names the newer entry.)
// Media files are not read.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace questions {

// The largest collection database read, decompressed: it is held in memory
// while the questions are read from it. Bounded while inflating, whatever
// size the archive claims.
inline constexpr qint64 kMaxAnkiCollectionBytes = qint64(256) << 20;

struct AnkiQuestion {
    QString question;
    QString answer;
};

// A deck holding cards: its questions, one per card not left out, in the
// order the notes were added, a note's cards in template order.
struct AnkiDeck {
    QString name; // full name, levels separated by "::"
    std::vector<AnkiQuestion> questions;
};

// A row of the question-set list: the decks it appends, in deck order.
struct AnkiRow {
    QString name;
    std::vector<int> decks; // indexes into AnkiPackage::decks
    qsizetype questionCount = 0;
};

struct AnkiPackage {
    std::vector<AnkiDeck> decks; // in Anki's deck list order
    std::vector<AnkiRow> rows;   // at most the rows asked for
};

// Why a package could not be read.
enum class AnkiFailure {
    CannotOpen,   // missing, not a regular file, unreadable
    NotPackage,   // not a zip archive, no collection, a database that is no Anki collection
    Damaged,      // a damaged or encrypted entry, a damaged database
    NewerFormat,  // a package or collection version newer than this reader knows
    TooLarge,     // a collection larger than kMaxAnkiCollectionBytes
    TooManyCards, // more cards than allowed
};

struct AnkiRead {
    std::optional<AnkiPackage> package;
    AnkiFailure failure = AnkiFailure::NotPackage; // when there is no package
};

// Reads the package at `path` (a regular file only) whole, its decks
// grouped into at most `maxRows` rows; more than `maxCards` cards fail.
AnkiRead readAnkiPackageFile(const QString& path, int maxRows, qsizetype maxCards);
// The same from the package's bytes.
AnkiRead readAnkiPackageBytes(const QByteArray& bytes, int maxRows, qsizetype maxCards);

} // namespace questions
