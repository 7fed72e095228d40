#pragma once
// A hook for the tests and benchmarks of start-up, off in normal use.
//
// Only when the environment variable MIRELDO_EXIT_AFTER_START_MS holds a
// number of milliseconds does the program watch for the window's first
// frame, wait that long, print one line on standard output and quit:
//
//   mireldo-startup first-frame-ns=<N> max-rss-kb=<K> directory=<D>
//
// N is the steady clock (CLOCK_MONOTONIC) in nanoseconds when the first
// frame had been painted, so that a parent process can subtract the time it
// started the program; K is the peak resident memory so far; D is the
// current directory: the one the program started in, or the folder of the
// last question file named on the command line, since opening a file makes
// its folder current. Without the variable nothing of
// this runs and the program's behaviour does not depend on the environment.

class QWidget;

namespace app {

void armStartupProbe(QWidget& window);

} // namespace app
