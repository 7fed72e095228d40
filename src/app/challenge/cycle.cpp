// The presentation cycle: restart and Start, the tick that refreshes the
// question and flashes its answer, and the sound toggle.
//
// The tick runs every 25 ms or so for as long as the program runs, so it only
// parses a few short field texts and writes the displays; it never walks the
// question table.

#include "app/Un_subri1.h"

#include "app/controls.h"
#include "widgets/PageControl.h"
#include "platform/PresentationTimer.h"
#include "widgets/StringGrid.h"
#include "platform/errors.h"
#include "platform/platform.h"
#include "presentation/measurement.h"
#include "presentation/question_order.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <optional>

namespace {

const QString kSoundOn = QStringLiteral("音有");
const QString kSoundOff = QStringLiteral("音無");

// The argument of the desktop's simple beep.
constexpr uint32_t kSimpleBeep = 0xFFFFFFFF;


enum class Need {
    Integer, // any whole number
    Divisor, // a whole number of at least 1 (the tick divides by it)
};

// Reads a field the tick needs. The timer keeps running whatever the fields
// hold, so a fault is raised only the first time a tick meets it in a field;
// later ticks find it in silence (nullopt) until the field has held a valid
// value again. Without this a fault would open an error box on every tick.
std::optional<int> readForTick(const QLineEdit* field, Need need, QList<const QLineEdit*>& reported)
{
    int value = 0;
    const bool integer = platform::tryStrToInt(field->text(), &value);
    if (integer && (need == Need::Integer || value >= 1)) {
        reported.removeOne(field);
        return value;
    }
    if (reported.contains(field))
        return std::nullopt;
    reported.append(field);
    if (!integer)
        platform::raiseNotAnInteger(field->text());
    platform::raiseDivisionByZero();
}

// A cell of the question table on the current question's row. A number that
// names no row (the range was moved beyond the table, or the table cleared)
// shows as empty text; the header row 0 shows its own texts.
QString questionTableText(const platform::StringGrid* table, int column, int row)
{
    if (row < 0 || row >= table->rowCount() || column >= table->colCount())
        return {};
    return table->cell(column, row);
}

} // namespace

void TForm1::Button1Click()
{
    restartTickCount = 0;
    Timer1->setInterval(intOf(Ed1));
    Label2->setText(QString::number(static_cast<int32_t>(platform::GetTickCount())));
    storedQuestionPeriod = intOf(Edit5);
    Timer1->setActive(true);
    shownSinceRestart = 0;
}

void TForm1::Button16Click()
{
    random.seed(presentation::millisecondsOfUtcDay());
    shownSinceStart = 0;
    shownSinceRestart = 0;
    currentQuestion = intOf(Edit6);
    Button1Click();
    // The program's own page change: the layout handlers of a tab click do
    // not run, so the window keeps the layout it has.
    PageControl1->setCurrentWidget(TabSheet1);
}

void TForm1::Timer1Timer()
{
    restartTickCount = presentation::wrapIncrement(restartTickCount);
    lapTickCount = presentation::wrapIncrement(lapTickCount);
    Label4->setText(QString::number(presentation::wrapProduct(Timer1->interval(), restartTickCount)));

    const std::optional<int> answerSpan = readForTick(Edit4, Need::Divisor, tickErrorFields);
    if (!answerSpan || restartTickCount % *answerSpan != 0)
        return;
    const std::optional<int> questionPeriod = readForTick(Edit5, Need::Divisor, tickErrorFields);
    if (!questionPeriod)
        return;

    if (restartTickCount % *questionPeriod != 0) {
        // Question refresh: the question alone.
        Memo3->hide();
        Label8->hide();
        const QString question = questionTableText(StringGrid2, 1, currentQuestion);
        Memo2->setPlainText(question);
        Label31->setText(question);
        Label31->adjustSize();
        Label32->setText(QStringLiteral("No.") + QString::number(currentQuestion));
        app::fitCaptionToText(Label32); // "No.120" is wider than the design "問題No"
        return;
    }

    // Answer flash: the answer joins the question still shown.
    const QString answer = questionTableText(StringGrid2, 2, currentQuestion);
    Memo3->setPlainText(answer);
    Memo3->show();
    Label8->setText(answer);
    Label8->adjustSize();
    Label8->show();
    if (But_oto->text() == kSoundOn)
        platform::MessageBeep(kSimpleBeep);

    if (RadioButton2->isChecked()) {
        const std::optional<int> start = readForTick(Edit6, Need::Integer, tickErrorFields);
        if (!start)
            return;
        const std::optional<int> count = readForTick(Edit7, Need::Integer, tickErrorFields);
        if (!count)
            return;
        currentQuestion = presentation::randomQuestion(*start, *count, random);
    } else {
        const int32_t next = presentation::followingQuestion(currentQuestion);
        const std::optional<int> end = readForTick(Edit8, Need::Integer, tickErrorFields);
        if (!end)
            return;
        if (*end >= next) {
            currentQuestion = next;
        } else {
            const std::optional<int> start = readForTick(Edit6, Need::Integer, tickErrorFields);
            if (!start)
                return;
            currentQuestion = *start;
        }
    }

    shownSinceStart = presentation::wrapIncrement(shownSinceStart);
    setFieldText(Edit9, QString::number(shownSinceStart));
    shownSinceRestart = presentation::wrapIncrement(shownSinceRestart);
    setFieldText(Edit13, QString::number(shownSinceRestart));

    But4Click();
}

void TForm1::But_otoClick()
{
    But_oto->setText(But_oto->text() == kSoundOff ? kSoundOn : kSoundOff);
    // The sound server's stream follows the caption, the record of the setting.
    platform::setSoundOn(But_oto->text() == kSoundOn);
}
