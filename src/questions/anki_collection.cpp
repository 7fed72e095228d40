#include "questions/anki_collection.h"

#include "questions/anki_decks.h"
#include "questions/anki_templates.h"
#include "questions/protobuf_wire.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>

namespace questions {

namespace {

// The newest collection schema this reader knows.
constexpr int kNewestSchema = 18;
// Note types with more fields than this are taken as damaged.
constexpr int kMaxFieldOrdinal = 4096;
constexpr qint64 kDefaultDeckId = 1;

struct Failed {
    AnkiFailure failure;
};

// SQLite's failure as the package's: a damaged database, or no collection.
[[noreturn]] void raiseSqlite(int code)
{
    const int primary = code & 0xFF;
    throw Failed{primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB ? AnkiFailure::Damaged
                                                                       : AnkiFailure::NotPackage};
}

class Statement {
public:
    Statement(sqlite3* db, const char* sql)
    {
        if (const int code = sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr); code != SQLITE_OK)
            raiseSqlite(code);
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool step()
    {
        const int code = sqlite3_step(statement_);
        if (code == SQLITE_ROW)
            return true;
        if (code != SQLITE_DONE)
            raiseSqlite(code);
        return false;
    }
    qint64 integer(int column) const { return sqlite3_column_int64(statement_, column); }
    QString text(int column) const
    {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        return QString::fromUtf8(bytes, sqlite3_column_bytes(statement_, column));
    }
    QByteArrayView blob(int column) const
    {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
        return QByteArrayView(bytes, sqlite3_column_bytes(statement_, column));
    }

private:
    sqlite3_stmt* statement_ = nullptr;
};

// Anki's case-blind collation, which its tables declare: needed by any
// query that sorts or compares on such a column.
int compareUnicase(void*, int sizeA, const void* a, int sizeB, const void* b)
{
    return QString::fromUtf8(static_cast<const char*>(a), sizeA)
        .compare(QString::fromUtf8(static_cast<const char*>(b), sizeB), Qt::CaseInsensitive);
}

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, DatabaseCloser>;

// `database` opened read-only in memory, with the settings for untrusted
// databases. The bytes stay owned by the caller and must outlive the handle.
DatabaseHandle openUntrusted(QByteArray& database)
{
    static const char kMagic[] = "SQLite format 3";
    if (database.size() < 100 || !database.startsWith(QByteArrayView(kMagic, sizeof kMagic)))
        throw Failed{AnkiFailure::NotPackage};
    // Bytes 18 and 19 (write and read version) are 2 in WAL mode, which a
    // database in memory cannot use; the same file in rollback mode says 1.
    for (int at : {18, 19})
        if (database[at] == 2)
            database[at] = 1;
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(":memory:", &raw,
                                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    DatabaseHandle db(raw);
    if (opened != SQLITE_OK)
        throw Failed{AnkiFailure::Damaged};
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_limit(raw, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_create_collation_v2(raw, "unicase", SQLITE_UTF8, nullptr, compareUnicase, nullptr);
    if (sqlite3_deserialize(raw, "main", reinterpret_cast<unsigned char*>(database.data()), database.size(),
                            database.size(), SQLITE_DESERIALIZE_READONLY)
        != SQLITE_OK)
        throw Failed{AnkiFailure::Damaged};
    sqlite3_exec(raw, "PRAGMA cell_size_check = ON", nullptr, nullptr, nullptr);
    return db;
}

struct CardTemplate {
    int ordinal = 0;
    QString name;
    QString front;
    QString back;
};

struct NoteType {
    QString name;
    bool cloze = false;
    QStringList fieldNames;
    std::vector<CardTemplate> sources;
    std::map<int, AnkiCardTemplate> templates; // by ordinal, built from the sources
    std::map<int, QString> templateNames;
};

using NoteTypes = std::unordered_map<qint64, NoteType>;
using DeckNames = std::unordered_map<qint64, QStringList>;

void compileTemplates(NoteTypes& noteTypes)
{
    for (auto& [id, noteType] : noteTypes) {
        for (const CardTemplate& source : noteType.sources) {
            noteType.templates.insert_or_assign(source.ordinal,
                                                AnkiCardTemplate(source.front, source.back, noteType.fieldNames));
            noteType.templateNames.insert_or_assign(source.ordinal, source.name);
        }
        noteType.sources.clear();
    }
}

void setField(NoteType& noteType, qint64 ordinal, const QString& name)
{
    if (ordinal < 0 || ordinal > kMaxFieldOrdinal)
        throw Failed{AnkiFailure::Damaged};
    if (noteType.fieldNames.size() <= ordinal)
        noteType.fieldNames.resize(ordinal + 1);
    noteType.fieldNames[ordinal] = name;
}

// ---- Schema 11: note types and decks as JSON in `col` ------------------------

// An id written as a number or as a string of digits.
std::optional<qint64> jsonId(const QJsonValue& value)
{
    if (value.isDouble())
        return value.toInteger();
    bool ok = false;
    const qint64 id = value.toString().toLongLong(&ok);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

QJsonObject jsonObjectOf(const QString& text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw Failed{AnkiFailure::Damaged};
    return document.object();
}

void readJsonSchema(sqlite3* db, NoteTypes& noteTypes, DeckNames& decks)
{
    Statement col(db, "SELECT models, decks FROM col");
    if (!col.step())
        throw Failed{AnkiFailure::NotPackage};
    const QJsonObject models = jsonObjectOf(col.text(0));
    for (auto it = models.begin(); it != models.end(); ++it) {
        const QJsonObject model = it.value().toObject();
        const std::optional<qint64> id = model.contains(u"id") ? jsonId(model[u"id"]) : jsonId(it.key());
        if (!id)
            continue;
        NoteType& noteType = noteTypes[*id];
        noteType.name = model[u"name"].toString();
        noteType.cloze = model[u"type"].toInt() == 1;
        const QJsonArray fields = model[u"flds"].toArray();
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const QJsonObject field = fields[i].toObject();
            setField(noteType, field.contains(u"ord") ? field[u"ord"].toInteger() : i, field[u"name"].toString());
        }
        const QJsonArray templates = model[u"tmpls"].toArray();
        for (qsizetype i = 0; i < templates.size(); ++i) {
            const QJsonObject tmpl = templates[i].toObject();
            noteType.sources.push_back(CardTemplate{int(tmpl.contains(u"ord") ? tmpl[u"ord"].toInteger() : i),
                                                    tmpl[u"name"].toString(), tmpl[u"qfmt"].toString(),
                                                    tmpl[u"afmt"].toString()});
        }
    }
    const QJsonObject deckObjects = jsonObjectOf(col.text(1));
    for (auto it = deckObjects.begin(); it != deckObjects.end(); ++it) {
        const QJsonObject deck = it.value().toObject();
        const std::optional<qint64> id = deck.contains(u"id") ? jsonId(deck[u"id"]) : jsonId(it.key());
        if (id)
            decks[*id] = deck[u"name"].toString().split(QStringLiteral("::"));
    }
}

// ---- Schema 18: tables of their own, templates as protocol buffers -------------

QString utf8Of(QByteArrayView bytes)
{
    return QString::fromUtf8(bytes);
}

void readTableSchema(sqlite3* db, NoteTypes& noteTypes, DeckNames& decks)
{
    Statement types(db, "SELECT id, name, config FROM notetypes");
    while (types.step()) {
        NoteType& noteType = noteTypes[types.integer(0)];
        noteType.name = types.text(1);
        // Notetype.Config: kind = 1 (0 normal, 1 cloze).
        noteType.cloze = protoVarint(types.blob(2), 1) == 1;
    }
    Statement fields(db, "SELECT ntid, ord, name FROM fields ORDER BY ntid, ord");
    while (fields.step()) {
        // Rows of a note type that does not exist are left alone.
        const auto noteType = noteTypes.find(fields.integer(0));
        if (noteType != noteTypes.end())
            setField(noteType->second, fields.integer(1), fields.text(2));
    }
    Statement templates(db, "SELECT ntid, ord, name, config FROM templates ORDER BY ntid, ord");
    while (templates.step()) {
        const auto noteType = noteTypes.find(templates.integer(0));
        if (noteType == noteTypes.end())
            continue;
        // Notetype.Template.Config: q_format = 1, a_format = 2.
        const QByteArrayView config = templates.blob(3);
        noteType->second.sources.push_back(CardTemplate{int(templates.integer(1)), templates.text(2),
                                                        utf8Of(protoBytes(config, 1)), utf8Of(protoBytes(config, 2))});
    }
    // A deck's levels are separated by U+001F.
    Statement deckRows(db, "SELECT id, name FROM decks");
    while (deckRows.step())
        decks[deckRows.integer(0)] = deckRows.text(1).split(QChar(0x1F));
}

// ---- Cards -------------------------------------------------------------------

class DeckCollector {
public:
    explicit DeckCollector(DeckNames names) : names_(std::move(names)) {}

    // The deck a card belongs to (created at its first card).
    AnkiCollectionDeck& deck(qint64 id)
    {
        if (!names_.contains(id))
            id = kDefaultDeckId; // a card of a deck that is gone: Anki's default deck
        const auto [found, added] = indexById_.try_emplace(id, decks_.size());
        if (added) {
            AnkiCollectionDeck deck;
            deck.levels = names_.contains(id) ? names_[id] : QStringList{QStringLiteral("Default")};
            deck.deck.name = deck.levels.join(QStringLiteral("::"));
            decks_.push_back(std::move(deck));
        }
        return decks_[found->second];
    }

    std::vector<AnkiCollectionDeck> sorted() &&
    {
        std::stable_sort(decks_.begin(), decks_.end(), [](const AnkiCollectionDeck& a, const AnkiCollectionDeck& b) {
            return ankiDeckBefore(a.levels, b.levels);
        });
        return std::move(decks_);
    }

private:
    DeckNames names_;
    std::unordered_map<qint64, size_t> indexById_;
    std::vector<AnkiCollectionDeck> decks_;
};

void readCards(sqlite3* db, const NoteTypes& noteTypes, DeckCollector& decks)
{
    // Suspended cards (queue -1) are left out; buried ones stay. A card in
    // a filtered deck belongs to its home deck (odid). Ordered by the note
    // (its id is when it was added) through the cards' own note column, which
    // Anki indexes: the cards then come in note order and only each note's
    // few cards are sorted.
    Statement cards(db, "SELECT c.did, c.odid, c.ord, c.queue, n.mid, n.flds, n.tags"
                        " FROM cards AS c JOIN notes AS n ON n.id = c.nid ORDER BY c.nid, c.ord, c.id");
    while (cards.step()) {
        const qint64 homeDeck = cards.integer(1);
        AnkiCollectionDeck& deck = decks.deck(homeDeck != 0 ? homeDeck : cards.integer(0));
        if (cards.integer(3) == -1)
            continue;
        const auto noteType = noteTypes.find(cards.integer(4));
        if (noteType == noteTypes.end())
            continue;
        const NoteType& type = noteType->second;
        const int ordinal = int(std::clamp<qint64>(cards.integer(2), -1, 1 << 30));
        // A cloze note type has one template; its cards are its deletions.
        const auto tmpl = type.cloze ? type.templates.begin() : type.templates.find(ordinal);
        if (tmpl == type.templates.end() || ordinal < 0)
            continue;
        const QString noteText = cards.text(5);
        const QList<QStringView> fields = QStringView(noteText).split(QChar(0x1F));
        const AnkiCardContext context{tmpl->second.usesTags() ? cards.text(6).trimmed() : QString(), deck.deck.name,
                                      type.name,
                                      type.templateNames.at(tmpl->first)};
        AnkiCardText text = type.cloze ? tmpl->second.renderCloze(fields, ordinal, context)
                                       : tmpl->second.render(fields, context);
        // A side that shows nothing as text (a picture only) asks nothing.
        if (text.question.isEmpty() || text.answer.isEmpty())
            continue;
        deck.deck.questions.push_back(AnkiQuestion{std::move(text.question), std::move(text.answer)});
    }
}

} // namespace

AnkiCollectionRead readAnkiCollection(QByteArray database, qsizetype maxCards)
{
    try {
        DatabaseHandle db = openUntrusted(database);
        Statement version(db.get(), "SELECT ver FROM col");
        if (!version.step())
            throw Failed{AnkiFailure::NotPackage};
        if (version.integer(0) > kNewestSchema)
            throw Failed{AnkiFailure::NewerFormat};
        Statement count(db.get(), "SELECT count(*) FROM cards");
        if (count.step() && count.integer(0) > maxCards)
            throw Failed{AnkiFailure::TooManyCards};
        NoteTypes noteTypes;
        DeckNames deckNames;
        Statement tables(db.get(), "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'notetypes'");
        if (tables.step())
            readTableSchema(db.get(), noteTypes, deckNames);
        else
            readJsonSchema(db.get(), noteTypes, deckNames);
        compileTemplates(noteTypes);
        DeckCollector decks(std::move(deckNames));
        readCards(db.get(), noteTypes, decks);
        return AnkiCollectionRead{std::move(decks).sorted(), std::nullopt};
    } catch (const Failed& failed) {
        return AnkiCollectionRead{{}, failed.failure};
    }
}

} // namespace questions
