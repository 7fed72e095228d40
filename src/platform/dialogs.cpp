#include "platform/dialogs.h"

#include "platform/FontChooserDialog.h"
#include "platform/platform.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>
#include <optional>

namespace platform {

namespace {

struct ScriptedOpen {
    bool confirmed;
    QString path;
    int filterIndex;
};
struct ScriptedFont {
    bool confirmed;
    QFont font;
    QColor color; // invalid: the colour stays
};

std::optional<ScriptedOpen>& scriptedOpen()
{
    static std::optional<ScriptedOpen> answer;
    return answer;
}
std::optional<ScriptedFont>& scriptedFont()
{
    static std::optional<ScriptedFont> answer;
    return answer;
}

// "label|pattern|label|pattern" as the toolkit's "label (pattern)" list.
QStringList nameFilters(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(u';', u' '));
    return filters;
}

} // namespace

void scriptOpenDialog(const QString& path, int filterIndex)
{
    scriptedOpen() = ScriptedOpen{true, path, filterIndex};
}
void scriptOpenDialogCancel() { scriptedOpen() = ScriptedOpen{false, {}, 0}; }
void scriptFontDialog(const QFont& font) { scriptedFont() = ScriptedFont{true, font, {}}; }
void scriptFontDialog(const QFont& font, const QColor& color)
{
    scriptedFont() = ScriptedFont{true, font, color};
}
void scriptFontDialogCancel() { scriptedFont() = ScriptedFont{false, {}, {}}; }

OpenDialog::OpenDialog(QWidget* owner) : QObject(owner), owner_(owner) {}

bool OpenDialog::execute()
{
    QString path;
    int index = filterIndex_;
    if (auto answer = scriptedOpen()) {
        scriptedOpen().reset();
        if (!answer->confirmed)
            return false;
        path = answer->path;
        index = answer->filterIndex;
    } else {
        const QStringList filters = nameFilters(filter_);
        QFileDialog dialog(owner_);
        // The toolkit's own dialog (its captions come from the Japanese
        // translations) in the window's fonts.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (owner_)
            dialog.setFont(owner_->window()->font());
        // File names only, as the desktop's open dialog lists them at first;
        // the detail columns would show the system's type names and dates in
        // the user's locale rather than in Japanese.
        dialog.setViewMode(QFileDialog::List);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(filters);
        if (filterIndex_ >= 1 && filterIndex_ <= filters.size())
            dialog.selectNameFilter(filters[filterIndex_ - 1]);
        dialog.setDirectory(QDir::currentPath());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        path = dialog.selectedFiles().first();
        index = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    }
    fileName_ = QFileInfo(path).absoluteFilePath();
    filterIndex_ = index;
    // Like the desktop's dialog, leave the current directory at the file's folder.
    QDir::setCurrent(QFileInfo(fileName_).absolutePath());
    return true;
}

FontDialog::FontDialog(QWidget* owner) : QObject(owner), owner_(owner) {}

bool FontDialog::execute()
{
    if (auto answer = scriptedFont()) {
        scriptedFont().reset();
        if (answer->confirmed) {
            font_ = answer->font;
            if (answer->color.isValid())
                color_ = answer->color;
        }
        return answer->confirmed;
    }
    FontChooserDialog dialog(font_, color_, owner_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    font_ = dialog.chosenFont();
    color_ = dialog.chosenColor();
    return true;
}

} // namespace platform
