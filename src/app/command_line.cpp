#include "app/command_line.h"

#include "app/Un_subri1.h"

#include <QFileInfo>
#include <QTimer>

namespace app {

namespace {

// The toolkit's documented options (its application, platform and X11
// options), as it reads each: with one dash or two, and those with a value
// also as "-name=value". The launcher keeps the same list of those that
// take the next argument as their value.
enum class ToolkitOption { None, Flag, TakesValue, ValueAttached };

ToolkitOption toolkitOption(QStringView option)
{
    static const QStringList withValue = {
        QStringLiteral("style"), QStringLiteral("stylesheet"), QStringLiteral("platform"),
        QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"), QStringLiteral("plugin"),
        QStringLiteral("display"), QStringLiteral("geometry"), QStringLiteral("qwindowgeometry"),
        QStringLiteral("qwindowicon"), QStringLiteral("qwindowtitle"), QStringLiteral("title"),
        QStringLiteral("name"), QStringLiteral("session"), QStringLiteral("visual")};
    static const QStringList flags = {
        QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
        QStringLiteral("dograb"), QStringLiteral("sync"), QStringLiteral("cmap"),
        QStringLiteral("testability"), QStringLiteral("qmljsdebugger")};
    if (option.startsWith(u"--"))
        option = option.sliced(1);
    if (option.size() < 2)
        return ToolkitOption::None;
    const QStringView name = option.sliced(1);
    const qsizetype equals = name.indexOf(u'=');
    if (equals > 0)
        return withValue.contains(name.first(equals)) || name.first(equals) == u"qmljsdebugger"
                   ? ToolkitOption::ValueAttached
                   : ToolkitOption::None;
    if (withValue.contains(name))
        return ToolkitOption::TakesValue;
    return flags.contains(name) ? ToolkitOption::Flag : ToolkitOption::None;
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
        if (!argument.startsWith(u'-')) {
            // An empty argument names no file.
            if (!argument.isEmpty())
                line.files << argument;
            continue;
        }
        const bool help = argument == u"--help" || argument == u"-h";
        const bool version = argument == u"--version";
        const ToolkitOption toolkit = toolkitOption(argument);
        if (line.request == CommandLine::Request::OpenWindow) {
            if (help)
                line.request = CommandLine::Request::ShowUsage;
            else if (version)
                line.request = CommandLine::Request::ShowVersion;
            else if (toolkit == ToolkitOption::None) {
                line.request = CommandLine::Request::RefuseUnknownOption;
                line.unknownOption = argument;
            }
        }
        if (toolkit == ToolkitOption::TakesValue)
            ++i;
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
        "  .apkg .colpkg  Ankiデッキ\n"
        "  これ以外の拡張子のファイルは読み込みません。\n"
        "\n"
        "オプション:\n"
        "  -h, --help  この使い方を表示して終了します\n"
        "  --version   バージョンを表示して終了します\n"
        "  --          これより後の引数はすべて問題ファイルです\n"
        "              （「-」で始まる名前のファイルを開くとき）\n"
        "\n"
        "Qt のオプション（-style fusion、-platform xcb、-reverse など）も使えます。\n"
        "これ以外の「-」で始まる引数は不明なオプションとして終了します。\n"
        "\n"
        "終了ステータス: 0 正常、1 画面に接続できない・出力に書き込めない、\n"
        "2 不明なオプション\n");
}

QString versionText()
{
    return QStringLiteral("mireldo " MIRELDO_VERSION "\n");
}

QString unknownOptionText(const QString& option)
{
    return QStringLiteral("mireldo: 不明なオプション '%1'（使い方は mireldo --help）\n").arg(option);
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
    // The list the user asked for is in view: with a file opened the window
    // turns to the loading page, as a click on its tab would.
    QTimer::singleShot(0, &window, [&window, files] {
        if (window.openQuestionFiles(files) > 0)
            window.guard.run([&window] { window.turnToPage(window.TabSheet2); });
    });
}

} // namespace app
