#include "support/testsupport.h"

#include "platform/codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace testsupport {

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write fixture %s", qPrintable(path));
    file.write(bytes);
    return QFileInfo(path).absoluteFilePath();
}

QByteArray cp932(const QString& text)
{
    QByteArray bytes;
    if (!platform::encodeCp932(text, &bytes))
        qFatal("fixture text has no code page 932 form");
    return bytes;
}

} // namespace testsupport
