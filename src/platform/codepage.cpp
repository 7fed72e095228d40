#include "platform/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

QString decodeCp932(QByteArrayView bytes)
{
    QStringDecoder decoder("windows-31j");
    if (!decoder.isValid())
        decoder = QStringDecoder("Shift_JIS");
    QString text = decoder.decode(bytes);
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
