// Commands and runs through the real window, worker and hooks: clicks on the buttons, results
// awaited as the worker delivers them.

#include "MemoryGridModel.h"
#include "MemoryGridView.h"
#include "RegisterListView.h"
#include "WorkbenchTestSupport.h"
#include "emuthread.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

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
    void emptyListingEndsAtOnce();

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
    Click(form.CustButton2);
    QVERIFY(WaitForCurrentRunEnd(form));

    QCOMPARE(form.Memo2->toPlainText(),
             QStringLiteral("110a\n810102\nf001\n16\nf003\na10102\n931005\n00"));
    // Straight to "Memory", never through "Machinecode".
    QCOMPARE(pages.count(), 1);
    QCOMPARE(pages.first().first().toInt(), 3);
    QCOMPARE(form.StringGrid1->model()->rowCount(), 2);
    const QStringList registers = RegisterLines(form);
    QCOMPARE(registers.size(), 15);
    QCOMPARE(registers[0], QStringLiteral("R1: 10"));
    QCOMPARE(registers[1], QStringLiteral("R2: 10"));
    QCOMPARE(registers[2], QStringLiteral("R3: 0 *"));
    QCOMPARE(registers.filter(QStringLiteral(" *")).size(), 1);
    // The highlight rests on the Stop byte at address 16.
    QCOMPARE(form.StringGrid1->selectionModel()->selectedIndexes(),
             QModelIndexList{form.StringGrid1->model()->index(1, 1)});
    QCOMPARE(form.MemoryGrid()->CellText(1, 1), QStringLiteral("00"));
    QCOMPARE(form.MemoryGrid()->CellText(0, 0), QStringLiteral("11"));
    QVERIFY(form.Memo3->toPlainText().isEmpty());
}

void TestWorkbenchRuns::translateShowsListing()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.Memo1->setPlainText(QStringLiteral("stop\nin $1\nout $1\n"));
    Click(form.CustButton1);
    QCOMPARE(form.PageControl1->currentIndex(), 2);
    QCOMPARE(form.Memo2->toPlainText(), QStringLiteral("00\nf701\nf401"));
    QCOMPARE(form.Session().CurrentWorker(), nullptr);
}

void TestWorkbenchRuns::translationErrorShowsBox_data()
{
    QTest::addColumn<bool>("andEmulate");
    QTest::addColumn<int>("page");
    QTest::addRow("Translate switches to Machinecode first") << false << 2;
    QTest::addRow("Translate & Emulate changes no page") << true << 1;
}

void TestWorkbenchRuns::translationErrorShowsBox()
{
    QFETCH(bool, andEmulate);
    QFETCH(int, page);
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.Memo1->setPlainText(QStringLiteral("inc\nadd 1x"));
    form.Memo2->setPlainText(QStringLiteral("earlier listing"));
    TSeenBox box;
    CloseNextErrorBox(box);
    Click(andEmulate ? form.CustButton2 : form.CustButton1);
    QTRY_VERIFY(box.seen);
    QCOMPARE(box.title, QStringLiteral("Mirelo"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttonCount, 1);
    QCOMPARE(box.text, QStringLiteral("'1x' is not a valid integer value."));
    QCOMPARE(form.Memo2->toPlainText(), QStringLiteral("earlier listing"));
    QCOMPARE(form.PageControl1->currentIndex(), page);
    QCOMPARE(form.Session().CurrentWorker(), nullptr);
    // The window stays usable.
    form.Memo1->setPlainText(QStringLiteral("stop"));
    Click(form.CustButton1);
    QCOMPARE(form.Memo2->toPlainText(), QStringLiteral("00"));
}

void TestWorkbenchRuns::emptyListingEndsAtOnce()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    EmulateListing(form, QString());
    QVERIFY(WaitForCurrentRunEnd(form));
    QCOMPARE(form.StringGrid1->model()->rowCount(), 1);
    QVERIFY(form.StringGrid1->selectionModel()->selectedIndexes().isEmpty());
    QCOMPARE(form.ListBox1->count(), 0);
}

void TestWorkbenchRuns::pauseAndResume()
{
    TWorkbench bench(1ms);
    TForm1& form = *bench.form;
    EmulateListing(form, CountForever);
    QTRY_VERIFY(ShownR1(form) > 2);

    Click(form.CustButton4);
    QCOMPARE(form.CustButton4->Caption(), QStringLiteral("Resume"));
    QVERIFY(form.Session().CurrentWorker()->Suspended());
    // A step in progress may finish first; once parked, the worker does nothing more.
    QVERIFY(WaitUntilParked(form.Session()));
    const int paused = ShownR1(form);
    DeliverQueuedCalls();
    QCOMPARE(ShownR1(form), paused);
    QVERIFY(form.Session().CurrentWorker()->Suspended());

    Click(form.CustButton4);
    QCOMPARE(form.CustButton4->Caption(), QStringLiteral("Pause"));
    QVERIFY(!form.Session().CurrentWorker()->Suspended());
    QTRY_VERIFY(ShownR1(form) > paused + 2);
}

void TestWorkbenchRuns::pauseAndStopBeforeAnyRunDoNothing()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    Click(form.CustButton4);
    Click(form.CustButton5);
    Click(form.CustButton4);
    QCOMPARE(form.CustButton4->Caption(), QStringLiteral("Pause"));
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
    Click(form.CustButton4);
    QCOMPARE(form.CustButton4->Caption(), QStringLiteral("Resume"));
    Click(form.CustButton4);
    QCOMPARE(form.CustButton4->Caption(), QStringLiteral("Pause"));
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
    Click(form.CustButton5);
    QVERIFY(WaitForCurrentRunEnd(form));
    const TEmulationThread* worker = form.Session().CurrentWorker();
    QVERIFY(worker->StopRequested());
    QCOMPARE(worker->EndReason(), TEmulationThread::TRunEnd::Stopped);
    QCOMPARE(form.CustButton4->Caption(), QStringLiteral("Pause"));
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
    Click(form.CustButton4);
    const int paused = ShownR1(form);
    Click(form.CustButton5);
    // Parked with its stop flag set: it cannot reach the top of a step to read the flag.
    QVERIFY(WaitUntilParked(form.Session()));
    DeliverQueuedCalls();
    QVERIFY(!form.Session().CurrentWorker()->Finished());
    QCOMPARE(form.CustButton4->Caption(), QStringLiteral("Resume"));

    Click(form.CustButton4);
    QCOMPARE(form.CustButton4->Caption(), QStringLiteral("Pause"));
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

    Click(form.CustButton5);
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
        Click(form.CustButton4);

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
