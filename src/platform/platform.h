#pragma once
// The desktop facilities the program is built against, with seams that let
// tests replace the clock, the beep, the error box and the dialogs.

#include <QColor>
#include <QFont>
#include <QString>
#include <cstdint>
#include <functional>

namespace platform {

// Millisecond tick counter since an arbitrary origin, 32 bits wide; callers
// take differences with 32-bit wrap-around. Monotonic.
uint32_t GetTickCount();
// Replaces the counter (tests); an empty function restores the system counter.
void setTickCountSource(std::function<uint32_t()> source);

// The desktop's simple beep (argument 0xFFFFFFFF).
void MessageBeep(uint32_t type);
// Sends beeps to the sink instead of the speaker; empty restores the speaker.
void setBeepSink(std::function<void(uint32_t)> sink);

// The error box: a message box with the error icon and OK. With a sink set,
// the title and final text go there instead (tests).
void setErrorSink(std::function<void(const QString& title, const QString& text)> sink);
void showErrorBox(const QString& message);
// The title of error boxes: the program file's name cut at its first ".",
// every letter after the first in lower case.
QString applicationTitle();
// The message with "." appended unless it already ends in a character that
// sorts at or before ".".
QString errorBoxText(const QString& message);

// Scripted answers for the next execution of the open and font dialogs.
void scriptOpenDialog(const QString& path, int filterIndex);
void scriptOpenDialogCancel();
// The font answer without a colour leaves the text colour as it was.
void scriptFontDialog(const QFont& font);
void scriptFontDialog(const QFont& font, const QColor& color);
void scriptFontDialogCancel();
// Scripted answer for the next execution of the save dialog (entry 1: .mon, 2: CSV).
void scriptSaveDialog(const QString& path, int filterIndex);
void scriptSaveDialogCancel();

} // namespace platform
