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

// The desktop's simple beep (argument 0xFFFFFFFF). While the sound is on
// (setSoundOn) and the sound server plays the beep's stream, a click heard a
// fixed delay after the call; otherwise the window system's bell. Returns at
// once either way.
void MessageBeep(uint32_t type);
// Sends beeps to the sink instead of the speaker; empty restores the speaker.
void setBeepSink(std::function<void(uint32_t)> sink);
// Sees every beep and the moment it was asked for (CLOCK_MONOTONIC, ns), the
// moment its click is placed from, before it sounds or goes to the sink. It
// replaces nothing (benchmarks time the clicks against it). Empty removes it.
void setBeepObserver(std::function<void(uint32_t type, int64_t monotonicNs)> observer);
// The sound setting. On opens a playback stream to the desktop's sound server
// without waiting for it and keeps it playing silence, so that no click waits
// for a stream to start or a device to wake; off closes it. Without a server,
// or when it fails, beeps ring the bell instead, with no message to the user;
// the next "on" asks the server again. Never fails.
void setSoundOn(bool on);

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
