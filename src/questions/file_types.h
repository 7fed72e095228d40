#pragma once
// Which reader takes a question file. The open dialog's type entries name
// the readers: the binary reader for ".5tq", the text reader for ".mon", the
// CSV reader for ".csv", ".tsv" and ".txt", the Anki package reader for
// ".apkg" and ".colpkg" (any letter case).

#include <QString>

namespace questions {

// The open dialog's type entries, counted from 1.
constexpr int kBinaryTypeEntry = 1;
constexpr int kTextTypeEntry = 2;
constexpr int kCsvTypeEntry = 3;
constexpr int kAnkiTypeEntry = 4;

// A file chosen in the open dialog: its own format when its extension
// names one (.5tq, .mon, .csv, .tsv, .apkg, .colpkg), otherwise the entry it was chosen
// under, `chosenEntry`.
int typeEntryForFile(const QString& path, int chosenEntry);

// A file named outside the dialog (dropped, on the command line), where no
// entry was chosen: its extension alone decides, ".txt" too (as the CSV・TSV
// entry lists it); 0 for any other name, which no reader takes.
int typeEntryForNamedFile(const QString& path);

} // namespace questions
