#include "app/command_line.h"

#include "app/Un_subri1.h"

#include <QFileInfo>
#include <QTimer>

namespace app {

QStringList questionFileArguments(const QStringList& arguments)
{
    QStringList files;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument.isEmpty() || argument.startsWith(u'-'))
            continue;
        files << QFileInfo(argument).absoluteFilePath();
    }
    return files;
}

void openCommandLineFiles(TForm1& window, const QStringList& arguments)
{
    // Made absolute now: every file opened moves the current directory.
    const QStringList files = questionFileArguments(arguments);
    if (files.isEmpty())
        return;
    QTimer::singleShot(0, &window, [&window, files] { window.openQuestionFiles(files); });
}

} // namespace app
