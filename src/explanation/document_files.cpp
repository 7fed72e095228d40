#include "explanation/document_files.h"

#include "platform/codepage.h"
#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <utility>

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

namespace {

// Characters that input methods and other programs give in their Shift_JIS
// form while code page 932 has the same mark at a different code point;
// they are written as the code page 932 character the user sees.
constexpr std::pair<char16_t, char16_t> kShiftJisForms[] = {
    {u'\u301C', u'\uFF5E'}, // wave dash → full-width tilde
    {u'\u2016', u'\u2225'}, // double vertical line → parallel to
    {u'\u2212', u'\uFF0D'}, // minus sign → full-width hyphen-minus
    {u'\u2014', u'\u2015'}, // em dash → horizontal bar
    {u'\u00A2', u'\uFFE0'}, // cent sign
    {u'\u00A3', u'\uFFE1'}, // pound sign
    {u'\u00AC', u'\uFFE2'}, // not sign
};

} // namespace

bool plainDocumentBytes(const QString& text, QByteArray* bytes, qsizetype* unwritableAt)
{
    QString lines = text;
    for (const auto& [shiftJis, codePage932] : kShiftJisForms)
        lines.replace(QChar(shiftJis), QChar(codePage932));
    // The replacements keep every character where it is, so a failure is
    // found at its place in the text. Lines are separated afterwards, in the
    // bytes: 0x0A is never part of a pair.
    if (!platform::encodeCp932(lines, bytes, unwritableAt))
        return false;
    bytes->replace("\n", "\r\n");
    return true;
}

namespace {

// A template nobody may write to has been marked read-only on purpose; it is
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

void saveMailTemplate(const QString& path, const QString& text, qsizetype* unwritableAt)
{
    if (markedReadOnly(path))
        platform::raiseCannotCreate(path);
    // The new content goes to a temporary file in the same folder; only a
    // complete, flushed file is renamed over the earlier template. Leaving
    // without commit() removes the temporary file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        platform::raiseCannotCreate(path);
    QByteArray bytes;
    if (!plainDocumentBytes(text, &bytes, unwritableAt)) {
        file.cancelWriting();
        platform::raiseStreamWrite();
    }
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        platform::raiseStreamWrite();
}

} // namespace explanation
