// Reads the input as an Anki package the way opening one does (or, for an
// input that is an SQLite database, as the collection inside one): the zip
// archive, the "meta" entry, the collection entry inflated (and zstd
// decompressed) with its bound, the SQLite collection opened with the
// settings for untrusted databases, every card rendered through its
// template, and the decks grouped into the eight list rows.

#include "questions/anki_collection.h"
#include "questions/anki_package.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {

// Fewer cards than a real open allows: reading a million cards from one
// input teaches nothing new.
constexpr qsizetype kMaxCards = 20000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    // A bare collection database goes straight to the collection reader, so
    // that mutations reach the tables and templates past the zip checksums.
    if (bytes.startsWith("SQLite format 3")) {
        questions::readAnkiCollection(QByteArray(bytes.constData(), bytes.size()), kMaxCards);
        return 0;
    }
    const questions::AnkiRead read = questions::readAnkiPackageBytes(bytes, 8, kMaxCards);
    if (read.package) {
        // Every deck is in exactly one row, and a row counts what it holds.
        std::vector<int> rowsOfDeck(read.package->decks.size());
        for (const questions::AnkiRow& row : read.package->rows) {
            qsizetype count = 0;
            for (int deck : row.decks) {
                ++rowsOfDeck.at(size_t(deck));
                count += qsizetype(read.package->decks.at(size_t(deck)).questions.size());
            }
            if (count != row.questionCount)
                __builtin_trap();
        }
        for (int rows : rowsOfDeck)
            if (rows != 1)
                __builtin_trap();
        if (read.package->rows.size() > 8)
            __builtin_trap();
    }
    return 0;
}
