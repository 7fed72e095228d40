#include "explanation/document_files.h"

#include "platform/codepage.h"
#include "platform/cp932_forms.h"
#include "platform/errors.h"
#include "platform/replace_file.h"

#include <QFile>

namespace explanation {

QByteArray readDocumentFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        platform::raiseCannotOpen(path);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        platform::raiseCannotOpen(path);
    return bytes;
}

QString plainDocumentText(QByteArrayView bytes)
{
    QString text = platform::decodeCp932(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

bool plainDocumentBytes(const QString& text, QByteArray* bytes)
{
    QString lines = platform::withCp932Forms(text);
    lines.replace(u'\n', QStringLiteral("\r\n"));
    return platform::encodeCp932(lines, bytes);
}

void saveMailTemplate(const QString& path, const QString& text)
{
    platform::replaceFile(path, [&text] {
        QByteArray bytes;
        if (!plainDocumentBytes(text, &bytes))
            platform::raiseStreamWrite();
        return bytes;
    });
}

} // namespace explanation
