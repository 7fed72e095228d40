#pragma once
// The program's command line: `mireldo [OPTION…] [FILE…]`.
//
// FILE… are question files: each is opened, in order, as if chosen in the
// open dialog, once the window has been shown. "--help" (or "-h") and
// "--version" print on standard output and end the program before any
// window or display is needed. "--" ends the options: every argument after
// it names a file, even one that starts with "-". The toolkit's own options
// ("-style fusion", "-platform offscreen", "-reverse", …) are the toolkit's,
// and so is the value after one that takes one. Any other argument that
// starts with "-" is an unknown option: the program names it and ends with
// status 2, before any window or display is needed.

#include <QString>
#include <QStringList>

class TForm1;

namespace app {

struct CommandLine {
    // The first of "--help", "--version" or an unknown option decides.
    enum class Request { OpenWindow, ShowUsage, ShowVersion, RefuseUnknownOption };
    Request request = Request::OpenWindow;
    // With RefuseUnknownOption: the option as given.
    QString unknownOption;
    // The question files, as named.
    QStringList files;
    // The arguments the toolkit may see: the first this many (the program's
    // name and everything before "--"). What follows "--" is never the
    // toolkit's, so a file there cannot be taken for one of its options.
    int toolkitArgumentCount = 1;
};

// Reads the program's arguments (the first is the program's own name).
CommandLine parseCommandLine(const QStringList& arguments);

// What "--help" and "--version" print, each ending in a line end.
QString usageText();
QString versionText();
// The one line on standard error for an unknown option, naming it and
// pointing to "--help".
QString unknownOptionText(const QString& option);

// The program's exit statuses besides 0.
constexpr int kExitFailure = 1;     // no display, or the usage could not be written
constexpr int kExitUsageError = 2;  // an unknown option

// The files among the program's arguments, made absolute against the
// current directory as it is now.
QStringList questionFileArguments(const QStringList& arguments);

// Opens the files among `arguments` (all of the program's arguments, as the
// program was given them) in `window` when the event loop next runs; call it
// after the window has been shown. When one opened, the window turns to the
// loading page, so the list is in view.
void openCommandLineFiles(TForm1& window, const QStringList& arguments);

} // namespace app
