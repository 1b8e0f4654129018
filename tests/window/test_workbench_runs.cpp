// Commands and runs through the real window, worker and hooks: clicks on the buttons, results
// awaited as the worker delivers them.

#include "controls/CustButton.h"
#include "editor/CodeEditor.h"
#include "editor/ProgramHighlighter.h"
#include "emulator/Machine.h"
#include "emulator/RegisterText.h"
#include "marks/ExecutionMarks.h"
#include "translator/Translation.h"
#include "views/MemoryGridModel.h"
#include "views/MemoryGridView.h"
#include "views/RegisterListView.h"
#include "window/MainMenu.h"
#include "window/RunStatusBar.h"
#include "WorkbenchTestSupport.h"
#include "emulator/emuthread.h"
#include "translator/strutils2.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTextCursor>

using namespace std::chrono_literals;

namespace {

// inc; jmp 0 - counts R1 up for ever.
const QString CountForever = QStringLiteral("16\n9000");
// inc; out $1; jmp 0 - counts and reports for ever.
const QString ReportForever = QStringLiteral("16\nf401\n9000");

// The value shown for R1, or -1 while the list is empty.
int ShownR1(const TForm1& form)
{
    const QStringList lines = RegisterLines(form);
    if (lines.isEmpty())
        return -1;
    return lines.first().section(QLatin1Char(' '), 1, 1).toInt();
}

} // namespace

class TestWorkbenchRuns : public QObject {
    Q_OBJECT
private slots:
    void sampleProgramRunsToItsStopByte();
    void translateShowsListing();
    void translationErrorShowsBox_data();
    void translationErrorShowsBox();
    void translationWarningsMarkLines_data();
    void translationWarningsMarkLines();
    void stepsMatchMachineAndMarkLines_data();
    void stepsMatchMachineAndMarkLines();
    void editEndsMarksForTheRun();
    void pausedRunScrollsToMarkedLine_data();
    void pausedRunScrollsToMarkedLine();
    void stepFromPausedRun();
    void newRunShowsItsOwnMachine_data();
    void newRunShowsItsOwnMachine();

    void pauseAndResume();
    void pauseAndStopBeforeAnyRunDoNothing();
    void pauseAfterRunEndedOnlyTogglesCaption();
    void stopEndsRunningRun();
    void stopOnPausedRunWaitsForResume();

    void secondRunLeavesFirstRunning();
    void hookFailureEndsRunQuietly();

    void closingBringsRunsDown_data();
    void closingBringsRunsDown();
};

void TestWorkbenchRuns::sampleProgramRunsToItsStopByte()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    QSignalSpy pages(form.PageControl1, &QTabWidget::currentChanged);
    Click(form.Panel3->CustButton2);
    QVERIFY(WaitForCurrentRunEnd(form));

    QCOMPARE(form.PageControl1->Memo2->toPlainText(),
             QStringLiteral("110a\n810102\nf001\n16\nf003\na10102\n931005\n00"));
    // Straight to "Memory", never through "Machinecode".
    QCOMPARE(pages.count(), 1);
    QCOMPARE(pages.first().first().toInt(), 3);
    QCOMPARE(form.PageControl1->StringGrid1->model()->rowCount(), 2);
    const QStringList registers = RegisterLines(form);
    QCOMPARE(registers.size(), 15);
    QCOMPARE(registers[0], QStringLiteral("R1: 10"));
    QCOMPARE(registers[1], QStringLiteral("R2: 10"));
    QCOMPARE(registers[2], QStringLiteral("R3: 0 *"));
    QCOMPARE(registers.filter(QStringLiteral(" *")).size(), 1);
    // The highlight rests on the Stop byte at address 16.
    QCOMPARE(form.PageControl1->StringGrid1->selectionModel()->selectedIndexes(),
             QModelIndexList{form.PageControl1->StringGrid1->model()->index(1, 1)});
    QCOMPARE(form.MemoryGrid()->CellText(1, 1), QStringLiteral("00"));
    QCOMPARE(form.MemoryGrid()->CellText(0, 0), QStringLiteral("11"));
    QVERIFY(form.Memo3->toPlainText().isEmpty());
}

void TestWorkbenchRuns::translateShowsListing()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.PageControl1->Memo1->setPlainText(QStringLiteral("stop\nin $1\nout $1\n"));
    Click(form.Panel3->CustButton1);
    QCOMPARE(form.PageControl1->currentIndex(), 2);
    QCOMPARE(form.PageControl1->Memo2->toPlainText(), QStringLiteral("00\nf701\nf401"));
    QCOMPARE(form.Session().CurrentWorker(), nullptr);
    // The program editor numbers its lines and colours them; the listing pane shows the
    // address of each line's first byte.
    QCOMPARE(form.PageControl1->Memo1->GutterMode(), TCodeEditor::TGutterMode::LineNumbers);
    QCOMPARE(form.PageControl1->Memo1->GutterLabel(2), QStringLiteral("3"));
    QCOMPARE(form.PageControl1->Highlighter->document(), form.PageControl1->Memo1->document());
    QCOMPARE(form.PageControl1->Memo2->GutterMode(), TCodeEditor::TGutterMode::ByteAddresses);
    QCOMPARE(form.PageControl1->Memo2->GutterLabel(2), QStringLiteral("03"));
    QCOMPARE(form.PageControl1->Memo1->viewport()->x() - form.PageControl1->Memo1->frameWidth(), form.PageControl1->Memo1->GutterWidth());
}

void TestWorkbenchRuns::translationErrorShowsBox_data()
{
    QTest::addColumn<bool>("andEmulate");
    QTest::addColumn<int>("pageWithBox");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("line");
    QTest::addColumn<QList<int>>("warnings");
    // Behind the box, the page the command left; after it, the program editor shows with the
    // offending line marked.
    QTest::addRow("Translate") << false << 2 << 1 << QStringLiteral("inc\nadd 1x") << 1
                               << QList<int>{};
    QTest::addRow("Translate & Emulate") << true << 3 << 1 << QStringLiteral("inc\nadd 1x") << 1
                                         << QList<int>{};
    QTest::addRow("error below a warning")
        << false << 2 << 1 << QStringLiteral("nop\ninc\n\nset 1x\nstop") << 3 << QList<int>{0};
}

void TestWorkbenchRuns::translationErrorShowsBox()
{
    QFETCH(bool, andEmulate);
    QFETCH(int, pageWithBox);
    QFETCH(int, page);
    QFETCH(QString, program);
    QFETCH(int, line);
    QFETCH(QList<int>, warnings);
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.PageControl1->Memo1->setPlainText(program);
    form.PageControl1->Memo2->setPlainText(QStringLiteral("earlier listing"));
    form.SelectPage(TProgramPages::PageMemory);
    TSeenBox box;
    struct {
        int page = -1;
        int errorLine = -2;
        QList<int> warnings;
        QString status;
    } behindBox;
    box.whileOpen = [&form, &behindBox] {
        behindBox.page = form.PageControl1->currentIndex();
        behindBox.errorLine = form.PageControl1->Memo1->ErrorLine();
        behindBox.warnings = form.PageControl1->Memo1->WarningLines();
        behindBox.status = form.StatusBar1->TranslationText();
    };
    CloseNextErrorBox(box);
    Click(andEmulate ? form.Panel3->CustButton2 : form.Panel3->CustButton1);
    QTRY_VERIFY(box.seen);
    // The box comes with the warnings and the status, before the page and the line change.
    QCOMPARE(behindBox.page, pageWithBox);
    QCOMPARE(behindBox.errorLine, -1);
    QCOMPARE(behindBox.warnings, warnings);
    QCOMPARE(behindBox.status,
             QStringLiteral("Translation failed at line %1; listing unchanged").arg(line + 1));
    QCOMPARE(box.title, QStringLiteral("Mirelo"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttonCount, 1);
    QCOMPARE(box.text, QStringLiteral("'1x' is not a valid integer value."));
    QCOMPARE(form.PageControl1->Memo2->toPlainText(), QStringLiteral("earlier listing"));
    QCOMPARE(form.PageControl1->currentIndex(), page);
    QCOMPARE(form.Session().CurrentWorker(), nullptr);
    QCOMPARE(form.PageControl1->Memo1->ErrorLine(), line);
    QCOMPARE(form.PageControl1->Memo1->textCursor().blockNumber(), line);
    QCOMPARE(form.PageControl1->Memo1->textCursor().positionInBlock(), 0);
    QCOMPARE(form.StatusBar1->TranslationText(),
             QStringLiteral("Translation failed at line %1; listing unchanged").arg(line + 1));
    QVERIFY(form.PageControl1->Memo1->MarkText(line).contains(QStringLiteral("'1x' is not a valid integer")));
    // Any change of the text takes the mark away.
    form.PageControl1->Memo1->textCursor().insertText(QStringLiteral(" "));
    QCOMPARE(form.PageControl1->Memo1->ErrorLine(), -1);
    // The window stays usable.
    form.PageControl1->Memo1->setPlainText(QStringLiteral("stop"));
    Click(form.Panel3->CustButton1);
    QCOMPARE(form.PageControl1->Memo2->toPlainText(), QStringLiteral("00"));
}

void TestWorkbenchRuns::translationWarningsMarkLines_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QList<int>>("lines");
    QTest::addColumn<QString>("status");
    QTest::addRow("none") << QStringLiteral("inc\nstop") << QList<int>{}
                          << QStringLiteral("Translated 2 program lines into 2 bytes");
    QTest::addRow("one") << QStringLiteral("inc\nnop\nstop") << QList<int>{1}
                         << QStringLiteral("Translated 3 program lines into 2 bytes; 1 warning");
    QTest::addRow("two") << QStringLiteral("nop\ninc\nfoo\nstop") << QList<int>{0, 2}
                         << QStringLiteral("Translated 4 program lines into 2 bytes; 2 warnings");
}

void TestWorkbenchRuns::translationWarningsMarkLines()
{
    QFETCH(QString, program);
    QFETCH(QList<int>, lines);
    QFETCH(QString, status);
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.PageControl1->Memo1->setPlainText(program);
    Click(form.Panel3->CustButton1);
    QCOMPARE(form.PageControl1->Memo1->WarningLines(), lines);
    for (int line : lines)
        QVERIFY(form.PageControl1->Memo1->MarkText(line).contains(QStringLiteral("is not an instruction")));
    QCOMPARE(form.PageControl1->Memo1->ErrorLine(), -1);
    QCOMPARE(form.StatusBar1->TranslationText(), status);
    form.PageControl1->Memo1->textCursor().insertText(QStringLiteral("inc\n"));
    QVERIFY(form.PageControl1->Memo1->WarningLines().isEmpty());
}

namespace {

// The machine's hooks as the reference run needs them: where it is, nothing else.
struct TPositionHooks {
    std::int64_t position = -1;
    void Position(std::int64_t address) { position = address; }
    void Output(const std::string&) {}
    std::string Input() { return "0"; }
    void Delay() {}
    void Registers(const TRegisterFile&, std::uint8_t) {}
    void Memory(TMemoryStream&) {}
};

// Waits until the current worker has taken `steps` steps and waits for a Resume again.
bool WaitUntilStepped(const TRunSession& session, std::uint64_t steps)
{
    return QTest::qWaitFor([&session, steps] {
        const TEmulationThread* worker = session.CurrentWorker();
        return worker && !worker->Stepping() && worker->StepCount() == steps
            && worker->WaitingOn() == TEmulationThread::TWait::Resume;
    }, 5000);
}

} // namespace

void TestWorkbenchRuns::stepsMatchMachineAndMarkLines_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("steps");
    QTest::addColumn<bool>("marked");
    // The window's sample program loops through a compare and a conditional jump.
    QTest::addRow("sample, one step") << QString() << 1 << true;
    QTest::addRow("sample, through the loop") << QString() << 9 << true;
    QTest::addRow("blank lines between")
        << QStringLiteral("set 5\n\ninc\n\n\nxch $1,$2\ninc\nstop") << 4 << true;
    QTest::addRow("listing edited after translating") << QStringLiteral("edit") << 3 << false;
}

void TestWorkbenchRuns::stepsMatchMachineAndMarkLines()
{
    QFETCH(QString, program);
    QFETCH(int, steps);
    QFETCH(bool, marked);
    TWorkbench bench;
    TForm1& form = *bench.form;
    if (!program.isEmpty() && program != QStringLiteral("edit"))
        form.PageControl1->Memo1->setPlainText(program);
    Click(form.Panel3->CustButton1);
    if (program == QStringLiteral("edit")) {
        // A byte added after the end: the steps taken stay those of the translation.
        QTextCursor end = form.PageControl1->Memo2->textCursor();
        end.movePosition(QTextCursor::End);
        end.insertText(QStringLiteral("\n00"));
    }
    const TTranslation translation =
        TranslateProgram(form.InstructionTable(),
                         SplitLines(form.PageControl1->Memo1->toPlainText().toStdString()));

    // With no run going, Step starts one that waits before its first instruction.
    form.Commands().StepAction->trigger();
    TRunSession& session = form.Session();
    QVERIFY(session.CurrentWorker());
    QVERIFY(WaitUntilStepped(session, 0));
    QVERIFY(session.Paused());
    QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Resume"));
    QCOMPARE(form.PageControl1->Memo1->ExecutingLine(), -1);

    TMemoryStream image(TForm1::LoadListing(form.PageControl1->Memo2->toPlainText()));
    TMachine machine(image);
    TPositionHooks hooks;
    for (int step = 1; step <= steps; ++step) {
        form.Commands().StepAction->trigger();
        QVERIFY(WaitUntilStepped(session, static_cast<std::uint64_t>(step)));
        const TRegisterFile before = machine.Registers();
        QVERIFY(machine.Step(hooks));
        QCOMPARE(session.CurrentWorker()->Machine().Registers(), machine.Registers());
        // The tints show what this step changed, the run's first step included.
        for (std::size_t i = 0; i < before.size(); ++i)
            QCOMPARE(form.PageControl1->ListBox1->LineChanged(static_cast<int>(i)),
                     machine.Registers()[i] != before[i]);
        QVERIFY(session.Paused());
        QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Resume"));
        if (!marked) {
            QCOMPARE(form.PageControl1->Memo1->ExecutingLine(), -1);
            QCOMPARE(form.PageControl1->Memo2->ExecutingLine(), -1);
            continue;
        }
        const int listingLine = form.PageControl1->Memo2->LineOfAddress(static_cast<int>(hooks.position));
        QCOMPARE(form.PageControl1->Memo2->ExecutingLine(), listingLine);
        QCOMPARE(form.PageControl1->Memo1->ExecutingLine(),
                 static_cast<int>(translation.ProgramLines.at(static_cast<std::size_t>(listingLine))) - 1);
    }
    // The marks take neither the cursor nor the focus.
    QCOMPARE(form.PageControl1->Memo1->textCursor().position(), 0);
}

void TestWorkbenchRuns::editEndsMarksForTheRun()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    Click(form.Panel3->CustButton1);
    form.Commands().StepAction->trigger();
    TRunSession& session = form.Session();
    QVERIFY(WaitUntilStepped(session, 0));
    form.Commands().StepAction->trigger();
    QVERIFY(WaitUntilStepped(session, 1));
    QCOMPARE(form.PageControl1->Memo2->ExecutingLine(), 0);
    QCOMPARE(form.PageControl1->Memo1->ExecutingLine(), 0);
    // An edit of the program ends both marks, and further steps of this run bring none back.
    form.PageControl1->Memo1->textCursor().insertText(QStringLiteral("inc\n"));
    QCOMPARE(form.PageControl1->Memo1->ExecutingLine(), -1);
    QCOMPARE(form.PageControl1->Memo2->ExecutingLine(), -1);
    form.Commands().StepAction->trigger();
    QVERIFY(WaitUntilStepped(session, 2));
    QCOMPARE(form.PageControl1->Memo1->ExecutingLine(), -1);
    QCOMPARE(form.PageControl1->Memo2->ExecutingLine(), -1);
    // Emulate now runs a listing that no longer matches the program: no marks.
    Click(form.Panel3->CustButton3);
    QVERIFY(WaitForCurrentRunEnd(form));
    QCOMPARE(form.PageControl1->Memo2->ExecutingLine(), -1);
    QCOMPARE(form.PageControl1->Memo1->ExecutingLine(), -1);
    QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Pause"));
    // Translate & Emulate runs the current text again; the last mark stays where it stopped.
    Click(form.Panel3->CustButton2);
    QVERIFY(WaitForCurrentRunEnd(form));
    const int stopLine = form.PageControl1->Memo1->document()->blockCount() - 1;
    QCOMPARE(form.PageControl1->Memo1->ExecutingLine(), stopLine);
}

void TestWorkbenchRuns::pausedRunScrollsToMarkedLine_data()
{
    QTest::addColumn<bool>("stepped");
    // Stepping, the student follows the run; running, the editor stays where it was scrolled.
    QTest::addRow("stepped") << true;
    QTest::addRow("running") << false;
}

void TestWorkbenchRuns::pausedRunScrollsToMarkedLine()
{
    QFETCH(bool, stepped);
    TWorkbench bench;
    TForm1& form = *bench.form;
    // A jump over two hundred lines to the Stop byte on the last line.
    form.PageControl1->Memo1->setPlainText(QStringLiteral("jmp :end\n") + QStringLiteral("inc\n").repeated(200)
                             + QStringLiteral(":end\nstop"));
    const int stopLine = 202;
    if (stepped) {
        Click(form.Panel3->CustButton1);
        TRunSession& session = form.Session();
        for (std::uint64_t step = 0; step < 2; ++step) {
            form.Commands().StepAction->trigger();
            QVERIFY(WaitUntilStepped(session, step));
        }
        QCOMPARE(form.PageControl1->Memo1->ExecutingLine(), 0);
        form.Commands().StepAction->trigger();
    } else {
        Click(form.Panel3->CustButton2);
    }
    QVERIFY(WaitForCurrentRunEnd(form));
    DeliverQueuedCalls();
    QCOMPARE(form.PageControl1->Memo1->ExecutingLine(), stopLine);
    // Labels emit no listing line: the Stop byte is on the listing's line 201.
    QCOMPARE(form.PageControl1->Memo2->ExecutingLine(), stopLine - 1);
    for (const TCodeEditor* editor : {form.PageControl1->Memo1, form.PageControl1->Memo2}) {
        const int line = editor->ExecutingLine();
        const QScrollBar* bar = editor->verticalScrollBar();
        if (stepped)
            QVERIFY(bar->value() <= line && line < bar->value() + bar->pageStep());
        else
            QCOMPARE(bar->value(), 0);
    }
    QCOMPARE(form.PageControl1->Memo1->textCursor().position(), 0);
}

void TestWorkbenchRuns::stepFromPausedRun()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    // inc; out $1; jmp 0 - counts and reports for ever.
    EmulateListing(form, QStringLiteral("16\nf401\n9000"));
    TRunSession& session = form.Session();
    QTRY_VERIFY(!OutputLines(form).isEmpty());
    // A running run is not stepped.
    form.Commands().StepAction->trigger();
    QVERIFY(!session.Paused());
    Click(form.Panel3->CustButton4);
    QVERIFY(WaitUntilParked(session));
    // The pause may have caught the worker inside a step; the first Step finishes that one.
    form.Commands().StepAction->trigger();
    QVERIFY(QTest::qWaitFor([&session] {
        const TEmulationThread* worker = session.CurrentWorker();
        return !worker->Stepping() && worker->WaitingOn() == TEmulationThread::TWait::Resume;
    }, 5000));
    DeliverQueuedCalls();
    const std::uint64_t before = session.CurrentWorker()->StepCount();
    const qsizetype outputBefore = OutputLines(form).size();
    TMemoryStream image(TForm1::LoadListing(form.PageControl1->Memo2->toPlainText()));
    TMachine machine(image);
    TPositionHooks hooks;
    for (std::uint64_t step = 0; step < before; ++step)
        QVERIFY(machine.Step(hooks));
    for (std::uint64_t step = 1; step <= 3; ++step) {
        form.Commands().StepAction->trigger();
        QVERIFY(WaitUntilStepped(session, before + step));
        QVERIFY(machine.Step(hooks));
        QCOMPARE(session.CurrentWorker()->Machine().Registers(), machine.Registers());
        QVERIFY(session.Paused());
        QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Resume"));
    }
    // The three steps ran their hooks: one of them was the "out".
    QCOMPARE(OutputLines(form).size(), outputBefore + 1);
    // A listing typed into the pane is not the editor's translation: no marks.
    QCOMPARE(form.PageControl1->Memo2->ExecutingLine(), -1);
    QCOMPARE(form.PageControl1->Memo1->ExecutingLine(), -1);
    Click(form.Panel3->CustButton4);
    QTRY_VERIFY(session.CurrentWorker()->StepCount() > before + 3);
    QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Pause"));
}

void TestWorkbenchRuns::newRunShowsItsOwnMachine_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("listing");
    QTest::addColumn<bool>("stepped");
    QTest::addColumn<int>("highlight"); // -1: nothing selected
    // add 108; stop - ends with "R1: 108 *" and its highlight on the Stop byte at 1.
    const QString earlier = QStringLiteral("116c\n00");
    QTest::addRow("empty listing, first run") << QString() << QString() << false << -1;
    QTest::addRow("empty listing after a run") << earlier << QString() << false << -1;
    QTest::addRow("first instruction fails") << earlier << QStringLiteral("310500") << false << 0;
    QTest::addRow("stepped, before its first step") << earlier << QStringLiteral("16\n00") << true << -1;
}

void TestWorkbenchRuns::newRunShowsItsOwnMachine()
{
    QFETCH(QString, before);
    QFETCH(QString, listing);
    QFETCH(bool, stepped);
    QFETCH(int, highlight);
    TWorkbench bench;
    TForm1& form = *bench.form;
    TRunSession& session = form.Session();
    if (!before.isEmpty()) {
        EmulateListing(form, before);
        QTRY_VERIFY(ShownR1(form) > 0);
        QVERIFY(WaitForCurrentRunEnd(form));
    }
    form.PageControl1->Memo2->setPlainText(listing);
    if (stepped) {
        form.Commands().StepAction->trigger();
        QVERIFY(WaitUntilStepped(session, 0));
    } else {
        form.Commands().EmulateAction->trigger();
        QVERIFY(WaitForCurrentRunEnd(form));
    }
    DeliverQueuedCalls();
    QCOMPARE(form.PageControl1->StringGrid1->model()->rowCount(),
             TMemoryGridModel::RowsForSize(static_cast<std::int64_t>(TForm1::LoadListing(listing).size())));
    QStringList start;
    for (const std::string& line : RegisterLines(TMachine::StartRegisters, TMachine::StartCurrent))
        start << QString::fromStdString(line);
    QCOMPARE(RegisterLines(form), start);
    const QModelIndexList selected = form.PageControl1->StringGrid1->selectionModel()->selectedIndexes();
    QCOMPARE(selected, highlight < 0 ? QModelIndexList{}
                                     : QModelIndexList{form.MemoryGrid()->CellIndex(highlight)});
}

void TestWorkbenchRuns::pauseAndResume()
{
    TWorkbench bench(1ms);
    TForm1& form = *bench.form;
    EmulateListing(form, CountForever);
    QTRY_VERIFY(ShownR1(form) > 2);

    Click(form.Panel3->CustButton4);
    QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Resume"));
    QVERIFY(form.Session().CurrentWorker()->Suspended());
    // A step in progress may finish first; once parked, the worker does nothing more.
    QVERIFY(WaitUntilParked(form.Session()));
    const int paused = ShownR1(form);
    DeliverQueuedCalls();
    QCOMPARE(ShownR1(form), paused);
    QVERIFY(form.Session().CurrentWorker()->Suspended());

    Click(form.Panel3->CustButton4);
    QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Pause"));
    QVERIFY(!form.Session().CurrentWorker()->Suspended());
    QTRY_VERIFY(ShownR1(form) > paused + 2);
}

void TestWorkbenchRuns::pauseAndStopBeforeAnyRunDoNothing()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    Click(form.Panel3->CustButton4);
    Click(form.Panel3->CustButton5);
    Click(form.Panel3->CustButton4);
    QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Pause"));
    QCOMPARE(form.Session().CurrentWorker(), nullptr);
    QCOMPARE(form.Session().RunCount(), std::size_t(0));
}

void TestWorkbenchRuns::pauseAfterRunEndedOnlyTogglesCaption()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    EmulateListing(form, QStringLiteral("16\n00"));
    QVERIFY(WaitForCurrentRunEnd(form));
    const QStringList registers = RegisterLines(form);
    Click(form.Panel3->CustButton4);
    QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Resume"));
    Click(form.Panel3->CustButton4);
    QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Pause"));
    QVERIFY(form.Session().CurrentWorker()->Finished());
    QCOMPARE(RegisterLines(form), registers);
    QCOMPARE(form.Session().RunCount(), std::size_t(1));
}

void TestWorkbenchRuns::stopEndsRunningRun()
{
    TWorkbench bench(1ms);
    TForm1& form = *bench.form;
    EmulateListing(form, CountForever);
    QTRY_VERIFY(ShownR1(form) > 0);
    QSignalSpy ended(&form.Session(), &TRunSession::RunEnded);
    Click(form.Panel3->CustButton5);
    QVERIFY(WaitForCurrentRunEnd(form));
    const TEmulationThread* worker = form.Session().CurrentWorker();
    QVERIFY(worker->StopRequested());
    QCOMPARE(worker->EndReason(), TEmulationThread::TRunEnd::Stopped);
    QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Pause"));
    // Every hook call is waited for, so the end notice is the last thing the run sends: once
    // it is in, the views show the machine as it ended and nothing more is on its way.
    QTRY_COMPARE(ended.count(), 1);
    DeliverQueuedCalls();
    QCOMPARE(ShownR1(form), worker->Machine().Registers()[0]);
}

void TestWorkbenchRuns::stopOnPausedRunWaitsForResume()
{
    TWorkbench bench(1ms);
    TForm1& form = *bench.form;
    EmulateListing(form, CountForever);
    QTRY_VERIFY(ShownR1(form) > 0);
    Click(form.Panel3->CustButton4);
    const int paused = ShownR1(form);
    Click(form.Panel3->CustButton5);
    // Parked with its stop flag set: it cannot reach the top of a step to read the flag.
    QVERIFY(WaitUntilParked(form.Session()));
    DeliverQueuedCalls();
    QVERIFY(!form.Session().CurrentWorker()->Finished());
    QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Resume"));

    Click(form.Panel3->CustButton4);
    QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Pause"));
    QVERIFY(WaitForCurrentRunEnd(form));
    // At most the step that was in progress when the pause came completes.
    QVERIFY2(ShownR1(form) <= paused + 1, qPrintable(QString::number(ShownR1(form))));
}

void TestWorkbenchRuns::secondRunLeavesFirstRunning()
{
    TWorkbench bench(2ms);
    TForm1& form = *bench.form;
    EmulateListing(form, ReportForever);
    QTRY_VERIFY(OutputLines(form).size() >= 3);
    TEmulationThread* first = form.Session().CurrentWorker();
    EmulateListing(form, ReportForever);
    QVERIFY(form.Session().CurrentWorker() != first);
    QCOMPARE(form.Session().RunCount(), std::size_t(2));
    // Both runs report into the same pane: the second run's first value appears again.
    QTRY_VERIFY(OutputLines(form).count(QStringLiteral("Value: 1")) == 2);

    Click(form.Panel3->CustButton5);
    QVERIFY(WaitForCurrentRunEnd(form));
    const qsizetype afterStop = OutputLines(form).size();
    QTRY_VERIFY(OutputLines(form).size() > afterStop + 3);
    QCOMPARE(form.Session().RunCount(), std::size_t(2));
}

void TestWorkbenchRuns::hookFailureEndsRunQuietly()
{
    // Without an input dialog the input hook fails on the window's side; the failure goes
    // back to the worker, which ends without a message.
    TForm1 form;
    form.Session().SetStepDelay(0ms);
    form.show();
    EmulateListing(form, QStringLiteral("f701\nf401\n00"));
    QVERIFY(WaitForCurrentRunEnd(form));
    QVERIFY(form.Session().CurrentWorker()->FatalException() != nullptr);
    QVERIFY(form.Memo3->toPlainText().isEmpty());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestWorkbenchRuns::closingBringsRunsDown_data()
{
    QTest::addColumn<bool>("pauseFirst");
    QTest::addColumn<bool>("twoRuns");
    QTest::addRow("running") << false << false;
    QTest::addRow("paused") << true << false;
    QTest::addRow("a replaced run and a paused one") << true << true;
}

void TestWorkbenchRuns::closingBringsRunsDown()
{
    QFETCH(bool, pauseFirst);
    QFETCH(bool, twoRuns);
    // The product's 50 ms pacing, so that a worker is usually asleep in its step delay.
    TWorkbench bench(TEmulationThread::DefaultStepDelay);
    TForm1& form = *bench.form;
    EmulateListing(form, ReportForever);
    if (twoRuns)
        EmulateListing(form, ReportForever);
    QTRY_VERIFY(OutputLines(form).size() >= (twoRuns ? 2 : 1));
    if (pauseFirst)
        Click(form.Panel3->CustButton4);

    QVERIFY(form.close());
    QCOMPARE(form.Session().RunCount(), std::size_t(0));
    QCOMPARE(form.Session().CurrentWorker(), nullptr);
    // The workers are joined, so nothing new can come; calls they queued before the close
    // are delivered now and must do nothing.
    const QString shown = form.Memo3->toPlainText();
    const QStringList registers = RegisterLines(form);
    DeliverQueuedCalls();
    QCOMPARE(form.Memo3->toPlainText(), shown);
    QCOMPARE(RegisterLines(form), registers);
}

QTEST_MAIN(TestWorkbenchRuns)
#include "test_workbench_runs.moc"
