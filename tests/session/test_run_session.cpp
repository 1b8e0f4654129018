// The run session without a window: runs started, replaced, released and brought down, and
// input requests served one at a time, seen through a recording display and a scripted prompt.

#include "emulator/ListingLoader.h"
#include "session/InputPrompt.h"
#include "session/RunSession.h"
#include "SessionTestSupport.h"
#include "emulator/emuthread.h"

#include <QSignalSpy>
#include <QTest>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

using TLines = std::vector<std::string>;

// inc; jmp 0 - counts R1 up for ever.
const TLines CountForever = {"16", "9000"};
// inc; out $1; jmp 0 - counts and reports for ever.
const TLines ReportForever = {"16", "f401", "9000"};
// in $1; out $1; stop
const TLines EchoOnce = {"f701", "f401", "00"};

std::unique_ptr<TMemoryStream> Image(const TLines& listing)
{
    return std::make_unique<TMemoryStream>(LoadListing(listing));
}

TLines Repeated(const std::string& line, int times, const TLines& then)
{
    TLines lines(static_cast<std::size_t>(times), line);
    lines.insert(lines.end(), then.begin(), then.end());
    return lines;
}

class TRecordingDisplay : public IRunDisplay {
public:
    std::vector<std::int64_t> highlights;
    int registerCalls = 0;
    TRegisterFile lastRegisters{};
    int memoryCalls = 0;
    std::vector<std::string> output;

    int Calls() const
    {
        return static_cast<int>(highlights.size() + output.size()) + registerCalls + memoryCalls;
    }

    void HighlightAddress(std::int64_t address) override { highlights.push_back(address); }
    void ShowRegisters(const TRegisterFile& registers, std::uint8_t) override
    {
        ++registerCalls;
        lastRegisters = registers;
    }
    void ShowMemory(TMemoryStream&) override { ++memoryCalls; }
    void AppendOutput(const std::string& line) override { output.push_back(line); }
    void RemoveOutput(std::size_t lines) override
    {
        output.resize(output.size() - std::min(lines, output.size()));
    }
};

// Opens and closes like the input dialog; the test answers in its place.
class TScriptedPrompt : public IInputPrompt {
public:
    int opened = 0;
    int dismissed = 0;
    bool open = false;

    void Open() override
    {
        ++opened;
        open = true;
    }
    void Dismiss() override
    {
        ++dismissed;
        open = false;
    }
};

struct TRig {
    explicit TRig(std::chrono::milliseconds stepDelay = 0ms) : session(display)
    {
        session.SetStepDelay(stepDelay);
        session.SetInputPrompt(&prompt);
    }

    void Answer(const std::string& text, bool halt = false)
    {
        prompt.open = false;
        session.AnswerInput(text, halt);
    }

    TRecordingDisplay display;
    TScriptedPrompt prompt;
    TRunSession session;
};

} // namespace

class TestRunSession : public QObject {
    Q_OBJECT
private slots:
    void runShowsItsStepsAndEnds();
    void replacedRunGoesOnAndIsReleasedWhenItEnds();
    void replacedRunsRequestIsNotTheCurrentRuns();
    void currentRunIsKeptAfterItEnds();
    void pauseParksTheWorkerUntilResumed();
    void commandsWithoutRunDoNothing();

    void inputRequestsAreServedInOrder();
    void haltPausesBeforeTheAnswerIsUsed();
    void requestWithoutPromptEndsTheRun();
    void scriptedAnswersComeBeforeThePrompt();

    void shutdownBringsRunsDown_data();
    void shutdownBringsRunsDown();
};

void TestRunSession::runShowsItsStepsAndEnds()
{
    TRig rig;
    QSignalSpy started(&rig.session, &TRunSession::RunStarted);
    QSignalSpy ended(&rig.session, &TRunSession::RunEnded);
    // The end notice comes after every hook call of the run.
    int callsAtEnd = -1;
    connect(&rig.session, &TRunSession::RunEnded, this, [&] { callsAtEnd = rig.display.Calls(); });
    rig.session.Start(Image({"16", "00"}));
    QCOMPARE(started.count(), 1);
    QCOMPARE(rig.session.RunCount(), std::size_t(1));
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(ended.first().first().toBool(), true);

    // inc: highlight, registers, memory; the Stop byte: its highlight only.
    QCOMPARE(rig.display.highlights, (std::vector<std::int64_t>{0, 1}));
    QCOMPARE(rig.display.registerCalls, 1);
    QCOMPARE(rig.display.memoryCalls, 1);
    QCOMPARE(rig.display.lastRegisters[0], 1);
    QCOMPARE(callsAtEnd, 4);
    const TEmulationThread* worker = rig.session.CurrentWorker();
    QVERIFY(worker->Finished());
    QCOMPARE(worker->EndReason(), TEmulationThread::TRunEnd::StopByte);
}

void TestRunSession::replacedRunGoesOnAndIsReleasedWhenItEnds()
{
    TRig rig(1ms);
    QSignalSpy ended(&rig.session, &TRunSession::RunEnded);
    // Thirty increments, one output, stop.
    rig.session.Start(Image(Repeated("16", 30, {"f401", "00"})));
    rig.session.Start(Image(CountForever));
    QCOMPARE(rig.session.RunCount(), std::size_t(2));
    TEmulationThread* current = rig.session.CurrentWorker();

    // The replaced run is not stopped: it reaches its output and its Stop byte.
    QTRY_COMPARE(rig.session.RunCount(), std::size_t(1));
    QCOMPARE(rig.display.output, std::vector<std::string>{"Value: 30"});
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.first().first().toBool(), false);
    QCOMPARE(rig.session.CurrentWorker(), current);
    QVERIFY(!current->Finished());
    // Commands act on the current run only.
    rig.session.Stop();
    QVERIFY(current->StopRequested());
    QTRY_COMPARE(ended.count(), 2);
    QCOMPARE(ended.last().first().toBool(), true);
    QCOMPARE(rig.session.RunCount(), std::size_t(1));
}

void TestRunSession::replacedRunsRequestIsNotTheCurrentRuns()
{
    TRig rig(1ms);
    // Thirty increments, then in $1; out $1; stop: it asks after it has been replaced.
    rig.session.Start(Image(Repeated("16", 30, EchoOnce)));
    // Paused before its first step, the current run makes no calls of its own.
    rig.session.Start(Image(CountForever), true);
    QTRY_VERIFY(rig.prompt.open);
    QCOMPARE(rig.session.WaitingInputs(), std::size_t(1));
    QVERIFY(!rig.session.CurrentRunWaitsForInput());
    rig.Answer("4");
    QTRY_COMPARE(rig.session.RunCount(), std::size_t(1));
    // The replaced run went on showing its own steps as well as its output.
    QCOMPARE(rig.display.output, std::vector<std::string>{"Value: 4"});
    QVERIFY(!rig.display.highlights.empty());

    rig.session.Start(Image(EchoOnce));
    QTRY_VERIFY(rig.session.CurrentRunWaitsForInput());
}

void TestRunSession::currentRunIsKeptAfterItEnds()
{
    TRig rig;
    QSignalSpy ended(&rig.session, &TRunSession::RunEnded);
    QSignalSpy pauses(&rig.session, &TRunSession::PauseChanged);
    rig.session.Start(Image({"00"}));
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(rig.session.RunCount(), std::size_t(1));
    TEmulationThread* worker = rig.session.CurrentWorker();
    QVERIFY(worker && worker->Finished());

    // Pause and Stop still find it.
    rig.session.Pause();
    QVERIFY(rig.session.Paused());
    rig.session.Resume();
    QVERIFY(!rig.session.Paused());
    QCOMPARE(pauses.count(), 2);
    QCOMPARE(pauses.at(0).first().toBool(), true);
    QCOMPARE(pauses.at(1).first().toBool(), false);
    rig.session.Stop();
    QVERIFY(worker->StopRequested());

    // Replacing an ended run releases it at once.
    rig.session.Start(Image(CountForever));
    QCOMPARE(rig.session.RunCount(), std::size_t(1));
    QVERIFY(rig.session.CurrentWorker() != worker);
}

void TestRunSession::pauseParksTheWorkerUntilResumed()
{
    TRig rig(1ms);
    QSignalSpy pauses(&rig.session, &TRunSession::PauseChanged);
    rig.session.Start(Image(CountForever));
    QTRY_VERIFY(rig.display.registerCalls > 2);

    // Pauses nest: two of them need two resumes.
    rig.session.Pause();
    rig.session.Pause();
    QVERIFY(WaitUntilParked(rig.session));
    DeliverQueuedCalls();
    const int calls = rig.display.Calls();
    const std::int32_t r1 = rig.display.lastRegisters[0];
    rig.session.Resume();
    QVERIFY(rig.session.Paused());
    QVERIFY(WaitUntilParked(rig.session));
    DeliverQueuedCalls();
    QCOMPARE(rig.display.Calls(), calls);
    QCOMPARE(rig.display.lastRegisters[0], r1);

    rig.session.Resume();
    QVERIFY(!rig.session.Paused());
    QTRY_VERIFY(rig.display.lastRegisters[0] > r1 + 2);
    QCOMPARE(pauses.count(), 4);
    QCOMPARE(pauses.at(2).first().toBool(), true);
    QCOMPARE(pauses.at(3).first().toBool(), false);
}

void TestRunSession::commandsWithoutRunDoNothing()
{
    TRig rig;
    QSignalSpy pauses(&rig.session, &TRunSession::PauseChanged);
    rig.session.Pause();
    rig.session.Resume();
    rig.session.Stop();
    // An answer nobody asked for goes nowhere.
    rig.session.AnswerInput("5", true);
    QCOMPARE(pauses.count(), 0);
    QVERIFY(!rig.session.Paused());
    QCOMPARE(rig.session.CurrentWorker(), nullptr);
    QCOMPARE(rig.session.RunCount(), std::size_t(0));
}

void TestRunSession::inputRequestsAreServedInOrder()
{
    TRig rig;
    QSignalSpy requested(&rig.session, &TRunSession::InputRequested);
    QSignalSpy answered(&rig.session, &TRunSession::InputAnswered);
    rig.session.Start(Image(EchoOnce));
    QTRY_COMPARE(rig.session.WaitingInputs(), std::size_t(1));
    QCOMPARE(rig.prompt.opened, 1);
    // in $1; stop - asks while the first request is still open.
    rig.session.Start(Image({"f701", "00"}));
    QTRY_COMPARE(rig.session.WaitingInputs(), std::size_t(2));
    DeliverQueuedCalls();
    QCOMPARE(rig.prompt.opened, 1);
    QCOMPARE(requested.count(), 1);

    // The first answer goes to the first asker, which echoes it.
    rig.Answer("7");
    QCOMPARE(answered.count(), 1);
    QCOMPARE(rig.session.WaitingInputs(), std::size_t(1));
    QTRY_COMPARE(rig.display.output, std::vector<std::string>{"Value: 7"});
    QTRY_COMPARE(rig.prompt.opened, 2);
    QCOMPARE(requested.count(), 2);
    rig.Answer("8");
    QTRY_VERIFY(rig.session.CurrentWorker()->Finished());
    QCOMPARE(rig.session.CurrentWorker()->Machine().Registers()[0], 8);
    QCOMPARE(rig.session.WaitingInputs(), std::size_t(0));
    QCOMPARE(answered.count(), 2);
    QTRY_COMPARE(rig.session.RunCount(), std::size_t(1));
    QCOMPARE(rig.prompt.opened, 2);
}

void TestRunSession::haltPausesBeforeTheAnswerIsUsed()
{
    TRig rig;
    QSignalSpy pauses(&rig.session, &TRunSession::PauseChanged);
    rig.session.Start(Image(EchoOnce));
    QTRY_VERIFY(rig.prompt.open);
    rig.Answer("42", true);
    QCOMPARE(pauses.count(), 1);
    QCOMPARE(pauses.first().first().toBool(), true);
    QVERIFY(WaitUntilParked(rig.session));
    DeliverQueuedCalls();
    QVERIFY(rig.display.output.empty());
    QVERIFY(!rig.session.CurrentWorker()->Finished());

    rig.session.Resume();
    QTRY_VERIFY(rig.session.CurrentWorker()->Finished());
    QCOMPARE(rig.display.output, std::vector<std::string>{"Value: 42"});
}

void TestRunSession::requestWithoutPromptEndsTheRun()
{
    TRig rig;
    rig.session.SetInputPrompt(nullptr);
    rig.session.Start(Image(EchoOnce));
    QTRY_VERIFY(rig.session.CurrentWorker()->Finished());
    QCOMPARE(rig.session.CurrentWorker()->EndReason(), TEmulationThread::TRunEnd::Failed);
    QCOMPARE(rig.session.WaitingInputs(), std::size_t(0));
    QVERIFY(rig.display.output.empty());
    QCOMPARE(rig.prompt.opened, 0);
}

void TestRunSession::scriptedAnswersComeBeforeThePrompt()
{
    TRig rig;
    QSignalSpy taken(&rig.session, &TRunSession::ScriptedInputTaken);
    // in $1; in $2; out $1; out $2; in $3; out $3; stop: two answers given, the third asked.
    rig.session.SetScriptedInput({"21", "-4"});
    rig.session.Start(Image({"f701", "f702", "f401", "f402", "f703", "f403", "00"}));
    QTRY_VERIFY(rig.prompt.open);
    QCOMPARE(rig.prompt.opened, 1);
    QCOMPARE(taken.count(), 2);
    QCOMPARE(taken.at(0).first().toString(), QStringLiteral("21"));
    QCOMPARE(taken.at(1).first().toString(), QStringLiteral("-4"));
    rig.Answer("7");
    QTRY_VERIFY(rig.session.CurrentWorker()->Finished());
    QCOMPARE(rig.display.output,
             (std::vector<std::string>{"Value: 21", "Value: -4", "Value: 7"}));

    // The answers were that run's: the next one asks the prompt from its first In.
    rig.session.Start(Image(EchoOnce));
    QTRY_VERIFY(rig.prompt.open);
    QCOMPARE(rig.prompt.opened, 2);
    QCOMPARE(taken.count(), 2);
    rig.Answer("5");
    QTRY_VERIFY(rig.session.CurrentWorker()->Finished());
    QCOMPARE(rig.display.output.back(), std::string("Value: 5"));

    // A replaced run keeps its own answers; the run replacing it has none.
    rig.session.SetScriptedInput({"8"});
    rig.session.Start(Image(Repeated("16", 30, EchoOnce)));
    rig.session.Start(Image(CountForever), true);
    QTRY_COMPARE(rig.session.RunCount(), std::size_t(1));
    QCOMPARE(rig.display.output.back(), std::string("Value: 8"));
    QCOMPARE(rig.prompt.opened, 2);
}

void TestRunSession::shutdownBringsRunsDown_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("promptOpen");
    QTest::addRow("running") << "running" << false;
    QTest::addRow("paused") << "paused" << false;
    QTest::addRow("waiting for input") << "input" << true;
    QTest::addRow("halted in its input") << "halted" << false;
    QTest::addRow("a replaced run and a paused one") << "replaced" << false;
    QTest::addRow("two waiting for input") << "two inputs" << true;
}

void TestRunSession::shutdownBringsRunsDown()
{
    QFETCH(QString, state);
    QFETCH(bool, promptOpen);
    // The product's pacing, so that a worker is usually asleep in its step delay.
    TRig rig(TEmulationThread::DefaultStepDelay);
    if (state == QLatin1String("input") || state == QLatin1String("halted")) {
        rig.session.Start(Image(EchoOnce));
        QTRY_VERIFY(rig.prompt.open);
        if (state == QLatin1String("halted"))
            rig.Answer("3", true);
    } else if (state == QLatin1String("two inputs")) {
        rig.session.Start(Image(EchoOnce));
        rig.session.Start(Image(EchoOnce));
        QTRY_COMPARE(rig.session.WaitingInputs(), std::size_t(2));
    } else {
        rig.session.Start(Image(ReportForever));
        if (state == QLatin1String("replaced"))
            rig.session.Start(Image(ReportForever));
        QTRY_VERIFY(rig.display.output.size() >= 2);
        if (state != QLatin1String("running"))
            rig.session.Pause();
    }
    QCOMPARE(rig.prompt.open, promptOpen);

    rig.session.Shutdown();
    QCOMPARE(rig.session.RunCount(), std::size_t(0));
    QCOMPARE(rig.session.CurrentWorker(), nullptr);
    QCOMPARE(rig.session.WaitingInputs(), std::size_t(0));
    QVERIFY(!rig.prompt.open);
    QCOMPARE(rig.prompt.dismissed, promptOpen ? 1 : 0);
    // The workers are joined: calls they queued before are delivered now and do nothing.
    const int calls = rig.display.Calls();
    DeliverQueuedCalls();
    QCOMPARE(rig.display.Calls(), calls);
    // A late answer goes nowhere.
    rig.session.AnswerInput("1", false);
    QCOMPARE(rig.display.Calls(), calls);
}

QTEST_MAIN(TestRunSession)
#include "test_run_session.moc"
