// Cost of one presentation tick with 500,000 questions in the table: the
// median and the 99th percentile of Timer1Timer, over every kind of tick
// (counting only, question refresh, answer flash), for a few presets and both
// orders. The window is shown and the event loop runs between ticks, as in
// the program, but only the handler itself is timed: by the wall clock and by
// the thread's own CPU clock. On a busy machine the wall clock also counts
// the time the thread waited for a processor; the CPU clock counts only the
// handler's work.
//
//   bench_tick [questions]      (default 500000)

#include "app/Un_subri1.h"
#include "widgets/StringGrid.h"
#include "platform/platform.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

enum Kind { Counting, Refresh, Flash, KindCount };
const char* const kKindNames[KindCount] = {"counting", "refresh", "flash"};

double nowUs()
{
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double threadCpuUs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(p * (values.size() - 1) + 0.5));
    return values[index];
}

void printRow(const char* name, const std::vector<double>& wall, const std::vector<double>& cpu)
{
    std::printf("%-30s %10.1f %10.1f %10.1f   %10.1f %10.1f %10.1f   (%zu ticks)\n", name, percentile(wall, 0.5),
                percentile(wall, 0.99), percentile(wall, 1.0), percentile(cpu, 0.5), percentile(cpu, 0.99),
                percentile(cpu, 1.0), wall.size());
}

void fillTable(TForm1& form, int questions)
{
    form.extendTableHeader(QStringLiteral("bench"));
    form.StringGrid2->grid()->beginBulkUpdate();
    for (int i = 1; i <= questions; ++i)
        form.appendQuestionRow(QStringLiteral("第%1問　次の語の意味を答えよ：ベンチマーク用の問題文 %1").arg(i),
                               QStringLiteral("正解 %1").arg(i), QStringLiteral("bench"));
    form.StringGrid2->grid()->endBulkUpdate();
    form.finishAppend();
}

void setRhythm(TForm1& form, int span, int period)
{
    const QSignalBlocker blockSpan(form.Edit4);
    const QSignalBlocker blockPeriod(form.Edit5);
    form.Edit4->setText(QString::number(span));
    form.Edit5->setText(QString::number(period));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int questions = argc > 1 ? std::atoi(argv[1]) : 500000;

    TForm1 form;
    const double fillStart = nowUs();
    fillTable(form, questions);
    std::printf("table: %d questions appended in %.0f ms (%d rows)\n", questions,
                (nowUs() - fillStart) / 1000.0, form.StringGrid2->rowCount());
    form.show();
    QApplication::processEvents();

    struct Setting {
        const char* name;
        int span;
        int period;
        bool random;
    };
    const Setting settings[] = {
        {"alpha 2/4, random", 2, 4, true},
        {"alpha 2/4, sequential", 2, 4, false},
        {"check 5/50, random", 5, 50, true},
        {"subliminal 1/40, sequential", 1, 40, false},
    };
    constexpr int kTicks = 20000;

    std::vector<double> all, allCpu;
    std::vector<double> byKind[KindCount], byKindCpu[KindCount];
    std::printf("%-30s %33s   %33s\n", "", "wall clock", "thread CPU clock");
    std::printf("%-30s %10s %10s %10s   %10s %10s %10s\n", "setting", "p50 us", "p99 us", "max us", "p50 us",
                "p99 us", "max us");
    for (const Setting& setting : settings) {
        setRhythm(form, setting.span, setting.period);
        (setting.random ? form.RadioButton2 : form.RadioButton1)->setChecked(true);
        form.Button16Click();
        std::vector<double> costs, cpuCosts;
        costs.reserve(kTicks);
        cpuCosts.reserve(kTicks);
        for (int i = 0; i < kTicks; ++i) {
            const int count = form.restartTickCount + 1;
            const Kind kind = count % setting.span != 0 ? Counting : count % setting.period != 0 ? Refresh : Flash;
            const double cpuStart = threadCpuUs();
            const double start = nowUs();
            form.Timer1Timer();
            const double cost = nowUs() - start;
            const double cpuCost = threadCpuUs() - cpuStart;
            costs.push_back(cost);
            cpuCosts.push_back(cpuCost);
            byKind[kind].push_back(cost);
            byKindCpu[kind].push_back(cpuCost);
            if (i % 4 == 0)
                QApplication::processEvents(); // paint now and then, as the event loop would
        }
        all.insert(all.end(), costs.begin(), costs.end());
        allCpu.insert(allCpu.end(), cpuCosts.begin(), cpuCosts.end());
        printRow(setting.name, costs, cpuCosts);
    }
    for (int kind = 0; kind < KindCount; ++kind)
        printRow(kKindNames[kind], byKind[kind], byKindCpu[kind]);
    printRow("all ticks", all, allCpu);
    std::printf("last question shown: %d (of %d)\n", form.currentQuestion, questions);
    return 0;
}
