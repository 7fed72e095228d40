#include "questions/question_file_bytes.h"

#include "platform/errors.h"
#include "questions/mon_format.h"
#include "questions/tq_format.h"

#include <QFile>

namespace questions {

QByteArray readQuestionFileBytes(const QString& path)
{
    QFile file(path);
    // The binary file held open allows no other open, also not as text.
    if (path.isEmpty() || TqFile::isHeld(path) || !file.open(QIODevice::ReadOnly) || file.size() > kMaxMonFileBytes)
        platform::raiseCannotOpen(path);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        platform::raiseCannotOpen(path);
    return bytes;
}

} // namespace questions
