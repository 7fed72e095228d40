#pragma once
// Question files named on the command line: `mireldo FILE…` opens each file,
// in order, as if chosen in the open dialog, once the window has been shown.
// Arguments that start with "-" belong to the toolkit and are left alone.

#include <QStringList>

class TForm1;

namespace app {

// The files among the program's arguments (the first is the program's own
// name), made absolute against the current directory as it is now.
QStringList questionFileArguments(const QStringList& arguments);

// Opens the files among `arguments` in `window` when the event loop next
// runs; call it after the window has been shown.
void openCommandLineFiles(TForm1& window, const QStringList& arguments);

} // namespace app
