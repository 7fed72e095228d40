#pragma once
// The program's command line: `mireldo [OPTION…] [FILE…]`.
//
// FILE… are question files: each is opened, in order, as if chosen in the
// open dialog, once the window has been shown. "--help" (or "-h") and
// "--version" print on standard output and end the program before any
// window or display is needed. "--" ends the options: every argument after
// it names a file, even one that starts with "-". Any other argument that
// starts with "-" belongs to the toolkit, and so does the value after a
// toolkit option that takes one ("-style fusion", "-platform offscreen").

#include <QString>
#include <QStringList>

class TForm1;

namespace app {

struct CommandLine {
    enum class Request { OpenWindow, ShowUsage, ShowVersion };
    Request request = Request::OpenWindow;
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

// The files among the program's arguments, made absolute against the
// current directory as it is now.
QStringList questionFileArguments(const QStringList& arguments);

// Opens the files among `arguments` (all of the program's arguments, as the
// program was given them) in `window` when the event loop next runs; call it
// after the window has been shown.
void openCommandLineFiles(TForm1& window, const QStringList& arguments);

} // namespace app
