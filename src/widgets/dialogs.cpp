#include "widgets/dialogs.h"

#include "platform/dialog_scripts.h"
#include "widgets/FontChooserDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>
#include <optional>

namespace platform {

namespace {

// "label|pattern|label|pattern" as the toolkit's "label (pattern)" list.
QStringList nameFilters(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(u';', u' '));
    return filters;
}

// The extension of an entry's first pattern ("*.mon;*.txt" gives "mon").
QString entrySuffix(const QString& filter, int index)
{
    const QStringList parts = filter.split(u'|');
    const qsizetype patternAt = qsizetype(index) * 2 - 1;
    if (index < 1 || patternAt >= parts.size())
        return {};
    const QString pattern = parts[patternAt].section(u';', 0, 0);
    return pattern.startsWith(QStringLiteral("*.")) ? pattern.mid(2) : QString();
}

} // namespace

FileDialog::FileDialog(QWidget* owner) : QObject(owner), owner_(owner) {}

std::optional<FileDialog::Choice> FileDialog::ask(Mode mode)
{
    const bool save = mode == Mode::Save;
    std::optional<ScriptedFile>& scripted = save ? scriptedSave() : scriptedOpen();
    QString path;
    int index = filterIndex_;
    if (auto answer = scripted) {
        scripted.reset();
        if (!answer->confirmed)
            return std::nullopt;
        path = answer->path;
        index = answer->filterIndex;
        if (save && QFileInfo(path).suffix().isEmpty() && !entrySuffix(filter_, index).isEmpty())
            path += u'.' + entrySuffix(filter_, index);
    } else {
        const QStringList filters = nameFilters(filter_);
        QFileDialog dialog(owner_);
        // The toolkit's own dialog (its captions come from the Japanese
        // translations) in the window's fonts.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (owner_)
            dialog.setFont(owner_->window()->font());
        // File names only, as the desktop's dialogs list them at first; the
        // detail columns would show the system's type names and dates in the
        // user's locale rather than in Japanese.
        dialog.setViewMode(QFileDialog::List);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setNameFilters(filters);
        if (filterIndex_ >= 1 && filterIndex_ <= filters.size())
            dialog.selectNameFilter(filters[filterIndex_ - 1]);
        if (save) {
            // A name typed without extension takes the chosen entry's, before
            // the dialog asks about replacing an existing file.
            dialog.setDefaultSuffix(entrySuffix(filter_, filterIndex_));
            connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &filters, this](const QString& chosen) {
                dialog.setDefaultSuffix(entrySuffix(filter_, int(filters.indexOf(chosen)) + 1));
            });
        }
        dialog.setDirectory(QDir::currentPath());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        path = dialog.selectedFiles().first();
        index = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    }
    return Choice{QFileInfo(path).absoluteFilePath(), index};
}

void FileDialog::record(const QString& path, int filterIndex)
{
    fileName_ = QFileInfo(path).absoluteFilePath();
    filterIndex_ = filterIndex;
}

void OpenDialog::recordChoice(const QString& path, int filterIndex)
{
    record(path, filterIndex);
    // Like the desktop's dialog, leave the current directory at the file's folder.
    QDir::setCurrent(QFileInfo(fileName()).absolutePath());
}

OpenDialog::OpenDialog(QWidget* owner) : FileDialog(owner) {}

std::optional<FileDialog::Choice> OpenDialog::choose()
{
    return ask(Mode::Open);
}

SaveDialog::SaveDialog(QWidget* owner) : FileDialog(owner) {}

bool SaveDialog::execute()
{
    const std::optional<Choice> answer = ask(Mode::Save);
    if (!answer)
        return false;
    record(answer->path, answer->filterIndex);
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
