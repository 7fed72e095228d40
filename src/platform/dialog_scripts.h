#pragma once
// The answers a test scripts for the next open, save or font dialog
// (platform.h), kept here until that dialog takes them. The dialogs ask
// through these before they show anything.

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

namespace platform {

struct ScriptedFile {
    bool confirmed;
    QString path;
    int filterIndex;
};
struct ScriptedFont {
    bool confirmed;
    QFont font;
    QColor color; // invalid: the colour stays
};

// The answer waiting for the next dialog of each kind, if any; the dialog
// resets it when it takes it.
std::optional<ScriptedFile>& scriptedOpen();
std::optional<ScriptedFile>& scriptedSave();
std::optional<ScriptedFont>& scriptedFont();

} // namespace platform
