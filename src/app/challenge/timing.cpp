// The timing measurement taken at every answer flash, and the diagnostic
// elapsed-time reading of the loading page's work fields.
//
// Counter readings are kept as signed 32-bit values (the counter's bits) and
// their differences taken with 32-bit wrap-around, so the figures stay right
// when the system counter passes 2^31 or 2^32.

#include "app/Un_subri1.h"

#include "app/controls.h"

#include "platform/PresentationTimer.h"
#include "platform/platform.h"
#include "presentation/measurement.h"

#include <QLabel>
#include <QLineEdit>

using namespace presentation;

namespace {

int32_t tickCounterNow()
{
    return static_cast<int32_t>(platform::GetTickCount());
}


} // namespace

void TForm1::But4Click()
{
    const int32_t flashTime = tickCounterNow();
    const int32_t restartTime = intOf(Label2);
    const int32_t elapsed = wrapDiff(flashTime, restartTime);

    // The first measurement has no previous flash: it measures its last cycle
    // from the restart instead, over the ticks counted since that restart, so
    // the last-cycle column starts from the same base as the average column
    // (not from the counter's origin).
    const int32_t previous = measuredOnce ? previousFlashTime : restartTime;
    const int32_t lapTicks = measuredOnce ? lapTickCount : restartTickCount;
    const int32_t lap = wrapDiff(flashTime, previous);

    Label6->setText(QString::number(elapsed));
    Label7->setText(QString::number(wrapDiff(intOf(Label6), intOf(Label4))));

    if (restartTickCount != 0) {
        const AverageFigures average =
            averageFigures(elapsed, restartTickCount, intOf(Edit4), intOf(Edit5));
        setFieldText(Ed10, average.tickMs);
        setFieldText(Ed11, average.answerSeconds);
        setFieldText(Ed12, average.periodSeconds);
        // A question period that cuts to 0 ms has no frequency: the field
        // keeps what it showed.
        if (average.frequencyValid) {
            Label23->setText(average.frequencyHz);
            app::fitCaptionToText(Label23); // "10.1" is wider than the design "8.8"
        }
    }

    if (lapTicks != 0) {
        const LastCycleFigures lastCycle = lastCycleFigures(lap, lapTicks, intOf(Edit4));
        setFieldText(Edit10, lastCycle.tickMs);
        setFieldText(Edit11, lastCycle.answerSeconds);
        setFieldText(Edit12, lastCycle.cycleSeconds);
    }

    previousFlashTime = flashTime;
    measuredOnce = true;
    lapTickCount = 0;
}

void TForm1::Button2Click()
{
    Label3->setText(QString::number(tickCounterNow()));
    Label1->setText(QString::number(wrapDiff(intOf(Label3), intOf(Label2))));
    const int32_t nominal = wrapProduct(Timer1->interval(), restartTickCount);
    Label5->setText(QString::number(nominal));
    Label4->setText(QString::number(wrapDiff(intOf(Label1), nominal)));
}
