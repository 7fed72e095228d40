#pragma once
// The whole content of a text question file (.mon, CSV, TSV), read at once.

#include <QByteArray>
#include <QString>

namespace questions {

// The file's bytes. Raises "ﾌｧｲﾙ %s は開けません" with the path when the
// file cannot be opened or read, or is larger than a question file may be
// (kMaxMonFileBytes).
QByteArray readQuestionFileBytes(const QString& path);

} // namespace questions
