#include "platform/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

QString decodeCp932(QByteArrayView bytes)
{
    // Opening a converter is far dearer than decoding one short text, so one
    // decoder is kept; resetting it first makes every call start afresh.
    thread_local QStringDecoder decoder = [] {
        QStringDecoder cp932("windows-31j");
        return cp932.isValid() ? std::move(cp932) : QStringDecoder("Shift_JIS");
    }();
    decoder.resetState();
    QString text = decoder.decode(bytes);
    // The decoder allocates for the longest possible result; question tables
    // keep hundreds of thousands of these texts, so give back the spare room.
    text.squeeze();
    return text;
}

bool encodeCp932(QStringView text, QByteArray* out)
{
    QStringEncoder encoder("windows-31j", QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        encoder = QStringEncoder("Shift_JIS", QStringConverter::Flag::Stateless);
    *out = encoder.encode(text);
    return !encoder.hasError();
}

} // namespace platform
