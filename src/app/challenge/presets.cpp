// Speed presets and the rules that keep the rhythm fields consistent: the
// question period aligned to the answer span, the step and minimum of the
// question-period up-down, and the step ladder of the tick-interval up-down.

#include "app/Un_subri1.h"

#include "display/arrangement.h"
#include "widgets/UpDown.h"
#include "presentation/rhythm.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

struct SpeedPreset {
    int tickInterval;   // ms
    int answerSpan;     // ticks
    int questionPeriod; // ticks
    bool overlay;       // subliminal: the answer is flashed over the question
};

// Every question period is a multiple of its answer span. On the right: the
// button, and the question cycle and answer time at about 25 ms a tick.
//                                  interval  span  period  overlay
constexpr SpeedPreset kAlpha{              1,    2,     4, false}; // α波設定: 100 ms (10 Hz), answer 50 ms
constexpr SpeedPreset kTheta{              1,    3,     6, false}; // θ波設定: 150 ms (6.7 Hz), answer 75 ms
constexpr SpeedPreset kFiveHertz{          1,    4,     8, false}; // 5Hz: 200 ms, answer 100 ms
constexpr SpeedPreset kFourHertz{          1,    5,    10, false}; // 4Hz: 250 ms, answer 125 ms
constexpr SpeedPreset kSubliminal{         1,    1,    40, true};  // 本ｻﾌﾞﾘﾐﾅﾙ: 1 s, answer 25 ms
constexpr SpeedPreset kNearSubliminal{     1,    2,    60, true};  // 準: 1.5 s, answer 50 ms
constexpr SpeedPreset kSubliminalCheck{    1,    4,    80, true};  // 確: 2 s, answer 100 ms
constexpr SpeedPreset kCheckFaster{        1,    2,    30, false}; // 確認しよう 速速: 0.75 s, answer 50 ms
constexpr SpeedPreset kCheckFast{          1,    3,    39, false}; // 確認しよう 速: 0.975 s, answer 75 ms
constexpr SpeedPreset kCheck{              1,    5,    50, false}; // 確認しよう: 1.25 s, answer 125 ms
constexpr SpeedPreset kCheckSlow{          1,   10,    70, false}; // 確認しよう 遅: 1.75 s, answer 250 ms
constexpr SpeedPreset kCheckSlower{        1,   24,   120, false}; // 確認しよう 遅遅: 3 s, answer 600 ms
constexpr SpeedPreset kLearnFaster{        1,   15,    60, false}; // 暗記っちゃえ 速速: 1.5 s, answer 375 ms
constexpr SpeedPreset kLearnFast{          1,   30,    90, false}; // 暗記っちゃえ 速: 2.25 s, answer 750 ms
constexpr SpeedPreset kLearn{              1,   60,   120, false}; // 暗記っちゃえ: 3 s, answer 1.5 s
constexpr SpeedPreset kLearnSlow{          1,   90,   180, false}; // 暗記っちゃえ 遅: 4.5 s, answer 2.25 s
constexpr SpeedPreset kLearnSlower{        1,  200,   400, false}; // 暗記っちゃえ 遅遅: 10 s, answer 5 s
constexpr SpeedPreset kStandard{          50,    5,    25, false}; // 標準設定 (hidden): 1.25 s at 50 ms a tick

// Each number goes first to its up-down, then to its field; either write
// runs the field's change handler when it really changes something. Then
// the cycle restarts, and a subliminal preset lays the answer over the
// question (from the separate top the toggle always ends in the overlay).
void applySpeedPreset(TForm1& form, const SpeedPreset& preset)
{
    const auto set = [&form](UpDown* upDown, QLineEdit* field, int value) {
        upDown->setPosition(value);
        form.setFieldText(field, QString::number(value));
    };
    set(form.UpDown1, form.Ed1, preset.tickInterval);
    set(form.UpDown3, form.Edit4, preset.answerSpan);
    set(form.UpDown2, form.Edit5, preset.questionPeriod);
    form.Button1Click();
    if (preset.overlay) {
        form.Memo3->move(form.Memo3->x(), display::kSeparateAnswerTop);
        form.Button28Click();
    }
}

// The question-period up-down steps by the answer span and never goes below
// twice the answer span.
void stepByAnswerSpan(TForm1& form, int answerSpan)
{
    form.UpDown2->setIncrement(answerSpan);
    form.UpDown2->setMinimum(2 * answerSpan);
}

// While it is held, the question period written by the alignment is not taken
// as a new stored question period. The flag lives in Edit4's tag; it is
// cleared again even when the alignment fails, so a failure cannot leave the
// question-period change switched off for the rest of the run.
class AlignmentGuard {
public:
    explicit AlignmentGuard(QLineEdit* flagHolder) : flagHolder_(flagHolder)
    {
        flagHolder_->setProperty("tag", 1);
    }
    ~AlignmentGuard() { flagHolder_->setProperty("tag", 0); }
    AlignmentGuard(const AlignmentGuard&) = delete;
    AlignmentGuard& operator=(const AlignmentGuard&) = delete;

    static bool held(const QLineEdit* flagHolder) { return flagHolder->property("tag").toInt() == 1; }

private:
    QLineEdit* flagHolder_;
};

// Gives the question-period up-down the multiple of the answer span nearest to
// the stored question period. Always from the stored value, so stepping the
// answer span away and back returns to the period the user chose. The field is
// written only when the value differs from the up-down's recorded position.
void alignQuestionPeriod(TForm1& form, int answerSpan)
{
    form.UpDown2->setPosition(presentation::alignedQuestionPeriod(form.storedQuestionPeriod, answerSpan));
}

} // namespace

void TForm1::Button6Click() { applySpeedPreset(*this, kAlpha); }
void TForm1::Button5Click() { applySpeedPreset(*this, kTheta); }
void TForm1::Button8Click() { applySpeedPreset(*this, kFiveHertz); }
void TForm1::Button9Click() { applySpeedPreset(*this, kFourHertz); }
void TForm1::Button7Click() { applySpeedPreset(*this, kSubliminal); }
void TForm1::Button29Click() { applySpeedPreset(*this, kNearSubliminal); }
void TForm1::Button32Click() { applySpeedPreset(*this, kSubliminalCheck); }
void TForm1::Button23Click() { applySpeedPreset(*this, kCheckFaster); }
void TForm1::Button24Click() { applySpeedPreset(*this, kCheckFast); }
void TForm1::Button25Click() { applySpeedPreset(*this, kCheck); }
void TForm1::Button26Click() { applySpeedPreset(*this, kCheckSlow); }
void TForm1::Button27Click() { applySpeedPreset(*this, kCheckSlower); }
void TForm1::Button18Click() { applySpeedPreset(*this, kLearnFaster); }
void TForm1::Button19Click() { applySpeedPreset(*this, kLearnFast); }
void TForm1::Button20Click() { applySpeedPreset(*this, kLearn); }
void TForm1::Button21Click() { applySpeedPreset(*this, kLearnSlow); }
void TForm1::Button22Click() { applySpeedPreset(*this, kLearnSlower); }
void TForm1::Button10Click() { applySpeedPreset(*this, kStandard); }

// The question period changed (Edit5's text, by anyone): it becomes the stored
// question period, unless the alignment itself is writing it.
void TForm1::seigou_toriClick()
{
    if (AlignmentGuard::held(Edit4))
        return;
    storedQuestionPeriod = intOf(Edit5);
    stepByAnswerSpan(*this, UpDown3->position());
}

// The answer span changed (Edit4's text): align the question period to it.
void TForm1::seigou_tori2Click()
{
    const AlignmentGuard aligning(Edit4);
    const int answerSpan = UpDown3->position();
    stepByAnswerSpan(*this, answerSpan);
    alignQuestionPeriod(*this, answerSpan);
}

// The mouse moved over the rhythm fields: align again, without touching the
// step or the minimum.
void TForm1::Edit5MouseMove()
{
    const AlignmentGuard aligning(Edit4);
    alignQuestionPeriod(*this, UpDown3->position());
}

// A step of the tick-interval up-down was asked for, its size already fixed:
// choose the size of the next step from the value before this one, then
// restart at the interval shown before this step.
void TForm1::UpDown1Changing()
{
    UpDown1->setIncrement(presentation::tickIntervalStep(UpDown1->position()));
    Button1Click();
}

// Reveals the tick-interval field and its up-down for machines whose ticks
// are shorter than the rhythms assume.
void TForm1::Edit10DblClick()
{
    Ed1->show();
    UpDown1->show();
}
