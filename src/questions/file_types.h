#pragma once
// Which reader takes a question file: the binary reader for ".5tq", the text
// reader for ".mon", the CSV reader for ".csv" and ".tsv" (any letter case);
// any other name is read as the open dialog's chosen type entry says.

#include <QString>

namespace questions {

// The open dialog's type entries, counted from 1.
constexpr int kBinaryTypeEntry = 1;
constexpr int kTextTypeEntry = 2;
constexpr int kCsvTypeEntry = 3;

// The type entry a file is read under: its own format when its extension
// names one, otherwise `chosenEntry`.
int typeEntryForFile(const QString& path, int chosenEntry);

} // namespace questions
