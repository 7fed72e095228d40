#include "explanation/document_files.h"

#include "text/codepage.h"
#include "text/cp932_forms.h"
#include "platform/errors.h"
#include "platform/regular_file.h"
#include "platform/replace_file.h"

namespace explanation {

QByteArray readDocumentFile(const QString& path)
{
    std::optional<QByteArray> bytes = platform::readRegularFile(path, kMaxDocumentBytes);
    if (!bytes)
        platform::raiseCannotOpen(path);
    return std::move(*bytes);
}

QString plainDocumentText(QByteArrayView bytes)
{
    QString text = platform::decodeCp932(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

bool plainDocumentBytes(const QString& text, QByteArray* bytes, qsizetype* unwritableAt)
{
    // The replacements keep every character where it is, so a failure is
    // found at its place in the text. Lines are separated afterwards, in the
    // bytes: 0x0A is never part of a pair.
    if (!platform::encodeCp932(platform::withCp932Forms(text), bytes, unwritableAt))
        return false;
    bytes->replace("\n", "\r\n");
    return true;
}

void saveMailTemplate(const QString& path, const QString& text, qsizetype* unwritableAt)
{
    platform::replaceFile(path, [&text, unwritableAt] {
        QByteArray bytes;
        if (!plainDocumentBytes(text, &bytes, unwritableAt))
            platform::raiseStreamWrite();
        return bytes;
    });
}

} // namespace explanation
