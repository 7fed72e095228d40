#pragma once
// Shared helpers for the tests: a temporary working folder, fixture files
// written from code, and the error sink that collects error boxes.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <thread>

class QWidget;

namespace testsupport {

// Writes bytes to a file, creating folders as needed; returns the path.
QString writeFile(const QString& path, const QByteArray& bytes);

// Encodes UTF-8 source text as code page 932 bytes.
QByteArray cp932(const QString& text);

// Peak resident memory of this process in kB (VmHWM).
qint64 peakMemoryKb();

// A FIFO made at `path` for as long as this lives. Every open that waits on
// it is released after kFifoReleaseSeconds by a writer that opens and closes
// it, so a reader that blocks sees an empty file, late, instead of hanging
// the test.
inline constexpr int kFifoReleaseSeconds = 10;
class Fifo {
public:
    explicit Fifo(const QString& path);
    ~Fifo();
    const QString path;

private:
    std::jthread releaser_;
};

} // namespace testsupport

class TForm1;

namespace testsupport {

// Collects what the error box would show.
struct ErrorBoxes {
    ErrorBoxes();
    ~ErrorBoxes();
    QStringList texts;
    QStringList titles;
};

// A .mon file with the given set name and questions ("q1", "a1"), … as
// records `n,"answer","question"`, encoded in code page 932.
QByteArray monFile(const QString& label, const QString& setName,
                   const QList<QPair<QString, QString>>& questions);

// Everything an open can change that a test can read, one entry each: every
// cell of the question-set list and the question table, every field, memo
// and viewer text, the count's colour, the start button, the format mode and
// the dialog's choice, the text-file count, the binary file held and the
// current folder.
QStringList windowSnapshot(const TForm1& form);

// Opens a file through the window's open button with the scripted dialog
// (filter entry 1: .5tq, 2: .mon).
void openThroughDialog(TForm1& form, const QString& path, int filterIndex);

// A .5tq file: eight genre records (name bytes and count; missing genres are
// empty with count 0), then the question records in order, texts stored with
// their top bit flipped and padded with the 0x20 0x20 end mark.
struct TqQuestion {
    QByteArray question;
    QByteArray answer;
};
QByteArray tqFile(const QList<QPair<QByteArray, quint16>>& genres, const QList<TqQuestion>& questions);

// Records, in order, the objects whose enabled state changed while alive.
class EnabledChanges : public QObject {
public:
    explicit EnabledChanges(const QList<QWidget*>& watched);
    QList<QObject*> changed;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace testsupport

#include <QPoint>

class QPixmap;
class QWidget;

namespace testsupport {

// The user's mouse click on a page's tab.
void clickTab(TForm1& form, QWidget* page);
// The user's mouse click on a row of the question-set list (its set-name cell).
void clickListRow(TForm1& form, int row);
// The window as the X server shows it (after a moment to map and paint it).
QPixmap windowOnScreen(QWidget& window);
// A left-button drag from one point of `area` to another (area coordinates),
// each event sent to the widget really under the pointer there, as a user's
// mouse would reach it (whatever lies over `area`).
void dragUnderPointer(QWidget* area, QPoint from, QPoint to);

} // namespace testsupport
