#include "platform/regular_file.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

int openRegularFile(const QString& path)
{
    if (path.isEmpty())
        return -1;
    // Without O_NONBLOCK the open of a FIFO waits for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return -1;
    }
    // A regular file reads the same either way; reads wait as usual from here.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes)
{
    const int fd = openRegularFile(path);
    if (fd < 0)
        return std::nullopt;
    // The size only sizes the buffer; the reads decide. One byte beyond the
    // bound tells a file that is too large, whatever size it reported.
    struct stat status {};
    const qint64 reported = ::fstat(fd, &status) == 0 ? qint64(status.st_size) : 0;
    if (reported > maxBytes) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray bytes;
    bytes.resize(qsizetype(reported) + 1);
    qint64 filled = 0;
    bool failed = false;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > maxBytes)
                break;
            bytes.resize(qsizetype(std::min<qint64>(maxBytes + 1, std::max<qint64>(filled * 2, 4096))));
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            failed = true;
            break;
        }
        if (got == 0)
            break;
        filled += got;
    }
    ::close(fd);
    if (failed || filled > maxBytes)
        return std::nullopt;
    bytes.truncate(qsizetype(filled));
    return bytes;
}

} // namespace platform
