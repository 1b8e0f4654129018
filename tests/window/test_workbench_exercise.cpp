// The exercise in the window: opened from its own command and wherever a program opens, Check
// away from the window's run, a case run answered from the case's input, a program started
// from the exercise, and the examples.

#include "controls/NumEdit.h"
#include "document/ProgramDocument.h"
#include "views/RegisterListView.h"
#include "window/ExerciseControl.h"
#include "window/ExercisePanel.h"
#include "window/MainMenu.h"
#include "window/RunStatusBar.h"
#include "WorkbenchTestSupport.h"
#include "emulator/emuthread.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString Double = u"in $1\nadd $1\nout $1\nstop"_s;

// Two cases, the second with an output no doubling gives.
const QByteArray DoubleExercise = R"(title = "Double a number"
max_steps = 1000
text = """
Read one number and print **twice** its value.
"""
starter = """
in $1
stop
"""

[[case]]
name = "twenty-one"
input = ["21"]
output = [42]

[[case]]
input = [5]
output = [11]
registers = { R1 = 10 }
)";

QString WriteFile(const QTemporaryDir& folder, const QString& name, const QByteArray& text)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QString Cell(const TForm1& form, int row, TExercisePanel::TColumn column)
{
    return form.Exercises().Panel().CellText(row, column);
}

QString StatusMessage(const TForm1& form)
{
    return form.StatusBar1->currentMessage();
}

void DropFile(QWidget* target, const QString& path)
{
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

} // namespace

class TestWorkbenchExercise : public QObject {
    Q_OBJECT
private slots:
    void openingShowsThePanel_data();
    void openingShowsThePanel();
    void refusedExerciseKeepsTheOneShown();
    void checkLeavesThePausedRunAlone();
    void checkEndsAnEndlessLoopAtTheBudget();
    void checkShowsATranslationErrorAsTranslateDoes();
    void caseRunTakesTheCasesInput();
    void newFromExerciseStartsFromTheStarter();
    void examplesOpenAsUntitledCopies();
};

void TestWorkbenchExercise::openingShowsThePanel_data()
{
    QTest::addColumn<QString>("how");
    QTest::addRow("Open Exercise") << u"menu"_s;
    QTest::addRow("Open") << u"open"_s;
    QTest::addRow("dropped") << u"drop"_s;
    QTest::addRow("Open Recent") << u"recent"_s;
    QTest::addRow("command line") << u"start"_s;
}

void TestWorkbenchExercise::openingShowsThePanel()
{
    QFETCH(QString, how);
    QTemporaryDir folder;
    const QString path = WriteFile(folder, u"double.mirex"_s, DoubleExercise);
    TWorkbench bench;
    TForm1& form = *bench.form;
    const TExercisePanel& panel = form.Exercises().Panel();
    QVERIFY(!panel.isVisible());
    QVERIFY(!form.Commands().CheckAction->isEnabled());
    const QString program = form.PageControl1->Memo1->toPlainText();

    bool seen = false;
    if (how == u"menu"_s) {
        AnswerNextFileDialog(path, seen);
        form.Commands().OpenExerciseAction->trigger();
        QVERIFY(seen);
    } else if (how == u"open"_s) {
        AnswerNextFileDialog(path, seen);
        form.Commands().OpenAction->trigger();
        QVERIFY(seen);
    } else if (how == u"drop"_s) {
        DropFile(form.Memo3->viewport(), path);
    } else if (how == u"start"_s) {
        QVERIFY(form.Document().OpenAtStart(path));
    } else {
        form.Document().RecentFiles().Add(path);
        emit form.MainMenu1->RecentMenu->aboutToShow();
        form.MainMenu1->RecentMenu->actions().constFirst()->trigger();
    }

    QTRY_VERIFY(panel.isVisible());
    QCOMPARE(panel.Title->text(), u"Double a number"_s);
    // Rendered from Markdown: the emphasis is the text's, not its asterisks.
    QCOMPARE(panel.Text->toPlainText().trimmed(), u"Read one number and print twice its value."_s);
    QCOMPARE(panel.Cases->rowCount(), 2);
    QCOMPARE(Cell(form, 0, TExercisePanel::NameColumn), u"twenty-one"_s);
    QCOMPARE(Cell(form, 0, TExercisePanel::InputColumn), u"21"_s);
    QCOMPARE(Cell(form, 0, TExercisePanel::ExpectedColumn), u"42"_s);
    QCOMPARE(Cell(form, 1, TExercisePanel::NameColumn), u"case 2"_s);
    QCOMPARE(Cell(form, 1, TExercisePanel::InputColumn), u"5"_s);
    QCOMPARE(Cell(form, 1, TExercisePanel::ExpectedColumn), u"11; R1 = 10"_s);
    QVERIFY(Cell(form, 0, TExercisePanel::ResultColumn).isEmpty());
    QVERIFY(form.Commands().CheckAction->isEnabled());
    QVERIFY(form.Commands().RunCaseAction->isEnabled());
    QVERIFY(form.Commands().NewFromExerciseAction->isEnabled());
    // The program stays in the editor, and the exercise joins the recent files.
    QCOMPARE(form.PageControl1->Memo1->toPlainText(), program);
    QCOMPARE(form.Document().FilePath(), QString());
    QCOMPARE(form.Document().RecentFiles().Files().value(0), QFileInfo(path).absoluteFilePath());

    // The student closes the panel and shows it again from the View menu.
    QAction* show = form.Exercises().Panel().toggleViewAction();
    QVERIFY(form.MainMenu1->ViewMenu->actions().contains(show));
    show->trigger();
    QVERIFY(!panel.isVisible());
    show->trigger();
    QVERIFY(panel.isVisible());

    // A program saved and opened leaves the exercise where it is.
    const QString saved = folder.filePath(u"mine.mir"_s);
    form.PageControl1->Memo1->setPlainText(Double);
    QVERIFY(form.Document().SaveTo(saved));
    form.Document().New();
    QVERIFY(form.Document().OpenGuarded(saved));
    QCOMPARE(panel.Title->text(), u"Double a number"_s);
    QCOMPARE(panel.Cases->rowCount(), 2);
}

void TestWorkbenchExercise::refusedExerciseKeepsTheOneShown()
{
    QTemporaryDir folder;
    const QString good = WriteFile(folder, u"double.mirex"_s, DoubleExercise);
    const QString bad = WriteFile(folder, u"bad.mirex"_s, "title = \"x\"\n[[case]\n");
    TWorkbench bench;
    TForm1& form = *bench.form;
    QVERIFY(form.Exercises().OpenExercise(good));
    TSeenBox box;
    CloseNextErrorBox(box);
    QVERIFY(!form.Document().OpenGuarded(bad));
    QTRY_VERIFY(box.seen);
    // FILE:LINE:COLUMN: message
    QVERIFY2(box.text.startsWith(bad + u":2:"_s), qPrintable(box.text));
    QCOMPARE(form.Exercises().Panel().Title->text(), u"Double a number"_s);
    QVERIFY(!form.Document().RecentFiles().Files().contains(QFileInfo(bad).absoluteFilePath()));
}

void TestWorkbenchExercise::checkLeavesThePausedRunAlone()
{
    QTemporaryDir folder;
    TWorkbench bench;
    TForm1& form = *bench.form;
    QVERIFY(form.Exercises().OpenExercise(WriteFile(folder, u"double.mirex"_s, DoubleExercise)));

    // A run of another program, paused after three steps: inc; inc; inc; out $1; stop.
    form.PageControl1->Memo2->setPlainText(u"16\n16\n16\nf401\n00"_s);
    for (int step = 0; step < 4; ++step) {
        form.Commands().StepAction->trigger();
        // A Step is taken only once the one before it has ended.
        QTRY_VERIFY(!form.Session().CurrentWorker()->Stepping());
        QVERIFY(WaitUntilParked(form.Session()));
        QTRY_COMPARE(form.Session().CurrentWorker()->StepCount(), std::uint64_t(step));
    }
    DeliverQueuedCalls();
    const TEmulationThread* worker = form.Session().CurrentWorker();
    const QStringList registers = RegisterLines(form);
    const QString listing = form.PageControl1->Memo2->toPlainText();
    const QString runText = form.StatusBar1->RunText();
    QVERIFY(registers.value(0).contains(u"3"_s));

    form.PageControl1->Memo1->setPlainText(Double);
    QSignalSpy started(&form.Session(), &TRunSession::RunStarted);
    form.Commands().CheckAction->trigger();
    QTRY_COMPARE(StatusMessage(form), u"1 of 2 cases passed"_s);
    QVERIFY(!form.Exercises().Checking());
    QCOMPARE(Cell(form, 0, TExercisePanel::ResultColumn), u"passed"_s);
    QCOMPARE(Cell(form, 1, TExercisePanel::ResultColumn), u"failed: output 1: expected 11, got 10"_s);

    // The paused run is where it was, and its views with it.
    QCOMPARE(started.count(), 0);
    QCOMPARE(form.Session().CurrentWorker(), worker);
    QVERIFY(form.Session().Paused());
    QCOMPARE(worker->StepCount(), std::uint64_t(3));
    DeliverQueuedCalls();
    QCOMPARE(RegisterLines(form), registers);
    QCOMPARE(form.PageControl1->Memo2->toPlainText(), listing);
    QCOMPARE(form.StatusBar1->RunText(), runText);
    QVERIFY(OutputLines(form).isEmpty());
}

void TestWorkbenchExercise::checkEndsAnEndlessLoopAtTheBudget()
{
    QTemporaryDir folder;
    TWorkbench bench;
    TForm1& form = *bench.form;
    QVERIFY(form.Exercises().OpenExercise(WriteFile(folder, u"double.mirex"_s, DoubleExercise)));
    form.PageControl1->Memo1->setPlainText(u"inc\njmp 0"_s);
    form.Commands().CheckAction->trigger();
    // Meanwhile the window answers: its rows say the check is under way.
    QCOMPARE(Cell(form, 0, TExercisePanel::ResultColumn), u"checking\u2026"_s);
    QTRY_COMPARE(StatusMessage(form), u"0 of 2 cases passed"_s);
    for (int row = 0; row < 2; ++row)
        QCOMPARE(Cell(form, row, TExercisePanel::ResultColumn),
                 u"failed: no end within 1000 steps"_s);
    QCOMPARE(form.Session().CurrentWorker(), nullptr);
}

void TestWorkbenchExercise::checkShowsATranslationErrorAsTranslateDoes()
{
    QTemporaryDir folder;
    TWorkbench bench;
    TForm1& form = *bench.form;
    QVERIFY(form.Exercises().OpenExercise(WriteFile(folder, u"double.mirex"_s, DoubleExercise)));
    form.PageControl1->Memo1->setPlainText(u"inc\nadd 1x"_s);
    TSeenBox byTranslate;
    CloseNextErrorBox(byTranslate);
    form.Commands().TranslateAction->trigger();
    QTRY_VERIFY(byTranslate.seen);

    TSeenBox byCheck;
    CloseNextErrorBox(byCheck);
    form.Commands().CheckAction->trigger();
    QTRY_VERIFY(byCheck.seen);
    QCOMPARE(byCheck.text, byTranslate.text);
    QCOMPARE(form.PageControl1->currentIndex(), int(TProgramPages::PageAsm));
    QCOMPARE(form.PageControl1->Memo1->textCursor().blockNumber(), 1);
    QCOMPARE(StatusMessage(form), u"0 of 2 cases passed"_s);
    for (int row = 0; row < 2; ++row)
        QVERIFY2(Cell(form, row, TExercisePanel::ResultColumn).startsWith(u"failed: line 2: "_s),
                 qPrintable(Cell(form, row, TExercisePanel::ResultColumn)));
}

void TestWorkbenchExercise::caseRunTakesTheCasesInput()
{
    QTemporaryDir folder;
    TWorkbench bench;
    TForm1& form = *bench.form;
    QVERIFY(form.Exercises().OpenExercise(WriteFile(folder, u"double.mirex"_s, DoubleExercise)));
    QSignalSpy asked(&form.Session(), &TRunSession::InputRequested);
    QSignalSpy taken(&form.Session(), &TRunSession::ScriptedInputTaken);
    form.PageControl1->Memo1->setPlainText(Double);

    // A double-click on the case's row.
    QTableWidget& cases = *form.Exercises().Panel().Cases;
    const QRect cell = cases.visualItemRect(cases.item(0, TExercisePanel::NameColumn));
    // As a mouse does it: the press of the first click picks the row the second one opens.
    QTest::mouseClick(cases.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::mouseDClick(cases.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTRY_COMPARE(taken.count(), 1);
    QVERIFY(WaitForCurrentRunEnd(form));
    QCOMPARE(OutputLines(form), QStringList{u"Value: 42"_s});
    QCOMPARE(asked.count(), 0);
    QVERIFY(!bench.dialog->isVisible());
    QCOMPARE(StatusMessage(form), u"Input from case \"twenty-one\": 21"_s);

    // Run → Run Case runs the selected case; an In beyond its input asks the dialog.
    form.PageControl1->Memo1->setPlainText(u"in $1\nin $2\nout $2\nstop"_s);
    cases.selectRow(1);
    form.Commands().RunCaseAction->trigger();
    QTRY_COMPARE(asked.count(), 1);
    QCOMPARE(taken.count(), 2);
    QCOMPARE(StatusMessage(form), u"Input from case \"case 2\": 5"_s);
    QTRY_VERIFY(bench.dialog->isVisible());
    bench.dialog->NumEdit1->setText(u"8"_s);
    Click(bench.dialog->CustButton1);
    QVERIFY(WaitForCurrentRunEnd(form));
    QCOMPARE(OutputLines(form).value(1), u"Value: 8"_s);

    // A run started the usual way asks for every input.
    form.PageControl1->Memo1->setPlainText(Double);
    form.Commands().TranslateAndEmulateAction->trigger();
    QTRY_COMPARE(asked.count(), 2);
    QCOMPARE(taken.count(), 2);
    form.Commands().StopAction->trigger();
}

void TestWorkbenchExercise::newFromExerciseStartsFromTheStarter()
{
    QTemporaryDir folder;
    TWorkbench bench;
    TForm1& form = *bench.form;
    QVERIFY(!form.Commands().NewFromExerciseAction->isEnabled());
    // An exercise without a starter leaves the command unavailable.
    QByteArray noStarter = DoubleExercise;
    noStarter.replace("starter", "# starter");
    noStarter.replace("\"\"\"\nin $1\nstop\n\"\"\"", "");
    QVERIFY(form.Exercises().OpenExercise(WriteFile(folder, u"plain.mirex"_s, noStarter)));
    QVERIFY(!form.Commands().NewFromExerciseAction->isEnabled());
    QVERIFY(form.Exercises().OpenExercise(WriteFile(folder, u"double.mirex"_s, DoubleExercise)));
    QVERIFY(form.Commands().NewFromExerciseAction->isEnabled());

    // Unsaved changes are asked about first; Cancel keeps them.
    form.PageControl1->Memo1->setPlainText(u"inc"_s);
    TSeenBox box;
    AnswerNextBox(box, QMessageBox::Cancel);
    form.Commands().NewFromExerciseAction->trigger();
    QTRY_VERIFY(box.seen);
    QCOMPARE(form.PageControl1->Memo1->toPlainText(), u"inc"_s);

    TSeenBox discard;
    AnswerNextBox(discard, QMessageBox::Discard);
    form.Commands().NewFromExerciseAction->trigger();
    QTRY_VERIFY(discard.seen);
    QCOMPARE(form.PageControl1->Memo1->toPlainText(), u"in $1\nstop\n"_s);
    QCOMPARE(form.Document().FilePath(), QString());
    QVERIFY(!form.Document().IsModified());
    QVERIFY(form.Exercises().Panel().isVisible());
}

void TestWorkbenchExercise::examplesOpenAsUntitledCopies()
{
    QTemporaryDir folder;
    WriteFile(folder, u"double.mir"_s, "; doubles a number\nin $1\nadd $1\nout $1\nstop\n");
    WriteFile(folder, u"double.mirex"_s, DoubleExercise);
    WriteFile(folder, u"count & show.mir"_s, "inc\nout $1\nstop\n");
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.Exercises().SetExampleFolder(folder.path());
    QMenu& menu = *form.MainMenu1->ExamplesMenu;
    emit menu.aboutToShow();
    QStringList names;
    for (const QAction* entry : menu.actions())
        names << entry->text();
    QCOMPARE(names, (QStringList{u"count && show"_s, u"double"_s}));

    menu.actions().at(1)->trigger();
    QCOMPARE(form.PageControl1->Memo1->toPlainText(),
             u"; doubles a number\nin $1\nadd $1\nout $1\nstop\n"_s);
    QCOMPARE(form.Document().FilePath(), QString());

    // An empty folder says so.
    QTemporaryDir empty;
    form.Exercises().SetExampleFolder(empty.path());
    emit menu.aboutToShow();
    QCOMPARE(menu.actions().size(), 1);
    QVERIFY(!menu.actions().constFirst()->isEnabled());
}

QTEST_MAIN(TestWorkbenchExercise)
#include "test_workbench_exercise.moc"
