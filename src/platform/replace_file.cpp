#include "platform/replace_file.h"

#include "platform/errors.h"

#include <QFileInfo>
#include <QSaveFile>

namespace platform {

namespace {

// A file nobody may write to has been marked read-only on purpose; it is
// kept even when the program runs with the rights to override that.
bool markedReadOnly(const QString& path)
{
    const QFileInfo existing(path);
    // The mode bits alone: WriteUser would ask the system, which lets the
    // superuser write anything.
    constexpr auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return existing.isFile() && !(existing.permissions() & anyWrite);
}

} // namespace

void replaceFile(const QString& path, const std::function<QByteArray()>& content)
{
    if (markedReadOnly(path))
        raiseCannotCreate(path);
    // Leaving without commit() (also by an error from `content`) removes
    // the temporary file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        raiseCannotCreate(path);
    const QByteArray bytes = content();
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        raiseStreamWrite();
}

} // namespace platform
