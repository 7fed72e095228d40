// Loading questions into the window: one genre of 65,535 questions from a
// .5tq file, a .mon file of 100,000 records and a UTF-8 CSV of 100,000 rows,
// each opened with the open button (scripted dialog) and appended by the
// list's select-cell handler while the question table is shown on the
// loading page, selected as the user selects it (narrow layout). Each load
// is followed by a plain loop that reads and decodes the same bytes into
// strings (for the CSV also splits them by RFC 4180), and each such pair
// gives a ratio: the .5tq append alone, the text files' open and append
// together (both read the file), over the loop. Then, in a
// fresh process each, the peak memory with 500,000 questions in the table
// (eight .5tq genres, and one .mon file), and the time and peak memory of
// the largest text files the window accepts (the most questions a file may
// hold, of the shortest kind; the most bytes, of longer rows) and of files
// just beyond, which are refused; the files written beforehand by this one.
// Anki packages of 100,000 basic cards in 10 decks (schema 11 and schema
// 18), opened and every row appended, against a plain loop that inflates
// the collection, runs one SELECT of the cards' fields and passes each
// field through the same HTML-to-text step; their peak memory, and the
// largest packages accepted (a million cards).
//
//   bench_load                                timings, then the memory runs
//   bench_load --timings [5tq|mon|csv]... [--runs N]
//                                             the timings only (of those named)
//   bench_load anki [--runs N]                the Anki package figures only
//   bench_load --memory 5tq|mon|csv|anki <file>  one memory run (prints the peak RSS)
//
// Runs on the current Qt platform, or offscreen when there is none.

#include "app/Un_subri1.h"
#include "widgets/PageControl.h"
#include "widgets/StringGrid.h"
#include "text/codepage.h"
#include "platform/platform.h"
#include "questions/html_text.h"
#include "questions/mon_format.h"
#include "questions/question_file_reader.h"
#include "questions/tq_format.h"
#include "bench_platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <zip.h>
#include <zstd.h>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Runs (load and loop pairs) per measurement; --runs changes it (one run
// under a profiler).
int runs = 5;
constexpr int kGenreQuestions = 65535;
constexpr int kMonRecords = 100000;
constexpr int kMemoryQuestions = 500000;
constexpr double kAimMs = 1000.0;
// Each load is aimed at 1.5 times the plain loop that reads and decodes
// the same bytes, measured in pairs (the load, then the loop).
constexpr double kAimRatio = 1.5;
constexpr int kCsvRows = 100000;
constexpr double kAimMemoryMiB = 300.0;
constexpr double kAimLargestMiB = 1024.0;
constexpr double kAimLargestMs = 10000.0;

QByteArray cp932(const QString& text)
{
    QByteArray bytes;
    platform::encodeCp932(text, &bytes);
    return bytes;
}

// Question n: a Japanese sentence of typical length, and a short answer.
QString questionText(int n)
{
    return QStringLiteral("第%1問：次の都道府県の県庁所在地はどこですか。北海道・東北地方").arg(n);
}
QString answerText(int n)
{
    return QStringLiteral("答え%1番").arg(n);
}

// A field stored as the format does: top bit flipped, padded with spaces.
QByteArray storedField(const QByteArray& text, qsizetype size)
{
    QByteArray field = text.left(size);
    for (char& c : field)
        c = char(quint8(c) ^ 0x80);
    return field + QByteArray(size - field.size(), 0x20);
}

// Genres of the given counts, questions numbered across the file.
QByteArray tqBytes(const QList<int>& counts)
{
    QByteArray bytes;
    int total = 0;
    for (int g = 0; g < 8; ++g) {
        QByteArray record(256, '\0');
        const int count = g < counts.size() ? counts[g] : 0;
        record.replace(0, 16, (cp932(QStringLiteral("ジャンル")) + QByteArray::number(g + 1)).leftJustified(16, ' '));
        record[18] = char(count & 0xFF);
        record[19] = char(count >> 8);
        bytes += record;
        total += count;
    }
    bytes.reserve(bytes.size() + qsizetype(total) * 256);
    for (int n = 1; n <= total; ++n) {
        QByteArray record(256, '\0');
        record.replace(0, 116, storedField(cp932(questionText(n)), 116));
        record.replace(116, 28, storedField(cp932(answerText(n)), 28));
        bytes += record;
    }
    return bytes;
}

QByteArray monBytes(int records)
{
    QByteArray bytes = cp932(QStringLiteral("%1,\"x\",\"ベンチ\"\r\n0,\"y\",\"大量\"\r\n").arg(records));
    bytes.reserve(qsizetype(records) * 110);
    for (int n = 1; n <= records; ++n) {
        // Every tenth question spans two lines.
        const QString question = n % 10 ? questionText(n) : questionText(n) + QStringLiteral("\r\n二行目");
        bytes += cp932(QStringLiteral("%1,\"%2\",\"%3\"\r\n").arg(n).arg(answerText(n), question));
    }
    return bytes;
}

// A field as Python's csv module writes it: quoted when it holds the
// separator, a quote or a line break, with quotes doubled.
QByteArray csvField(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n') && !bytes.contains('\r'))
        return bytes;
    return '"' + bytes.replace("\"", "\"\"") + '"';
}

// A UTF-8 CSV as Python's csv module writes it (CR LF rows): every tenth
// question holds a comma and a line break, so it is quoted.
QByteArray csvBytes(int rows)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(rows) * 130);
    for (int n = 1; n <= rows; ++n) {
        const QString question = n % 10 ? questionText(n) : questionText(n) + QStringLiteral(", 二行目\n続き");
        bytes += csvField(question) + ',' + csvField(answerText(n)) + "\r\n";
    }
    return bytes;
}

QString writeTo(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("bench_load: cannot write %s", qPrintable(path));
    return path;
}

// What the window does at least: read every record once and decode it.
std::vector<QString> plainTqLoop(const QString& path, int first, int last)
{
    std::vector<QString> cells;
    cells.reserve(std::size_t(last - first + 1) * 2);
    QFile file(path);
    file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    for (int n = first; n <= last; ++n) {
        file.seek(questions::tqQuestionOffset(n));
        const QByteArray record = file.read(144);
        cells.push_back(platform::decodeCp932(questions::decodeTqText(QByteArrayView(record).first(116))));
        cells.push_back(platform::decodeCp932(questions::decodeTqText(QByteArrayView(record).sliced(116))));
    }
    return cells;
}

std::vector<QString> plainMonLoop(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    std::vector<QString> cells;
    for (const questions::MonRecord& record : questions::assembleRecords(questions::splitLines(bytes))) {
        cells.push_back(platform::decodeCp932(record.question));
        cells.push_back(platform::decodeCp932(record.answer));
    }
    return cells;
}

// Read, decode and split by RFC 4180 in a plain loop: the least any CSV
// reader does. Fields are cut from the text as slices, unquoted ones
// without a copy of each character.
std::vector<QString> plainCsvLoop(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(file.readAll());
    std::vector<QString> cells;
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        QString field;
        if (text[i] == u'"') {
            for (++i; i < size; ++i) {
                if (text[i] != u'"') {
                    const qsizetype start = i;
                    while (i < size && text[i] != u'"')
                        ++i;
                    field += QStringView(text).sliced(start, i - start);
                    --i;
                } else if (i + 1 < size && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        } else {
            const qsizetype start = i;
            while (i < size && text[i] != u',' && text[i] != u'\r' && text[i] != u'\n')
                ++i;
            field = text.sliced(start, i - start);
        }
        cells.push_back(std::move(field));
        if (i < size && text[i] == u',') {
            ++i;
            continue;
        }
        if (i < size && text[i] == u'\r')
            ++i;
        if (i < size && text[i] == u'\n')
            ++i;
    }
    return cells;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds of wall-clock time and of processor time (this process, all
// its threads). Processor time hardly changes with what else the machine
// runs, so its ratios hold up on a machine shared with other work.
struct Duration {
    double wallMs = 0;
    double cpuMs = 0;
    Duration operator+(const Duration& other) const { return {wallMs + other.wallMs, cpuMs + other.cpuMs}; }
};

class Stopwatch {
public:
    Stopwatch() : cpuStartMs_(cpuMs()) { wall_.start(); }
    Duration elapsed() const { return {wall_.nsecsElapsed() / 1e6, cpuMs() - cpuStartMs_}; }

private:
    static double cpuMs()
    {
        timespec time{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
        return double(time.tv_sec) * 1e3 + double(time.tv_nsec) / 1e6;
    }
    QElapsedTimer wall_;
    double cpuStartMs_;
};

// A window on its loading page, shown and painted.
struct ShownWindow {
    TForm1 form;
    ShownWindow()
    {
        form.show();
        form.PageControl1->runUserInput([this] { form.PageControl1->setCurrentWidget(form.TabSheet2); });
        QApplication::processEvents();
    }
    // The open button's handler.
    Duration open(const QString& path, int filterIndex)
    {
        platform::scriptOpenDialog(path, filterIndex);
        const Stopwatch stopwatch;
        form.Button3Click();
        const Duration opened = stopwatch.elapsed();
        QApplication::processEvents();
        return opened;
    }
    // The select-cell handler; then the milliseconds from the selection
    // until the grown table is painted.
    Duration append(int row, double* paintedMs)
    {
        const Stopwatch stopwatch;
        form.StringGrid1SelectCell(1, row);
        const Duration appended = stopwatch.elapsed();
        QApplication::processEvents();
        form.StringGrid2->viewport()->repaint();
        *paintedMs = stopwatch.elapsed().wallMs;
        return appended;
    }
    // Average milliseconds per page step down the table, painted each time.
    double scrollStepMs()
    {
        QScrollBar* bar = form.StringGrid2->verticalScrollBar();
        QElapsedTimer timer;
        timer.start();
        constexpr int kSteps = 50;
        for (int step = 1; step <= kSteps; ++step) {
            bar->setValue(bar->maximum() / kSteps * step);
            form.StringGrid2->viewport()->repaint();
        }
        return timer.nsecsElapsed() / 1e6 / kSteps;
    }
};

enum class Compared { Append, OpenAndAppend };

// The median, the lowest and the highest of some figures.
struct Spread {
    double median;
    double lowest;
    double highest;
};

Spread spreadOf(const std::vector<double>& values)
{
    return {median(values), *std::min_element(values.begin(), values.end()),
            *std::max_element(values.begin(), values.end())};
}

struct Figures {
    double openMs;
    double appendMs;
    double paintedMs;
    double plainMs;
    double scrollMs;
    // Each pair's load (the append, or the open and the append) over its
    // plain loop, in wall-clock time and in processor time.
    Spread ratio;
    Spread cpuRatio;
};

// Each run loads in a fresh window, then runs the plain loop: a pair.
template <typename Load, typename Plain>
Figures measure(Compared compared, Load load, Plain plain)
{
    std::vector<double> opened, appended, painted, plains, scrolls, ratios, cpuRatios;
    for (int run = 0; run < runs; ++run) {
        ShownWindow window;
        double paintedMs = 0;
        Duration openTime;
        const Duration appendTime = load(window, &openTime, &paintedMs);
        opened.push_back(openTime.wallMs);
        appended.push_back(appendTime.wallMs);
        painted.push_back(paintedMs);
        scrolls.push_back(window.scrollStepMs());
        const Stopwatch stopwatch;
        const auto cells = plain();
        const Duration plainTime = stopwatch.elapsed();
        plains.push_back(plainTime.wallMs);
        if (cells.empty())
            qFatal("bench_load: the plain loop read nothing");
        const Duration loadTime = compared == Compared::OpenAndAppend ? openTime + appendTime : appendTime;
        ratios.push_back(loadTime.wallMs / plainTime.wallMs);
        cpuRatios.push_back(loadTime.cpuMs / plainTime.cpuMs);
    }
    return {median(opened), median(appended), median(painted), median(plains), median(scrolls),
            spreadOf(ratios), spreadOf(cpuRatios)};
}

struct Ratio {
    const char* what;
    Figures figures;
};

const char* metOrNot(const Spread& ratio)
{
    return ratio.median <= kAimRatio ? "met" : "NOT met";
}

void report(const char* what, const Figures& f, Compared compared, std::vector<Ratio>* ratios)
{
    std::printf("%s\n", what);
    std::printf("  open (open button handler):   median %.0f ms\n", f.openMs);
    std::printf("  append (select-cell handler): median %.0f ms; until painted %.0f ms; aim <= %.0f ms: %s\n",
                f.appendMs, f.paintedMs, kAimMs, f.paintedMs <= kAimMs ? "met" : "NOT met");
    std::printf("  plain read-and-decode loop:   median %.0f ms\n", f.plainMs);
    std::printf("  %s / loop, per pair: median %.2f (%.2f-%.2f); processor time %.2f (%.2f-%.2f); aim <= %.1fx: %s\n",
                compared == Compared::OpenAndAppend ? "(open + append)" : "append", f.ratio.median, f.ratio.lowest,
                f.ratio.highest, f.cpuRatio.median, f.cpuRatio.lowest, f.cpuRatio.highest, kAimRatio,
                metOrNot(f.ratio));
    std::printf("  scrolling afterwards: %.1f ms per painted page step\n", f.scrollMs);
    ratios->push_back({what, f});
}

// The loads side by side, each against its plain loop of the same run.
void reportRatios(const std::vector<Ratio>& ratios)
{
    std::printf("load / plain read-and-decode loop, median of %d pairs (lowest-highest), aim <= %.1fx\n", runs,
                kAimRatio);
    std::printf("  wall clock          processor time\n");
    for (const Ratio& ratio : ratios) {
        const Spread& wall = ratio.figures.ratio;
        const Spread& cpu = ratio.figures.cpuRatio;
        std::printf("  %5.2f (%.2f-%.2f)  %5.2f (%.2f-%.2f)  %s: %s\n", wall.median, wall.lowest, wall.highest,
                    cpu.median, cpu.lowest, cpu.highest, metOrNot(wall), ratio.what);
    }
}

// The process's peak resident size in KiB (VmHWM). Unlike the maximum that
// getrusage() reports, it starts afresh at exec, so it does not include what
// the parent held when it started this process.
long peakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    static const QRegularExpression line(QStringLiteral("VmHWM:\\s*(\\d+) kB"));
    return line.match(QString::fromLatin1(status.readAll())).captured(1).toLong();
}

// One memory run: the file opened and every question appended (all eight
// genres of a .5tq, the one row of a text file), the table painted; then
// the questions in the table, the milliseconds all this took, the peak
// resident size and the number of error boxes.
int memoryRun(const QString& kind, const QString& path)
{
    ShownWindow window;
    int errors = 0;
    platform::setErrorSink([&errors](const QString&, const QString&) { ++errors; });
    QElapsedTimer timer;
    timer.start();
    const int entry = kind == QLatin1String("5tq")    ? 1
                      : kind == QLatin1String("mon")  ? 2
                      : kind == QLatin1String("anki") ? 4
                                                      : 3;
    platform::scriptOpenDialog(path, entry);
    window.form.guard.run([&] { window.form.Button3Click(); });
    for (int row = 1; row <= (entry == 1 || entry == 4 ? 8 : 1); ++row)
        window.form.guard.run([&] { window.form.StringGrid1SelectCell(1, row); });
    QApplication::processEvents();
    window.form.StringGrid2->viewport()->repaint();
    std::printf("questions=%d ms=%lld peak-rss-kb=%ld errors=%d\n", window.form.StringGrid2->rowCount() - 2,
                timer.elapsed(), peakRssKb(), errors);
    return 0;
}

// Runs one memory run in a fresh process and prints its figures against
// the aims (peak memory, and the time to open and append when given).
void reportMemory(const QString& kind, const QString& path, const char* what, double aimMiB, double aimMs = 0)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), kind, path});
    process.waitForFinished(-1);
    static const QRegularExpression line(
        QStringLiteral("questions=(\\d+) ms=(\\d+) peak-rss-kb=([1-9]\\d*) errors=(\\d+)"));
    const auto match = line.match(QString::fromLocal8Bit(process.readAllStandardOutput()));
    if (!match.hasMatch()) {
        std::printf("%s: no figure (run failed)\n", what);
        return;
    }
    const double mib = match.captured(3).toDouble() / 1024.0;
    const double ms = match.captured(2).toDouble();
    std::printf("%s: %s questions in the table, %s error box(es); peak memory (peak RSS) %.1f MiB; aim < %.0f MiB: %s",
                what, qPrintable(match.captured(1)), qPrintable(match.captured(4)), mib, aimMiB,
                mib < aimMiB ? "met" : "NOT met");
    if (aimMs > 0)
        std::printf("; open and append %.0f ms; aim < %.0f ms: %s", ms, aimMs, ms < aimMs ? "met" : "NOT met");
    std::printf("\n");
}


// ---- Anki packages ---------------------------------------------------------

constexpr int kAnkiCards = 100000;
constexpr int kAnkiDecks = 10;

// One SQL statement run on `db`, or the bench stops.
void sqlOrDie(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK)
        qFatal("bench_load: %s", error);
}

const char* const kAnkiCardTables = R"(
CREATE TABLE col (id integer PRIMARY KEY, crt integer, mod integer, scm integer, ver integer,
  dty integer, usn integer, ls integer, conf text, models text, decks text, dconf text, tags text);
CREATE TABLE notes (id integer PRIMARY KEY, guid text, mid integer, mod integer, usn integer,
  tags text, flds text, sfld integer, csum integer, flags integer, data text);
CREATE TABLE cards (id integer PRIMARY KEY, nid integer, did integer, ord integer, mod integer,
  usn integer, type integer, queue integer, due integer, ivl integer, factor integer, reps integer,
  lapses integer, left integer, odue integer, odid integer, flags integer, data text);
CREATE INDEX ix_cards_nid ON cards (nid);)";

// A protocol-buffer string field (lengths below 16 KiB).
QByteArray protoString(int field, const QByteArray& text)
{
    QByteArray bytes(1, char(field << 3 | 2));
    qsizetype length = text.size();
    while (length >= 128) {
        bytes += char((length & 127) | 128);
        length >>= 7;
    }
    return bytes + char(length) + text;
}

// The collection database of `cards` basic cards (the question of
// questionText with a little HTML, the answer of answerText), spread over
// kAnkiDecks top-level decks in turn; schema 18 (tables, protocol buffers)
// or schema 11 (JSON in `col`).
QByteArray ankiCollection(int cards, bool schema18)
{
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("c.db")).toUtf8();
    sqlite3* db = nullptr;
    sqlite3_open(path.constData(), &db);
    sqlOrDie(db, kAnkiCardTables);
    const QString front = QStringLiteral("{{Front}}");
    const QString back = QStringLiteral("{{FrontSide}}\n\n<hr id=answer>\n\n{{Back}}");
    QString deckNames;
    if (schema18) {
        sqlOrDie(db, "CREATE TABLE notetypes (id integer PRIMARY KEY, name text, mtime_secs integer, usn integer, config blob);"
                     "CREATE TABLE fields (ntid integer, ord integer, name text, config blob, PRIMARY KEY (ntid, ord)) WITHOUT ROWID;"
                     "CREATE TABLE templates (ntid integer, ord integer, name text, mtime_secs integer, usn integer,"
                     "  config blob, PRIMARY KEY (ntid, ord)) WITHOUT ROWID;"
                     "CREATE TABLE decks (id integer PRIMARY KEY, name text, mtime_secs integer, usn integer, common blob, kind blob);"
                     "INSERT INTO col VALUES (1, 0, 0, 0, 18, 0, 0, 0, '', '', '', '', '');"
                     "INSERT INTO notetypes VALUES (1, 'Basic', 0, 0, X'');"
                     "INSERT INTO fields VALUES (1, 0, 'Front', X''), (1, 1, 'Back', X'');");
        sqlite3_stmt* tmpl = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO templates VALUES (1, 0, 'Card 1', 0, 0, ?1)", -1, &tmpl, nullptr);
        const QByteArray config = protoString(1, front.toUtf8()) + protoString(2, back.toUtf8());
        sqlite3_bind_blob(tmpl, 1, config.constData(), int(config.size()), SQLITE_TRANSIENT);
        sqlite3_step(tmpl);
        sqlite3_finalize(tmpl);
        for (int deck = 1; deck <= kAnkiDecks; ++deck)
            sqlOrDie(db, QStringLiteral("INSERT INTO decks VALUES (%1, 'デッキ%2', 0, 0, X'', X'');")
                             .arg(100 + deck).arg(deck, 2, 10, QChar(u'0')).toUtf8().constData());
    } else {
        const QString models = QStringLiteral(
            R"({"1":{"id":1,"name":"Basic","type":0,"flds":[{"name":"Front","ord":0},{"name":"Back","ord":1}],)"
            R"("tmpls":[{"name":"Card 1","ord":0,"qfmt":"{{Front}}","afmt":"{{FrontSide}}\n\n<hr id=answer>\n\n{{Back}}"}]}})");
        QStringList decks;
        for (int deck = 1; deck <= kAnkiDecks; ++deck)
            decks << QStringLiteral(R"("%1":{"id":%1,"name":"デッキ%2"})").arg(100 + deck).arg(deck, 2, 10, QChar(u'0'));
        sqlOrDie(db, QStringLiteral("INSERT INTO col VALUES (1, 0, 0, 0, 11, 0, 0, 0, '{}', '%1', '{%2}', '{}', '{}');")
                         .arg(models, decks.join(u','))
                         .toUtf8()
                         .constData());
    }
    sqlOrDie(db, "BEGIN");
    sqlite3_stmt* note = nullptr;
    sqlite3_stmt* card = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO notes VALUES (?1, '', 1, 0, 0, '', ?2, '', 0, 0, '')", -1, &note, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO cards VALUES (?1, ?1, ?2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, '')", -1,
                       &card, nullptr);
    for (int n = 1; n <= cards; ++n) {
        const QByteArray fields =
            (QStringLiteral("<b>") + questionText(n) + QStringLiteral("</b>&nbsp;") + QChar(0x1F) + answerText(n)
             + QStringLiteral("<br>"))
                .toUtf8();
        sqlite3_bind_int(note, 1, n);
        sqlite3_bind_text(note, 2, fields.constData(), int(fields.size()), SQLITE_TRANSIENT);
        sqlite3_step(note);
        sqlite3_reset(note);
        sqlite3_bind_int(card, 1, n);
        sqlite3_bind_int(card, 2, 100 + 1 + n % kAnkiDecks);
        sqlite3_step(card);
        sqlite3_reset(card);
    }
    sqlite3_finalize(note);
    sqlite3_finalize(card);
    sqlOrDie(db, "COMMIT");
    sqlite3_close(db);
    QFile file(QString::fromUtf8(path));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// A package of `cards` cards: collection.anki21b (zstd) with "meta" naming
// it, or collection.anki2.
QString writeAnkiPackage(const QString& path, int cards, bool schema18)
{
    QByteArray collection = ankiCollection(cards, schema18);
    if (schema18) {
        QByteArray compressed(qsizetype(ZSTD_compressBound(size_t(collection.size()))), Qt::Uninitialized);
        compressed.resize(qsizetype(ZSTD_compress(compressed.data(), size_t(compressed.size()), collection.constData(),
                                                  size_t(collection.size()), 3)));
        collection = compressed;
    }
    QFile::remove(path);
    zip_t* archive = zip_open(path.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    static const char meta[] = {0x08, 0x03};
    const auto add = [archive](const char* name, const void* data, qsizetype size) {
        zip_source_t* source = zip_source_buffer(archive, data, zip_uint64_t(size), 0);
        zip_file_add(archive, name, source, ZIP_FL_OVERWRITE);
    };
    if (schema18) {
        add("meta", meta, sizeof meta);
        add("collection.anki21b", collection.constData(), collection.size());
    } else {
        add("collection.anki2", collection.constData(), collection.size());
    }
    if (zip_close(archive) != 0)
        qFatal("bench_load: cannot write %s", qPrintable(path));
    return path;
}

// The least any reader of the package does: the collection entry
// inflated (and zstd-decompressed), opened in memory, one SELECT of the
// cards' fields in note order, each field through the same HTML-to-text pass.
std::vector<QString> plainAnkiLoop(const QString& path, bool schema18)
{
    zip_t* archive = zip_open(path.toUtf8().constData(), ZIP_RDONLY, nullptr);
    const char* name = schema18 ? "collection.anki21b" : "collection.anki2";
    zip_stat_t stat;
    zip_stat(archive, name, 0, &stat);
    QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
    zip_file_t* file = zip_fopen(archive, name, 0);
    zip_fread(file, bytes.data(), stat.size);
    zip_fclose(file);
    zip_discard(archive);
    if (schema18) {
        QByteArray out(qsizetype(ZSTD_getFrameContentSize(bytes.constData(), size_t(bytes.size()))), Qt::Uninitialized);
        ZSTD_decompress(out.data(), size_t(out.size()), bytes.constData(), size_t(bytes.size()));
        bytes = out;
    }
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_deserialize(db, "main", reinterpret_cast<unsigned char*>(bytes.data()), bytes.size(), bytes.size(),
                        SQLITE_DESERIALIZE_READONLY);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT n.flds FROM cards AS c JOIN notes AS n ON n.id = c.nid ORDER BY c.nid, c.ord", -1,
                       &select, nullptr);
    std::vector<QString> cells;
    while (sqlite3_step(select) == SQLITE_ROW) {
        const QString fields = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(select, 0)),
                                                 sqlite3_column_bytes(select, 0));
        for (const QStringView field : QStringView(fields).split(QChar(0x1F)))
            cells.push_back(questions::htmlToText(field));
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    return cells;
}

// The Anki figures: 100,000 cards in both collection formats against the
// plain loop, their peak memory, and the largest packages accepted.
void reportAnkiPackages(const QTemporaryDir& dir)
{
    std::vector<Ratio> ratios;
    for (const bool schema18 : {false, true}) {
        const QString package = writeAnkiPackage(dir.filePath(QStringLiteral("b.apkg")), kAnkiCards, schema18);
        const auto load = [&](ShownWindow& w, Duration* opened, double* painted) {
            *opened = w.open(package, 4);
            Duration appended;
            *painted = 0;
            for (int row = 1; row <= 8; ++row) {
                double rowPainted = 0;
                appended = appended + w.append(row, &rowPainted);
                *painted += rowPainted;
            }
            return appended;
        };
        const auto plain = [&] { return plainAnkiLoop(package, schema18); };
        report(schema18 ? "Anki package of 100,000 basic cards in 10 decks, collection.anki21b (schema 18, zstd), every row"
                        : "Anki package of 100,000 basic cards in 10 decks, collection.anki2 (schema 11), every row",
               measure(Compared::OpenAndAppend, load, plain), Compared::OpenAndAppend, &ratios);
        reportMemory(QStringLiteral("anki"), package,
                     schema18 ? "Anki package of 100,000 cards (anki21b), every row appended"
                              : "Anki package of 100,000 cards (anki2), every row appended",
                     kAimMemoryMiB);
    }
    reportRatios(ratios);

    const auto most = qsizetype(questions::kMaxQuestionsPerFile);
    for (const bool schema18 : {false, true}) {
        const QString edge = writeAnkiPackage(dir.filePath(QStringLiteral("edge.apkg")), int(most), schema18);
        reportMemory(QStringLiteral("anki"), edge,
                     schema18 ? "Anki package of the most cards accepted (anki21b)"
                              : "Anki package of the most cards accepted (anki2)",
                     kAimLargestMiB, kAimLargestMs);
        QFile::remove(edge);
    }
}

} // namespace

int main(int argc, char** argv)
{
    chooseBenchPlatform();
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() == 4 && arguments[1] == QLatin1String("--memory"))
        return memoryRun(arguments[2], arguments[3]);
    const bool timingsOnly = arguments.size() > 1 && arguments[1] == QLatin1String("--timings");
    const qsizetype runsAt = arguments.indexOf(QLatin1String("--runs"));
    if (runsAt > 0 && runsAt + 1 < arguments.size())
        runs = std::max(1, arguments[runsAt + 1].toInt());
    const auto timed = [&](const char* kind) {
        const bool named = std::any_of(arguments.begin(), arguments.end(), [](const QString& argument) {
            return argument == u"5tq" || argument == u"mon" || argument == u"csv";
        });
        return !timingsOnly || !named || arguments.contains(QLatin1String(kind));
    };

    QTemporaryDir dir;
    if (arguments.size() >= 2 && arguments[1] == QLatin1String("anki")) {
        reportAnkiPackages(dir);
        return 0;
    }
    // Genre 2 holds the 65,535 questions, after a genre of 100.
    const QString tq = writeTo(dir.filePath(QStringLiteral("b.5tq")), tqBytes({100, kGenreQuestions}));
    const QString mon = writeTo(dir.filePath(QStringLiteral("b.mon")), monBytes(kMonRecords));
    const QString csv = writeTo(dir.filePath(QStringLiteral("b.csv")), csvBytes(kCsvRows));
    {
        ShownWindow shown;
        std::printf("loading questions, platform %s, median of %d runs, loading page %d px wide\n",
                    qPrintable(QApplication::platformName()), runs, shown.form.PageControl1->width());
    }

    std::vector<Ratio> ratios;
    if (timed("5tq")) {
        const auto load = [&](ShownWindow& w, Duration* opened, double* painted) {
            *opened = w.open(tq, 1);
            return w.append(2, painted);
        };
        const auto plain = [&] { return plainTqLoop(tq, 101, 100 + kGenreQuestions); };
        report("one .5tq genre of 65,535 questions", measure(Compared::Append, load, plain), Compared::Append,
               &ratios);
    }
    if (timed("mon")) {
        const auto load = [&](ShownWindow& w, Duration* opened, double* painted) {
            *opened = w.open(mon, 2);
            return w.append(1, painted);
        };
        const auto plain = [&] { return plainMonLoop(mon); };
        report(".mon file of 100,000 records", measure(Compared::OpenAndAppend, load, plain),
               Compared::OpenAndAppend, &ratios);
    }
    if (timed("csv")) {
        const auto load = [&](ShownWindow& w, Duration* opened, double* painted) {
            *opened = w.open(csv, 3);
            return w.append(1, painted);
        };
        const auto plain = [&] { return plainCsvLoop(csv); };
        report("UTF-8 CSV of 100,000 rows (every tenth quoted, with a comma and a line break)",
               measure(Compared::OpenAndAppend, load, plain), Compared::OpenAndAppend, &ratios);
    }
    if (timed("mon")) {
        // The file changes on disk between open and append: the line store
        // is loaded again and its text box given the new text.
        const QByteArray changed = monBytes(kMonRecords).replace("\"x\"", "\"z\"");
        const auto load = [&](ShownWindow& w, Duration* opened, double* painted) {
            *opened = w.open(mon, 2);
            writeTo(mon, changed);
            const Duration appended = w.append(1, painted);
            writeTo(mon, monBytes(kMonRecords));
            return appended;
        };
        const auto plain = [&] { return plainMonLoop(mon); };
        report(".mon file of 100,000 records, rewritten between open and append",
               measure(Compared::OpenAndAppend, load, plain), Compared::OpenAndAppend, &ratios);
    }
    reportRatios(ratios);
    if (timingsOnly)
        return 0;

    const QString memoryTq = writeTo(dir.filePath(QStringLiteral("m.5tq")),
                                     tqBytes(QList<int>(8, kMemoryQuestions / 8)));
    reportMemory(QStringLiteral("5tq"), memoryTq, "eight .5tq genres of 62,500", kAimMemoryMiB);
    QFile::remove(memoryTq);
    const QString memoryMon = writeTo(dir.filePath(QStringLiteral("m.mon")), monBytes(kMemoryQuestions));
    reportMemory(QStringLiteral("mon"), memoryMon, "one .mon file of 500,000 records", kAimMemoryMiB);
    QFile::remove(memoryMon);

    // The largest files accepted, and files just beyond, which are refused
    // at open with the error box.
    const auto most = qsizetype(questions::kMaxQuestionsPerFile);
    const auto shortestMon = [](qsizetype records) {
        return QByteArray("0,\"x\",\"y\"\r\n0,\"y\",\"m\"\r\n") + QByteArray("1,\"a\",\"b\"\r\n").repeated(records);
    };

    // Each file is made only when its turn comes.
    const QList<std::tuple<const char*, std::function<QByteArray()>, const char*>> largest{
        {"csv", [&] { return QByteArray("a,b\r\n").repeated(most); }, "CSV of the most questions accepted (a,b rows)"},
        {"mon", [&] { return shortestMon(most); }, ".mon of the most questions accepted (1,\"a\",\"b\" records)"},
        {"csv", [&] { return (QByteArray(100, 'x') + ',' + QByteArray(25, 'y') + "\r\n").repeated(most - 10); },
         "CSV of the most bytes accepted (128-byte rows)"},
        {"csv", [&] { return QByteArray("a,b\r\n").repeated(most + 1); }, "CSV of one question too many (refused)"},
        {"csv", [] { return QByteArray("a,b\n").repeated(questions::kMaxMonFileBytes / 4); },
         "CSV at the size limit, a,b rows (refused)"},
        {"mon", [&] { return shortestMon((questions::kMaxMonFileBytes - 24) / 11); },
         ".mon at the size limit, shortest records (refused)"},
    };
    for (const auto& [kind, bytesOf, what] : largest) {
        const QString edge = writeTo(dir.filePath(QStringLiteral("edge.") + QLatin1String(kind)), bytesOf());
        reportMemory(QString::fromLatin1(kind), edge, what, kAimLargestMiB, kAimLargestMs);
        QFile::remove(edge);
    }
    reportAnkiPackages(dir);
    return 0;
}
