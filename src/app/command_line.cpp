#include "app/command_line.h"

#include "app/Un_subri1.h"

#include <QFileInfo>
#include <QTimer>

namespace app {

namespace {

// The toolkit's options that take the next argument as their value (its
// application, platform and X11 options); it reads each with one dash or
// two. The launcher keeps the same list.
bool takesValue(QStringView option)
{
    static const QStringList names = {
        QStringLiteral("style"), QStringLiteral("stylesheet"), QStringLiteral("platform"),
        QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"), QStringLiteral("plugin"),
        QStringLiteral("display"), QStringLiteral("geometry"), QStringLiteral("qwindowgeometry"),
        QStringLiteral("qwindowicon"), QStringLiteral("qwindowtitle"), QStringLiteral("title"),
        QStringLiteral("name"), QStringLiteral("session"), QStringLiteral("visual")};
    if (option.startsWith(u"--"))
        option = option.sliced(1);
    return option.size() > 1 && names.contains(option.sliced(1));
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    line.toolkitArgumentCount = int(arguments.size());
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--") {
            line.toolkitArgumentCount = int(i);
            for (++i; i < arguments.size(); ++i) {
                if (!arguments[i].isEmpty())
                    line.files << arguments[i];
            }
            break;
        }
        if (line.request == CommandLine::Request::OpenWindow) {
            if (argument == u"--help" || argument == u"-h")
                line.request = CommandLine::Request::ShowUsage;
            else if (argument == u"--version")
                line.request = CommandLine::Request::ShowVersion;
        }
        if (argument.startsWith(u'-')) {
            if (takesValue(argument))
                ++i;
            continue;
        }
        // An empty argument names no file.
        if (!argument.isEmpty())
            line.files << argument;
    }
    return line;
}

QString usageText()
{
    return QStringLiteral(
        "使い方: mireldo [オプション...] [問題ファイル...]\n"
        "\n"
        "問題ファイルを指定すると、ウィンドウを表示したあと、指定した順に読み込みます\n"
        "（［ファイル読込］で選んだときと同じです）。相対パスは起動したフォルダから\n"
        "たどります。\n"
        "\n"
        "問題ファイルの種類:\n"
        "  .5tq        ごたく形式\n"
        "  .mon        Quillop形式\n"
        "  .csv .tsv   CSV・TSV形式\n"
        "  .txt        CSV・TSV形式として読み込みます\n"
        "  これ以外の拡張子のファイルは読み込みません。\n"
        "\n"
        "オプション:\n"
        "  -h, --help  この使い方を表示して終了します\n"
        "  --version   バージョンを表示して終了します\n"
        "  --          これより後の引数はすべて問題ファイルです\n"
        "              （「-」で始まる名前のファイルを開くとき）\n"
        "\n"
        "これ以外の「-」で始まる引数は Qt のオプションです（-style fusion、\n"
        "-platform xcb など）。\n");
}

QString versionText()
{
    return QStringLiteral("mireldo " MIRELDO_VERSION "\n");
}

QStringList questionFileArguments(const QStringList& arguments)
{
    QStringList files;
    for (const QString& file : parseCommandLine(arguments).files)
        files << QFileInfo(file).absoluteFilePath();
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
