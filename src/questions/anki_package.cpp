#include "questions/anki_package.h"

#include "platform/regular_file.h"
#include "questions/anki_collection.h"
#include "questions/anki_decks.h"
#include "questions/protobuf_wire.h"

#include <unistd.h>
#include <zip.h>
#include <zstd.h>

#include <memory>

namespace questions {

namespace {

// The package versions the "meta" entry names (PackageMetadata.version).
enum PackageVersion : uint64_t {
    kVersionUnknown = 0,
    kVersionLegacy1 = 1, // collection.anki2
    kVersionLegacy2 = 2, // collection.anki21
    kVersionLatest = 3,  // collection.anki21b, zstd
};

constexpr qint64 kMaxMetaBytes = 64 * 1024;
constexpr qint64 kReadChunk = 1 << 20;

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ArchiveHandle = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

// The bytes of entry `index`, inflated with a bound: more than `maxBytes`
// fail as too large, whatever size the archive claims.
std::optional<QByteArray> readEntry(zip_t* archive, zip_int64_t index, qint64 maxBytes, AnkiFailure* failure)
{
    *failure = AnkiFailure::Damaged; // also an encrypted entry: no password to give
    std::unique_ptr<zip_file_t, EntryCloser> file(zip_fopen_index(archive, zip_uint64_t(index), 0));
    if (!file)
        return std::nullopt;
    QByteArray bytes;
    zip_stat_t stat;
    if (zip_stat_index(archive, zip_uint64_t(index), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE))
        bytes.reserve(qsizetype(std::min<zip_uint64_t>(stat.size, zip_uint64_t(maxBytes) + 1)));
    for (;;) {
        const qsizetype used = bytes.size();
        const qint64 room = std::min(kReadChunk, maxBytes + 1 - used);
        bytes.resize(used + room);
        const zip_int64_t got = zip_fread(file.get(), bytes.data() + used, zip_uint64_t(room));
        if (got < 0)
            return std::nullopt; // damaged data or a wrong checksum
        bytes.resize(used + got);
        if (bytes.size() > maxBytes) {
            *failure = AnkiFailure::TooLarge;
            return std::nullopt;
        }
        if (got == 0)
            return bytes;
    }
}

// The zstd frames of `compressed`, decompressed with a bound.
std::optional<QByteArray> decompressZstd(const QByteArray& compressed, qint64 maxBytes, AnkiFailure* failure)
{
    *failure = AnkiFailure::Damaged;
    std::unique_ptr<ZSTD_DCtx, decltype(&ZSTD_freeDCtx)> context(ZSTD_createDCtx(), ZSTD_freeDCtx);
    if (!context)
        return std::nullopt;
    QByteArray out;
    const unsigned long long claimed = ZSTD_getFrameContentSize(compressed.constData(), size_t(compressed.size()));
    if (claimed != ZSTD_CONTENTSIZE_UNKNOWN && claimed != ZSTD_CONTENTSIZE_ERROR)
        out.reserve(qsizetype(std::min<unsigned long long>(claimed, (unsigned long long)maxBytes + 1)));
    ZSTD_inBuffer input{compressed.constData(), size_t(compressed.size()), 0};
    size_t pending = 1; // 0 once a frame is complete
    while (input.pos < input.size || pending != 0) {
        const qsizetype used = out.size();
        const qint64 room = std::min<qint64>(std::max<qint64>(kReadChunk, used), maxBytes + 1 - used);
        out.resize(used + room);
        ZSTD_outBuffer output{out.data() + used, size_t(room), 0};
        const size_t before = input.pos;
        pending = ZSTD_decompressStream(context.get(), &output, &input);
        if (ZSTD_isError(pending))
            return std::nullopt;
        out.resize(used + qsizetype(output.pos));
        if (out.size() > maxBytes) {
            *failure = AnkiFailure::TooLarge;
            return std::nullopt;
        }
        // Input used up with a frame unfinished and nothing more coming out: cut short.
        if (input.pos == input.size && pending != 0 && output.pos == 0 && before == input.pos)
            return std::nullopt;
    }
    if (out.isEmpty())
        return std::nullopt;
    return out;
}

zip_int64_t entryIndex(zip_t* archive, const char* name)
{
    return zip_name_locate(archive, name, 0);
}

AnkiRead failed(AnkiFailure failure)
{
    return AnkiRead{std::nullopt, failure};
}

AnkiRead readArchive(zip_t* archive, int maxRows, qsizetype maxCards)
{
    uint64_t version = kVersionUnknown;
    AnkiFailure failure = AnkiFailure::NotPackage;
    if (const zip_int64_t meta = entryIndex(archive, "meta"); meta >= 0) {
        const std::optional<QByteArray> bytes = readEntry(archive, meta, kMaxMetaBytes, &failure);
        if (!bytes)
            return failed(failure);
        version = protoVarint(*bytes, 1);
        if (version > kVersionLatest)
            return failed(AnkiFailure::NewerFormat);
    }
    // Without a version named: the newest collection present.
    const zip_int64_t latest = entryIndex(archive, "collection.anki21b");
    const zip_int64_t legacy2 = entryIndex(archive, "collection.anki21");
    const zip_int64_t legacy1 = entryIndex(archive, "collection.anki2");
    if (version == kVersionUnknown)
        version = latest >= 0 ? kVersionLatest : legacy2 >= 0 ? kVersionLegacy2 : kVersionLegacy1;
    const zip_int64_t entry = version == kVersionLatest ? latest : version == kVersionLegacy2 ? legacy2 : legacy1;
    if (entry < 0)
        return failed(AnkiFailure::NotPackage);
    std::optional<QByteArray> database = readEntry(archive, entry, kMaxAnkiCollectionBytes, &failure);
    if (database && version == kVersionLatest)
        database = decompressZstd(*database, kMaxAnkiCollectionBytes, &failure);
    if (!database)
        return failed(failure);

    AnkiCollectionRead collection = readAnkiCollection(std::move(*database), maxCards);
    if (collection.failure)
        return failed(*collection.failure);
    AnkiPackage package;
    std::vector<QStringList> levels;
    for (AnkiCollectionDeck& deck : collection.decks) {
        levels.push_back(std::move(deck.levels));
        package.decks.push_back(std::move(deck.deck));
    }
    for (AnkiDeckGroup& group : groupAnkiDecks(levels, maxRows)) {
        AnkiRow row{std::move(group.name), std::move(group.decks), 0};
        for (int deck : row.decks)
            row.questionCount += qsizetype(package.decks[size_t(deck)].questions.size());
        package.rows.push_back(std::move(row));
    }
    return AnkiRead{std::move(package), {}};
}

} // namespace

AnkiRead readAnkiPackageFile(const QString& path, int maxRows, qsizetype maxCards)
{
    const int fd = platform::openRegularFile(path);
    if (fd < 0)
        return failed(AnkiFailure::CannotOpen);
    int error = 0;
    ArchiveHandle archive(zip_fdopen(fd, 0, &error));
    if (!archive) {
        ::close(fd); // not taken over by a failed open
        return failed(AnkiFailure::NotPackage);
    }
    return readArchive(archive.get(), maxRows, maxCards);
}

AnkiRead readAnkiPackageBytes(const QByteArray& bytes, int maxRows, qsizetype maxCards)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        return failed(AnkiFailure::NotPackage);
    }
    ArchiveHandle archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        return failed(AnkiFailure::NotPackage);
    }
    return readArchive(archive.get(), maxRows, maxCards);
}

} // namespace questions
