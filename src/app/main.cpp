// Starts the program: the application, the design fonts, the window, and
// the question files named on the command line.

#include "app/Un_subri1.h"
#include "app/command_line.h"
#include "app/startup_probe.h"
#include "platform/platform.h"
#include "platform/session_platform.h"
#include "platform/window_lifetime.h"

#include <QApplication>
#include <exception>

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

} // namespace

int main(int argc, char** argv)
{
    platform::chooseSessionPlatform(argc, argv); // always-on-top needs X11
    Application application(argc, argv);
    TForm1 form;
    app::armStartupProbe(form); // tests and benchmarks only
    form.show();
    platform::quitWhenDestroyedOutside(&form);
    app::openCommandLineFiles(form, application.arguments()); // mireldo FILE…
    return application.exec();
}
