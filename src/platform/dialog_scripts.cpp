#include "platform/dialog_scripts.h"

#include "platform/platform.h"

namespace platform {

std::optional<ScriptedFile>& scriptedOpen()
{
    static std::optional<ScriptedFile> answer;
    return answer;
}
std::optional<ScriptedFile>& scriptedSave()
{
    static std::optional<ScriptedFile> answer;
    return answer;
}
std::optional<ScriptedFont>& scriptedFont()
{
    static std::optional<ScriptedFont> answer;
    return answer;
}

void scriptOpenDialog(const QString& path, int filterIndex)
{
    scriptedOpen() = ScriptedFile{true, path, filterIndex};
}
void scriptOpenDialogCancel() { scriptedOpen() = ScriptedFile{false, {}, 0}; }
void scriptSaveDialog(const QString& path, int filterIndex)
{
    scriptedSave() = ScriptedFile{true, path, filterIndex};
}
void scriptSaveDialogCancel() { scriptedSave() = ScriptedFile{false, {}, 0}; }
void scriptFontDialog(const QFont& font) { scriptedFont() = ScriptedFont{true, font, {}}; }
void scriptFontDialog(const QFont& font, const QColor& color)
{
    scriptedFont() = ScriptedFont{true, font, color};
}
void scriptFontDialogCancel() { scriptedFont() = ScriptedFont{false, {}, {}}; }

} // namespace platform
