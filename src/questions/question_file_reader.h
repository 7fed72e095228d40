#pragma once
// Reading a question file whole, before anything of the window changes.
// Every route (the open dialog, a drop, the command line) and every reader
// (.5tq, .mon, CSV/TSV, Anki packages) goes through readQuestionFile: it reads and checks
// the file and gives either everything the window needs to show it, or why
// it could not be read. The window words the message; nothing here touches
// a widget.

#include "questions/anki_package.h"
#include "questions/csv_format.h"
#include "questions/mon_format.h"
#include "questions/tq_format.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace questions {

// The most questions a text file (.mon, CSV/TSV) may hold. The window
// keeps every question in its table, so time and memory grow with their
// number: a file of a million of the shortest questions (`a,b` rows, or
// `1,"a","b"` records) opens and appends in 1.9 s with a peak of 290 MiB,
// two million take 3.5 s and 550 MiB (bench_load, offscreen, on a 2-core
// machine under load). A million leaves room below 10 s and 1 GiB for
// longer questions, whose bytes kMaxMonFileBytes bounds. A .5tq file holds
// at most eight genres of 65,535.
inline constexpr qsizetype kMaxQuestionsPerFile = 1000000;

// The question-set list's data rows: the rows an Anki package's decks fill.
inline constexpr int kQuestionSetRows = 8;

// Why a file could not be read.
struct ReadFailure {
    enum class Kind {
        CannotOpen,       // missing, not a regular file, unreadable, held, too large
        UnreadableLine,   // a CSV/TSV line that cannot be read: `line`
        TooManyQuestions, // more than kMaxQuestionsPerFile
        NotAnkiPackage,   // not a zip archive, no Anki collection in it
        DamagedPackage,   // a damaged or encrypted entry or database
        NewerPackage,     // a package format newer than the reader knows
        PackageTooLarge,  // a collection larger than kMaxAnkiCollectionBytes
    };
    Kind kind = Kind::CannotOpen;
    QString path;
    int line = 0; // physical line, from 1
};

// A question file read and checked by one reader.
struct QuestionFile {
    int typeEntry = 0; // the reader's type entry (file_types.h)
    QString path;
    // .5tq: the file, held open from here on (its records are read at each
    // append); it becomes the window's binary file once it is shown.
    std::unique_ptr<TqFile> binary;
    // Text files: the bytes as read. .mon: where their lines lie (the line
    // store) and the header fields.
    QByteArray bytes;
    MonLines lines;
    MonHeader header;
    qsizetype records = 0; // .mon: the number of its records
    // CSV/TSV: the questions.
    CsvSet csv;
    // Anki package: read whole at the open; its rows append from here.
    std::shared_ptr<const AnkiPackage> anki;
};

// The texts a text file writes into its row of the question-set list and
// into the path field.
struct TextListRow {
    QString label;     // column 0
    QString setName;   // column 1
    QString count;     // column 2
    QString pathField; // the path field's text
};

// Reads `path` with the reader of `typeEntry`. A file that is not a regular
// file (a folder, a FIFO, a device, a socket) is refused without waiting;
// a text file is read with a bound (kMaxMonFileBytes) and never grows
// beyond it.
//
// `earlier`, when given, is what an earlier read of a CSV/TSV file gave:
// when it is the same file by the same reader and the bytes read now are
// exactly the bytes read then, its questions are taken over rather than
// read from the bytes again (a file is then parsed once for its open and
// its next append, and still read from disk at each).
//
// `limits` are the bounds a text file is read with; the window always reads
// with the ones below, a check of the edges with small ones.
struct ReadResult {
    std::optional<QuestionFile> file;
    ReadFailure failure; // when there is no file
};
struct ReadLimits {
    qsizetype questions = kMaxQuestionsPerFile;
    qint64 bytes = kMaxMonFileBytes;
};
ReadResult readQuestionFile(const QString& path, int typeEntry, const QuestionFile* earlier = nullptr,
                            const ReadLimits& limits = {});

// The list row and path field of a text file (.mon, CSV/TSV) that was read.
TextListRow textListRowOf(const QuestionFile& file);

} // namespace questions
