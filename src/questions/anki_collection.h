#pragma once
// The collection database inside an Anki package, read into decks of
// questions. The database is untrusted: it is opened in memory, read-only,
// with SQLite's defensive settings (no extensions, no triggers or views
// run, schema functions untrusted) and never written.

#include "questions/anki_package.h"

#include <QByteArray>
#include <QStringList>

#include <vector>

namespace questions {

// A deck as read, its name as levels.
struct AnkiCollectionDeck {
    QStringList levels;
    AnkiDeck deck;
};

struct AnkiCollectionRead {
    std::vector<AnkiCollectionDeck> decks; // in Anki's deck list order
    std::optional<AnkiFailure> failure;
};

// Reads the decks holding cards from the SQLite database `database` (its
// bytes; a header in WAL mode is read as the same database in rollback
// mode). More than `maxCards` cards fail.
AnkiCollectionRead readAnkiCollection(QByteArray database, qsizetype maxCards);

} // namespace questions
