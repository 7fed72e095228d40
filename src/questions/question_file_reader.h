#pragma once
// Reading a question file whole, before anything of the window changes.
// Every route (the open dialog, a drop, the command line) and every reader
// (.5tq, .mon, CSV/TSV) goes through readQuestionFile: it reads and checks
// the file and gives either everything the window needs to show it, or why
// it could not be read. The window words the message; nothing here touches
// a widget.

#include "questions/csv_format.h"
#include "questions/mon_format.h"
#include "questions/tq_format.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace questions {

// Why a file could not be read.
struct ReadFailure {
    enum class Kind {
        CannotOpen,     // missing, not a regular file, unreadable, held, too large
        UnreadableLine, // a CSV/TSV line that cannot be read: `line`
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
    // .mon: the bytes as read, where their lines lie (the line store), and
    // the header fields.
    QByteArray bytes;
    MonLines lines;
    MonHeader header;
    // CSV/TSV: the questions.
    CsvSet csv;
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
struct ReadResult {
    std::optional<QuestionFile> file;
    ReadFailure failure; // when there is no file
};
ReadResult readQuestionFile(const QString& path, int typeEntry);

// The list row and path field of a text file (.mon, CSV/TSV) that was read.
TextListRow textListRowOf(const QuestionFile& file);

} // namespace questions
