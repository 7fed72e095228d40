#pragma once
// Replacing a file's whole content so that a failure never leaves a half
// written file: the bytes go to a temporary file beside the target, which is
// flushed and then renamed over it.

#include <QByteArray>
#include <QString>
#include <functional>

namespace platform {

// Writes the bytes `content` returns as the file at path. `content` runs
// once the temporary file is open; an error it raises ends the save with
// nothing written. A failed save leaves the earlier file as it was and no
// temporary file behind.
// Raises "ﾌｧｲﾙ %s を作成できません" with the path when the file cannot be
// created there (missing or unwritable folder, a folder of that name, an
// existing file marked read-only), and "ｽﾄﾘｰﾑへの書き込みに失敗しました"
// when the data cannot be written.
void replaceFile(const QString& path, const std::function<QByteArray()>& content);

} // namespace platform
