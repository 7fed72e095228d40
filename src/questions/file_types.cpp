#include "questions/file_types.h"

#include <QFileInfo>

namespace questions {

namespace {

bool hasSuffix(const QString& path, QStringView suffix)
{
    return QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) == 0;
}

} // namespace

int typeEntryForFile(const QString& path, int chosenEntry)
{
    if (hasSuffix(path, u"5tq"))
        return kBinaryTypeEntry;
    if (hasSuffix(path, u"mon"))
        return kTextTypeEntry;
    if (hasSuffix(path, u"csv") || hasSuffix(path, u"tsv"))
        return kCsvTypeEntry;
    if (hasSuffix(path, u"apkg") || hasSuffix(path, u"colpkg"))
        return kAnkiTypeEntry;
    return chosenEntry;
}

int typeEntryForNamedFile(const QString& path)
{
    return typeEntryForFile(path, hasSuffix(path, u"txt") ? kCsvTypeEntry : 0);
}

} // namespace questions
