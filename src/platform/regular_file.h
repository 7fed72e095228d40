#pragma once
// Files named by the user (chosen, dropped, on the command line, or a fixed
// name the user can replace with anything) are read only when they are
// regular files: a FIFO, a socket, a device or a folder is refused at once,
// never waited on (a FIFO blocks an ordinary open until someone writes to
// it) and never read without end (a device reports size 0 and may never end).

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// A descriptor open for reading on `path` when it names a regular file
// (after following symbolic links); -1 otherwise or when it cannot be
// opened. The open itself never blocks. The caller owns the descriptor.
int openRegularFile(const QString& path);

// The whole content of the regular file at `path`, read with a bound: at
// most `maxBytes` bytes are taken, and a file that holds more (or that is
// not a regular file, cannot be opened, or fails to read) gives nothing.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

} // namespace platform
