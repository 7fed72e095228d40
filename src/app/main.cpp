// Starts the program: the command line, the application, the design fonts,
// the window, and the question files named on the command line.

#include "app/Un_subri1.h"
#include "app/command_line.h"
#include "app/startup_probe.h"
#include "platform/platform.h"
#include "platform/session_platform.h"
#include "platform/window_lifetime.h"

#include <QApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>

namespace {

// A last safety net: an error escaping an event is shown, never fatal.
class Application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            platform::showErrorBox(QString::fromUtf8(error.what()));
        }
        return false;
    }
};

// Prints the usage or the version. A text that could not be written (a
// full disk, a closed pipe) is an error, not a success.
int print(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
        && std::fflush(stdout) == 0)
        return 0;
    const int error = errno;
    std::fprintf(stderr, "mireldo: 標準出力に書き込めませんでした: %s\n", std::strerror(error));
    return app::kExitFailure;
}

} // namespace

int main(int argc, char** argv)
{
    // Read before the application exists: asked for the usage or the version,
    // the program needs no window and no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const app::CommandLine commandLine = app::parseCommandLine(arguments);
    if (commandLine.request == app::CommandLine::Request::ShowUsage)
        return print(app::usageText());
    if (commandLine.request == app::CommandLine::Request::ShowVersion)
        return print(app::versionText());
    if (commandLine.request == app::CommandLine::Request::RefuseUnknownOption) {
        std::fputs(app::unknownOptionText(commandLine.unknownOption).toUtf8().constData(), stderr);
        return app::kExitUsageError;
    }

    // The toolkit sees only what comes before "--", so a file named after it
    // is never taken for one of the toolkit's options.
    int toolkitArgc = commandLine.toolkitArgumentCount;
    argv[toolkitArgc] = nullptr;
    platform::chooseSessionPlatform(toolkitArgc, argv); // always-on-top needs X11
    std::optional<platform::ToolkitStartup> startup(std::in_place, app::kExitFailure); // no display: a message, status 1
    Application application(toolkitArgc, argv);
    startup.reset();
    TForm1 form;
    app::armStartupProbe(form); // tests and benchmarks only
    form.show();
    platform::quitWhenDestroyedOutside(&form);
    // The arguments as given: the toolkit has taken its own out of argv.
    app::openCommandLineFiles(form, arguments); // mireldo FILE…
    return application.exec();
}
