// Finding a fault in a run through the real window: breakpoints set with F9 and the gutter,
// Run to Cursor, Step Back and the pace, with what the status bar, the pages and the output
// pane show.

#include "editor/CodeEditor.h"
#include "session/RunSession.h"
#include "window/ProgramPages.h"
#include "window/RunStatusBar.h"
#include "window/WindowCommands.h"
#include "SessionTestSupport.h"
#include "WorkbenchTestSupport.h"
#include "emulator/emuthread.h"

#include <QAction>
#include <QActionGroup>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

namespace {

// R2 counts five passes down; each pass adds one to R1 and sends it.
const QString FivePasses = QStringLiteral(
    "mov $2,5\n:loop\nset 1\ninc\nout $1\nset 2\ndec\njig :loop,:end\n:end\nstop");
constexpr int IncLine = 3; // from 0: "inc"

void PutCursorOnLine(TCodeEditor& editor, int line)
{
    editor.setFocus();
    QTextCursor cursor(editor.document()->findBlockByNumber(line));
    editor.setTextCursor(cursor);
}

// The run shows this status and waits, all it did shown.
bool WaitForStatus(const TForm1& form, const QString& text)
{
    return QTest::qWaitFor([&] { return form.StatusBar1->RunText() == text; }, 5000) &&
           (!form.Session().Going() || WaitUntilParked(form.Session()));
}

QAction* SpeedAction(const TForm1& form, const QString& text)
{
    for (QAction* action : form.Commands().SpeedGroup->actions())
        if (action->text().remove(QLatin1Char('&')) == text)
            return action;
    return nullptr;
}

} // namespace

class TestWorkbenchDebug : public QObject {
    Q_OBJECT
private slots:
    void breakpointHoldsOnEveryPass_data();
    void breakpointHoldsOnEveryPass();
    void breakpointMovesWithAnEditAbove();
    void runToCursorAndStepKeepThePage();
    void stepBackTakesTheOutputLineBack();
    void noDelayRunPausesWithEveryLine();
    void speedIsRemembered();
};

void TestWorkbenchDebug::breakpointHoldsOnEveryPass_data()
{
    QTest::addColumn<QString>("speed");
    QTest::newRow("50 ms") << QStringLiteral("50 ms");
    QTest::newRow("no delay") << QStringLiteral("No delay");
}

void TestWorkbenchDebug::breakpointHoldsOnEveryPass()
{
    QFETCH(QString, speed);
    TWorkbench bench;
    TForm1& form = *bench.form;
    SpeedAction(form, speed)->trigger();
    form.Session().SetStepDelay(std::chrono::milliseconds(0));
    TCodeEditor& program = *form.PageControl1->Memo1;
    program.setPlainText(FivePasses);
    PutCursorOnLine(program, IncLine);
    QTest::keyClick(&program, Qt::Key_F9);
    QCOMPARE(program.BreakpointLines(), QList<int>{IncLine});
    form.Commands().TranslateAndEmulateAction->trigger();
    // Two steps before the loop, six a pass.
    for (int pass = 1; pass <= 5; ++pass) {
        const int steps = 2 + 6 * (pass - 1);
        QVERIFY2(WaitForStatus(form, QStringLiteral("Paused at breakpoint on line 4 after %1 steps")
                                         .arg(steps)),
                 qPrintable(form.StatusBar1->RunText()));
        QCOMPARE(form.Commands().PauseAction->text(), QStringLiteral("&Resume"));
        QCOMPARE(RegisterLines(form).first(), QStringLiteral("R1: %1 *").arg(pass - 1));
        QCOMPARE(OutputLines(form).size(), pass - 1);
        form.Commands().PauseAction->trigger();
    }
    QVERIFY(WaitForCurrentRunEnd(form));
    QCOMPARE(OutputLines(form).size(), 5);
}

void TestWorkbenchDebug::breakpointMovesWithAnEditAbove()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    TCodeEditor& program = *form.PageControl1->Memo1;
    program.setPlainText(FivePasses);
    QVERIFY(program.ToggleBreakpoint(IncLine));
    QTextCursor top(program.document());
    top.insertText(QStringLiteral("; two lines\n\n"));
    QCOMPARE(program.BreakpointLines(), QList<int>{IncLine + 2});
    // A label gives no bytes: refused, with the reason in the status bar.
    QVERIFY(!program.ToggleBreakpoint(IncLine));
    QVERIFY(form.StatusBar1->currentMessage().contains(QStringLiteral("Line 4 gives no bytes")));
    form.Commands().TranslateAndEmulateAction->trigger();
    QVERIFY2(WaitForStatus(form, QStringLiteral("Paused at breakpoint on line 6 after 2 steps")),
             qPrintable(form.StatusBar1->RunText()));
}

void TestWorkbenchDebug::runToCursorAndStepKeepThePage()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    TCodeEditor& program = *form.PageControl1->Memo1;
    program.setPlainText(FivePasses);
    form.CustButton1Click();
    form.SelectPage(TProgramPages::PageAsm);
    PutCursorOnLine(program, IncLine + 1); // "out $1"
    QTest::keyClick(&program, Qt::Key_F10, Qt::ControlModifier);
    QVERIFY2(WaitForStatus(form, QStringLiteral("Paused at breakpoint on line 5 after 3 steps")),
             qPrintable(form.StatusBar1->RunText()));
    QCOMPARE(form.PageControl1->currentIndex(), TProgramPages::PageAsm);
    QCOMPARE(program.ExecutingLine(), IncLine);
    QVERIFY2(program.BreakpointLines().isEmpty(), "Run to Cursor sets no breakpoint of its own");
    form.Commands().StepAction->trigger();
    QVERIFY(WaitForStatus(form, QStringLiteral("Paused after 4 steps")));
    QTRY_COMPARE(OutputLines(form), QStringList{QStringLiteral("Value: 1")});
    QCOMPARE(form.PageControl1->currentIndex(), TProgramPages::PageAsm);
    // Resumed, the run does not come back to the one-time target.
    form.Commands().PauseAction->trigger();
    QVERIFY(WaitForCurrentRunEnd(form));

    // Step without a run starts one paused, on the page the student is on.
    form.Commands().StepAction->trigger();
    QVERIFY(WaitForStatus(form, QStringLiteral("Paused after 0 steps")));
    QCOMPARE(form.PageControl1->currentIndex(), TProgramPages::PageAsm);
}

void TestWorkbenchDebug::stepBackTakesTheOutputLineBack()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    TCodeEditor& program = *form.PageControl1->Memo1;
    program.setPlainText(FivePasses);
    QVERIFY(program.ToggleBreakpoint(IncLine + 2)); // "set 2", after the Out
    QVERIFY(!form.Commands().StepBackAction->isEnabled());
    form.Commands().TranslateAndEmulateAction->trigger();
    QVERIFY(WaitForStatus(form, QStringLiteral("Paused at breakpoint on line 6 after 4 steps")));
    QVERIFY(form.Commands().StepBackAction->isEnabled());
    const QStringList registersHeld = RegisterLines(form);
    QTest::keyClick(&program, Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY(WaitForStatus(form, QStringLiteral("Paused after 3 steps")));
    QVERIFY(OutputLines(form).isEmpty());
    QCOMPARE(program.ExecutingLine(), IncLine);
    form.Commands().StepAction->trigger();
    QVERIFY(WaitForStatus(form, QStringLiteral("Paused after 4 steps")));
    QTRY_COMPARE(OutputLines(form), QStringList{QStringLiteral("Value: 1")});
    QTRY_COMPARE(RegisterLines(form), registersHeld);
    for (int back = 4; back > 0; --back) {
        form.Commands().StepBackAction->trigger();
        QVERIFY(WaitForStatus(form, QStringLiteral("Paused after %1 step%2")
                                        .arg(back - 1)
                                        .arg(back == 2 ? "" : "s")));
    }
    form.Commands().StepBackAction->trigger();
    QTRY_COMPARE(form.StatusBar1->currentMessage(), QStringLiteral("No earlier step kept"));
    QCOMPARE(program.ExecutingLine(), -1);
}

void TestWorkbenchDebug::noDelayRunPausesWithEveryLine()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    SpeedAction(form, QStringLiteral("No delay"))->trigger();
    EmulateListing(form, QStringLiteral("f401\n16\n9000")); // out $1; inc; jmp 0
    QTRY_VERIFY(OutputLines(form).size() > 3000);
    form.Commands().PauseAction->trigger();
    QVERIFY(WaitUntilParked(form.Session()));
    DeliverQueuedCalls();
    const std::uint64_t held = form.Session().CurrentWorker()->StepCount();
    QCOMPARE(form.StatusBar1->RunText(), QStringLiteral("Paused after %1 steps").arg(held));
    const QStringList lines = OutputLines(form);
    for (qsizetype i = 0; i < lines.size(); ++i)
        QCOMPARE(lines[i], QStringLiteral("Value: %1").arg(i));
    QVERIFY2(lines.size() * 3 >= static_cast<qsizetype>(held) - 3,
             qPrintable(QStringLiteral("%1 lines after %2 steps").arg(lines.size()).arg(held)));
    form.Commands().StopAction->trigger();
    form.Commands().PauseAction->trigger();
    QVERIFY(WaitForCurrentRunEnd(form));
    SpeedAction(form, QStringLiteral("50 ms"))->trigger();
}

void TestWorkbenchDebug::speedIsRemembered()
{
    {
        TWorkbench bench;
        SpeedAction(*bench.form, QStringLiteral("1 ms"))->trigger();
    }
    TWorkbench bench;
    QVERIFY(SpeedAction(*bench.form, QStringLiteral("1 ms"))->isChecked());
    // The test seam's zero delay, and not unpaced.
    QCOMPARE(bench.form->Session().Pace(), (TRunPace{std::chrono::milliseconds(0), false}));
    SpeedAction(*bench.form, QStringLiteral("50 ms"))->trigger();
}

QTEST_MAIN(TestWorkbenchDebug)
#include "test_workbench_debug.moc"
