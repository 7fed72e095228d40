#include "questions/file_types.h"

#include <QFileInfo>

namespace questions {

int typeEntryForFile(const QString& path, int chosenEntry)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(u"5tq", Qt::CaseInsensitive) == 0)
        return kBinaryTypeEntry;
    if (suffix.compare(u"mon", Qt::CaseInsensitive) == 0)
        return kTextTypeEntry;
    if (suffix.compare(u"csv", Qt::CaseInsensitive) == 0 || suffix.compare(u"tsv", Qt::CaseInsensitive) == 0)
        return kCsvTypeEntry;
    return chosenEntry;
}

} // namespace questions
