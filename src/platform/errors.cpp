#include "platform/errors.h"

namespace platform {

Error::Error(const QString& message) : std::runtime_error(message.toStdString()) {}

QString Error::message() const { return QString::fromUtf8(what()); }

void raiseNotAnInteger(const QString& text)
{
    throw Error(QStringLiteral("'%1' は整数ではありません").arg(text));
}
void raiseDivisionByZero() { throw Error(QStringLiteral("0 による除算")); }
void raiseCannotOpen(const QString& path)
{
    throw Error(QStringLiteral("ﾌｧｲﾙ %1 は開けません").arg(path));
}
void raiseCannotCreate(const QString& path)
{
    throw Error(QStringLiteral("ﾌｧｲﾙ %1 を作成できません").arg(path));
}
void raiseGridIndexOutOfRange() { throw Error(QStringLiteral("ｸﾞﾘｯﾄﾞｲﾝﾃﾞｯｸｽ が範囲を超えています")); }
void raiseListIndexOutOfRange(int index)
{
    throw Error(QStringLiteral("ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています (%1)").arg(index));
}
void raiseStreamRead() { throw Error(QStringLiteral("ｽﾄﾘｰﾑからの読み込みに失敗しました")); }
void raiseStreamWrite() { throw Error(QStringLiteral("ｽﾄﾘｰﾑへの書き込みに失敗しました")); }
void raiseNoTimer() { throw Error(QStringLiteral("ﾀｲﾏｰを取得できません")); }

bool tryStrToInt(const QString& text, int* value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return false;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > qint64(2147483648LL))
            return false;
    }
    if (!negative && magnitude > 2147483647LL)
        return false;
    *value = int(negative ? -magnitude : magnitude);
    return true;
}

int StrToInt(const QString& text)
{
    int value = 0;
    if (!tryStrToInt(text, &value))
        raiseNotAnInteger(text);
    return value;
}

} // namespace platform
