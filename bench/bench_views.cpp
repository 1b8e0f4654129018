// How long the window takes to show the machine: one memory refresh with the repaint it
// causes, for small and large images, and a whole paced run of the sample program through
// the real window, worker and hooks. Then a counted loop of over a hundred million steps run
// at "No delay" through the window, against the same image on the bare machine loop that
// mirelo-cli runs, with the longest the window's thread went without handling events
// meanwhile (a Pause must act at once).

#include "console/Unit2.h"
#include "controls/CustButton.h"
#include "editor/CodeEditor.h"
#include "emulator/Machine.h"
#include "emulator/MemoryStream.h"
#include "emulator/WindowHooks.h"
#include "session/RunSession.h"
#include "views/MemoryGridModel.h"
#include "views/MemoryGridView.h"
#include "views/RegisterListView.h"
#include "window/mirelo_main.h"
#include "window/RunSpeedChoice.h"
#include "window/RunStatusBar.h"
#include "window/WindowCommands.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

double MedianMs(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// A window showing the memory page with an image of the given size.
struct TRefreshCase {
    std::size_t size;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>();
    TMemoryStream image;
    std::vector<double> samples;

    explicit TRefreshCase(std::size_t bytes) : size(bytes), image(RandomBytes(bytes))
    {
        form->show();
        (void)QTest::qWaitForWindowExposed(form.get());
        form->SelectPage(3);
        form->PageControl1->StringGrid1->SizeFor(image.Size());
        form->ShowMemory(image);
        QApplication::processEvents();
    }

    static std::vector<std::uint8_t> RandomBytes(std::size_t n)
    {
        std::mt19937 random(42);
        std::vector<std::uint8_t> bytes(n);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random());
        return bytes;
    }

    // One show memory plus the repaint of the visible cells that it causes.
    double Refresh(int round)
    {
        image.Bytes()[static_cast<std::size_t>(round) % size] ^= 0x5A; // a step wrote something
        QElapsedTimer clock;
        clock.start();
        form->ShowMemory(image);
        form->PageControl1->StringGrid1->viewport()->repaint();
        return static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
};

// Closes a window whose runs go on at the product's pacing, one replaced and still running,
// the current one paused, as a user may leave them; returns how long the close took.
double CloseWithRunsMs()
{
    TForm1 form;
    TForm2 dialog;
    form.SetInputDialog(&dialog);
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    // inc; out $1; jmp 0 - counts and reports for ever.
    form.PageControl1->Memo2->setPlainText(QStringLiteral("16\nf401\n9000"));
    form.CustButton3Click();
    form.CustButton3Click();
    (void)QTest::qWaitFor([&form] { return form.Memo3->toPlainText().count(QLatin1Char('\n')) >= 1; });
    form.CustButton4Click();
    QElapsedTimer clock;
    clock.start();
    form.close();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// R1 := 255 + 255, times 255, times 255, times 2 = 66325500; then Dec and Jig back to the Dec
// until R1 reaches 0: 132651005 steps, the one at the Stop byte included.
const QString CountedLoopProgram = QStringLiteral("add 255,255\n"
                                                  "mul 255\n"
                                                  "mul 255\n"
                                                  "mul 2\n"
                                                  ":loop\n"
                                                  "dec\n"
                                                  "jig :loop,:end\n"
                                                  ":end\n"
                                                  "stop\n");
constexpr std::uint64_t CountedLoopSteps = 132651005;

// What one run of the loop ended with, and how long it took by the wall clock.
struct TLoopRun {
    std::uint64_t steps = 0;
    TRegisterFile registers{};
    std::uint8_t current = 0;
    bool atStopByte = false;
    double ms = 0;

    bool SameEnd(const TLoopRun& other) const
    {
        return steps == other.steps && registers == other.registers &&
               current == other.current && atStopByte && other.atStopByte;
    }
};

// The hooks of mirelo-cli's run without Out or In: nothing on any step.
struct TQuietHooks {
    void Position(std::int64_t) {}
    void Output(const std::string&) {}
    std::string Input() { return {}; }
    void Delay() {}
    void Registers(const TRegisterFile&, std::uint8_t) {}
    void Memory(TMemoryStream&) {}
};

// The image on the bare machine loop, as mirelo-cli runs it.
TLoopRun RunMachineLoop(const std::vector<std::uint8_t>& bytes)
{
    TMemoryStream image(bytes);
    TMachine machine(image);
    TQuietHooks hooks;
    QElapsedTimer clock;
    clock.start();
    machine.Reset();
    TLoopRun run;
    run.steps = machine.Run(hooks, std::numeric_limits<std::uint64_t>::max());
    run.ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    run.registers = machine.Registers();
    run.current = machine.Current();
    run.atStopByte = machine.EndReason() == TMachineEnd::StopByte;
    return run;
}

// The Run → Speed action for the first speed that `wanted` accepts.
template <class TWanted>
QAction* SpeedAction(const TForm1& form, TWanted wanted)
{
    const auto speeds = TRunSpeedChoice::Speeds();
    for (QAction* action : form.Commands().SpeedGroup->actions()) {
        const auto index = static_cast<std::size_t>(action->data().toULongLong());
        if (index < speeds.size() && wanted(speeds[index].Pace))
            return action;
    }
    return nullptr;
}

// A window run at "No delay" of the listing the window holds, from the click on "Emulate"
// until the run has ended; `longestGapMs` grows to the longest time the window's thread went
// between two turns of a one-millisecond timer meanwhile.
std::optional<TLoopRun> RunUnpacedInWindow(TForm1& form, double& longestGapMs)
{
    TRunSession& session = form.Session();
    QEventLoop loop;
    bool ended = false;
    const QMetaObject::Connection endedConnection =
        QObject::connect(&session, &TRunSession::RunEnded, &loop, [&](bool current) {
            if (!current)
                return;
            ended = true;
            loop.quit();
        });
    QElapsedTimer clock;
    qint64 lastTurnNs = 0;
    QTimer turns;
    turns.setTimerType(Qt::PreciseTimer);
    turns.setInterval(1);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGapMs = std::max(longestGapMs, static_cast<double>(now - lastTurnNs) / 1e6);
        lastTurnNs = now;
    });
    clock.start();
    turns.start();
    QTest::mouseClick(form.Panel3->CustButton3, Qt::LeftButton, Qt::NoModifier,
                      form.Panel3->CustButton3->rect().center());
    if (!ended)
        loop.exec();
    TLoopRun run;
    run.ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    // The turn the run ended in counts as well.
    longestGapMs =
        std::max(longestGapMs, static_cast<double>(clock.nsecsElapsed() - lastTurnNs) / 1e6);
    turns.stop();
    QObject::disconnect(endedConnection);
    const TEmulationThread* worker = session.CurrentWorker();
    if (!ended || !worker || !worker->Finished())
        return std::nullopt;
    run.steps = worker->StepCount();
    run.registers = worker->Machine().Registers();
    run.current = worker->Machine().Current();
    run.atStopByte = worker->EndReason() == TEmulationThread::TRunEnd::StopByte;
    return run;
}

void PrintLoopRun(const char* name, int round, const TLoopRun& run)
{
    std::printf("no-delay round %d, %-6s %llu steps in %.1f ms, R1 = %d, %s\n", round, name,
                static_cast<unsigned long long>(run.steps), run.ms,
                static_cast<int>(run.registers[0]),
                run.atStopByte ? "at the Stop byte" : "NOT at the Stop byte");
}

} // namespace

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The windows' settings and recovery texts stay out of the user's folders.
    const QTemporaryDir userFolders;
    qputenv("XDG_CONFIG_HOME", (userFolders.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (userFolders.path() + QStringLiteral("/data")).toUtf8());
    QApplication application(argc, argv);

    // The sizes take turns round by round, so that a busy machine slows all of them alike.
    std::vector<std::unique_ptr<TRefreshCase>> cases;
    for (std::size_t size : {std::size_t(256), std::size_t(4096), std::size_t(65536)})
        cases.push_back(std::make_unique<TRefreshCase>(size));
    constexpr int Warmup = 20;
    constexpr int Rounds = 301;
    for (int round = 0; round < Warmup + Rounds; ++round) {
        for (auto& c : cases) {
            const double ms = c->Refresh(round);
            if (round >= Warmup)
                c->samples.push_back(ms);
        }
    }
    const char* const names[] = {"256 B", "4 KiB", "64 KiB"};
    std::vector<double> medians;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        medians.push_back(MedianMs(cases[i]->samples));
        std::printf("show memory + repaint, %s: %.4f ms (median of %d)\n", names[i], medians[i],
                    Rounds);
    }
    std::printf("refresh ratio 64KiB/256B: %.3f\n", medians[2] / medians[0]);
    cases.clear();

    TForm1 form;
    TForm2 dialog;
    form.SetInputDialog(&dialog);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::printf("window not exposed\n");
        return 1;
    }

    // The paced run: the sample program, translated, then "Emulate" with the product's
    // 50 ms step delay. Every step of the sample that refreshes memory took the delay; the
    // one refresh that "Emulate" itself makes before the run is not counted.
    form.CustButton1Click();
    int refreshes = -1;
    QObject::connect(form.MemoryGrid(), &QAbstractItemModel::dataChanged,
                     [&refreshes] { ++refreshes; });
    // The status bar follows every step of the run; its label repaints whenever its text changes.
    int statusTexts = 0;
    QString lastStatus;
    auto* runStatus = form.StatusBar1->findChild<QLabel*>(QStringLiteral("RunStatus"));
    QEventLoop loop;
    QObject::connect(&form.Session(), &TRunSession::RunEnded, &loop, &QEventLoop::quit);
    QObject::connect(&form.Session(), &TRunSession::Stepped, [&] {
        if (runStatus->text() != lastStatus) {
            lastStatus = runStatus->text();
            ++statusTexts;
        }
    });
    QElapsedTimer clock;
    double firstHighlightMs = -1;
    QObject::connect(form.PageControl1->StringGrid1->selectionModel(), &QItemSelectionModel::selectionChanged,
                     [&] {
                         if (firstHighlightMs < 0)
                             firstHighlightMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
                     });
    clock.start();
    QTest::mouseClick(form.Panel3->CustButton3, Qt::LeftButton, Qt::NoModifier,
                      form.Panel3->CustButton3->rect().center());
    loop.exec();
    const double runMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const double pacedMs = refreshes * 50.0;
    std::printf("paced run of the sample: %d delayed steps, %.1f ms (last register line: %s)\n",
                refreshes, runMs,
                form.PageControl1->ListBox1->count() > 2 ? qPrintable(form.PageControl1->ListBox1->item(2)->text()) : "-");
    std::printf("first highlight after %.1f ms\n", firstHighlightMs);
    // The run executed the editor's own translation, so both editors marked its lines.
    std::printf("executing-line marks: program line %d, listing line %d\n",
                form.PageControl1->Memo1->ExecutingLine() + 1, form.PageControl1->Memo2->ExecutingLine() + 1);
    std::printf("status bar: %d texts during the run, last \"%s\"\n", statusTexts,
                qPrintable(form.StatusBar1->RunText()));
    std::printf("paced ratio: %.4f\n", runMs / pacedMs);

    // The counted loop at "No delay": translated in the window, which then runs the listing
    // it shows; the bare machine loop runs the very same bytes. They take turns round by
    // round, so that a busy machine slows both alike, and the fastest round of each counts;
    // the event-loop gap is the longest of all the window's rounds.
    form.PageControl1->Memo1->setPlainText(CountedLoopProgram);
    form.CustButton1Click();
    const std::vector<std::uint8_t> loopImage =
        TForm1::LoadListing(form.PageControl1->Memo2->toPlainText());
    QAction* noDelay = SpeedAction(form, [](const TRunPace& pace) { return pace.Unpaced; });
    QAction* productPace =
        SpeedAction(form, [](const TRunPace& pace) { return pace == TRunPace{}; });
    if (!noDelay || !productPace) {
        std::printf("MISMATCH: no \"No delay\" or product-pace action in Run > Speed\n");
        return 1;
    }
    noDelay->trigger();
    if (!form.Session().Pace().Unpaced) {
        std::printf("MISMATCH: \"No delay\" left the session paced\n");
        return 1;
    }
    constexpr int LoopRounds = 3;
    double bestWindowMs = std::numeric_limits<double>::max();
    double bestMachineMs = std::numeric_limits<double>::max();
    double longestGapMs = 0;
    for (int round = 1; round <= LoopRounds; ++round) {
        const TLoopRun machine = RunMachineLoop(loopImage);
        const std::optional<TLoopRun> window = RunUnpacedInWindow(form, longestGapMs);
        if (!window) {
            std::printf("MISMATCH: the window's run did not end\n");
            return 1;
        }
        PrintLoopRun("window", round, *window);
        PrintLoopRun("cli", round, machine);
        if (!window->SameEnd(machine) || machine.steps != CountedLoopSteps) {
            std::printf("MISMATCH: the window's run and the machine loop ended differently "
                        "(%llu and %llu steps, %llu expected)\n",
                        static_cast<unsigned long long>(window->steps),
                        static_cast<unsigned long long>(machine.steps),
                        static_cast<unsigned long long>(CountedLoopSteps));
            return 1;
        }
        bestWindowMs = std::min(bestWindowMs, window->ms);
        bestMachineMs = std::min(bestMachineMs, machine.ms);
    }
    // The windows made later start at the product's pace again.
    productPace->trigger();
    std::printf("no-delay run, fastest of %d: window %.1f ms, cli %.1f ms\n", LoopRounds,
                bestWindowMs, bestMachineMs);
    std::printf("no-delay window/cli ratio: %.2f\n", bestWindowMs / bestMachineMs);
    std::printf("longest event-loop gap during the no-delay run: %.1f ms\n", longestGapMs);

    std::vector<double> closeSamples;
    for (int round = 0; round < 5; ++round)
        closeSamples.push_back(CloseWithRunsMs());
    std::printf("close with a running and a paused run: median %.1f ms, slowest %.1f ms (of %zu)\n",
                MedianMs(closeSamples), *std::max_element(closeSamples.begin(), closeSamples.end()),
                closeSamples.size());
    return 0;
}
