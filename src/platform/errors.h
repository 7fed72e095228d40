#pragma once
// The errors a handler can raise. Each carries the message the error box
// shows (UTF-8, without the final "." that the box adds).

#include <QString>
#include <stdexcept>

namespace platform {

class Error : public std::runtime_error {
public:
    explicit Error(const QString& message);
    QString message() const;
};

[[noreturn]] void raiseNotAnInteger(const QString& text);    // 'x' は整数ではありません
[[noreturn]] void raiseDivisionByZero();                     // 0 による除算
[[noreturn]] void raiseCannotOpen(const QString& path);      // ﾌｧｲﾙ x は開けません
[[noreturn]] void raiseCannotCreate(const QString& path);    // ﾌｧｲﾙ x を作成できません
[[noreturn]] void raiseGridIndexOutOfRange();                // ｸﾞﾘｯﾄﾞｲﾝﾃﾞｯｸｽ が範囲を超えています
[[noreturn]] void raiseListIndexOutOfRange(int index);       // ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています (n)
[[noreturn]] void raiseStreamRead();                         // ｽﾄﾘｰﾑからの読み込みに失敗しました
[[noreturn]] void raiseStreamWrite();                        // ｽﾄﾘｰﾑへの書き込みに失敗しました
[[noreturn]] void raiseNoTimer();                            // ﾀｲﾏｰを取得できません

// Every number the program reads from a control goes through this: an
// optional sign and decimal digits within the 32-bit signed range. Anything
// else (empty, spaces, letters, full-width digits, too large) raises
// raiseNotAnInteger with the text as it stands.
int StrToInt(const QString& text);

// Same rule, without raising: false when the text is not such an integer.
bool tryStrToInt(const QString& text, int* value);

} // namespace platform
