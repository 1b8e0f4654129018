// The input dialog on its own and as the window's answer to a running program's In
// instructions.

#include "common/ApplicationNames.h"
#include "controls/NumEdit.h"
#include "WorkbenchTestSupport.h"
#include "emulator/emuthread.h"

#include <QWindow>

#include <cstdlib>

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

namespace {

// in $1; out $1; stop
const QString EchoOnce = QStringLiteral("f701\nf401\n00");

void TypeIntoField(TForm2& dialog, const QString& text)
{
    dialog.NumEdit1->setFocus();
    dialog.NumEdit1->selectAll();
    QTest::keyClick(dialog.NumEdit1, Qt::Key_Backspace);
    QTest::keyClicks(dialog.NumEdit1, text);
}

// The dialog sits over the middle of the window, give or take the width of a window frame,
// which is not known before the dialog is first shown.
bool CentredOver(const QWidget& dialog, const QWidget& window)
{
    const QPoint offset = dialog.frameGeometry().center() - window.frameGeometry().center();
    return std::abs(offset.x()) <= 4 && std::abs(offset.y()) <= 4;
}

// Ends the first request: "enter" and "halt" click those buttons, "keys" goes from the field
// to "Enter" with Tab and presses Return. After "halt" the window is moved to `moveTo` while
// the run is paused, then the run is resumed.
void AnswerFirst(TForm1& form, TForm2& dialog, const QString& answer, QPoint moveTo)
{
    if (answer == QLatin1String("keys")) {
        QTest::keyClick(dialog.windowHandle(), Qt::Key_Tab);
        QTest::keyClick(dialog.windowHandle(), Qt::Key_Return);
    } else {
        Click(answer == QLatin1String("halt") ? dialog.CustButton2 : dialog.CustButton1);
    }
    if (answer != QLatin1String("halt"))
        return;
    QVERIFY(WaitUntilParked(form.Session()));
    form.move(moveTo);
    Click(form.Panel3->CustButton4);
}

// Counts how often a widget is shown.
class TShowCounter : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class TestWorkbenchInput : public QObject {
    Q_OBJECT
private slots:
    void dialogLayout();
    void windowTitlesAreTheirOwn_data();
    void windowTitlesAreTheirOwn();
    void dialogResults_data();
    void dialogResults();

    void enteredTextReachesProgram_data();
    void enteredTextReachesProgram();
    void rejectedTextKeepsDialogOpen_data();
    void rejectedTextKeepsDialogOpen();
    void fieldKeepsTextBetweenRequests_data();
    void fieldKeepsTextBetweenRequests();
    void closeBoxReturnsTextUnchecked();
    void haltPausesRunUntilResumed();
    void haltPausesLatestRunNotTheAsker();
    void secondRequestWaitsForDialog();
    void closingDuringInputBringsRunDown();
};

void TestWorkbenchInput::dialogLayout()
{
    TForm2 dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Form2"));
    QCOMPARE(dialog.size(), QSize(126, 50));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(dialog.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.NumEdit1->geometry(), QRect(2, 2, 121, 21));
    QCOMPARE(dialog.NumEdit1->text(), QStringLiteral("0"));
    QCOMPARE(dialog.CustButton1->geometry(), QRect(3, 24, 62, 25));
    QCOMPARE(dialog.CustButton1->Caption(), QStringLiteral("Enter"));
    QCOMPARE(dialog.CustButton2->geometry(), QRect(65, 24, 59, 25));
    QCOMPARE(dialog.CustButton2->Caption(), QStringLiteral("Halt"));
    QCOMPARE(dialog.NumEdit1->nextInFocusChain(), dialog.CustButton1);
}

void TestWorkbenchInput::windowTitlesAreTheirOwn_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::addRow("input dialog") << "dialog" << "Form2";
    QTest::addRow("main window") << "main" << "Mirelo";
    QTest::addRow("error box") << "error" << "Mirelo";
}

void TestWorkbenchInput::windowTitlesAreTheirOwn()
{
    QFETCH(QString, window);
    QFETCH(QString, title);
    NameApplication();
    TWorkbench bench;
    QString shown;
    if (window == QLatin1String("error")) {
        TSeenBox box;
        CloseNextErrorBox(box);
        bench.form->PageControl1->Memo1->setPlainText(QStringLiteral("add 1x"));
        Click(bench.form->Panel3->CustButton1);
        QTRY_VERIFY(box.seen);
        shown = box.platformTitle;
    } else {
        QWidget* widget = window == QLatin1String("main") ? static_cast<QWidget*>(bench.form.get())
                                                          : bench.dialog.get();
        widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(widget));
        shown = widget->windowHandle()->title();
    }
    QCOMPARE(shown, title);
    // A platform window shows its title followed by " — " and the application's display name
    // unless the title already ends with that name: it must add nothing here.
    QVERIFY2(shown.endsWith(QGuiApplication::applicationDisplayName()),
             qPrintable(QGuiApplication::applicationDisplayName()));
    QCOMPARE(QGuiApplication::applicationName(), QStringLiteral("Mirelo"));
}

void TestWorkbenchInput::dialogResults_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("result");
    QTest::addRow("Enter with a number") << "25" << "enter" << 2;
    QTest::addRow("Halt with a number") << "25" << "halt" << -11;
    QTest::addRow("Halt with empty text, no check") << "" << "halt" << -11;
    QTest::addRow("close box with empty text, no check") << "" << "close" << 2;
    QTest::addRow("reject gives cancel") << "7" << "reject" << 2;
    QTest::addRow("Escape does not close") << "7" << "escape" << 0;
}

void TestWorkbenchInput::dialogResults()
{
    QFETCH(QString, text);
    QFETCH(QString, action);
    QFETCH(int, result);
    TForm2 dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy finished(&dialog, &QDialog::finished);
    TypeIntoField(dialog, text);
    if (action == QLatin1String("enter"))
        Click(dialog.CustButton1);
    else if (action == QLatin1String("halt"))
        Click(dialog.CustButton2);
    else if (action == QLatin1String("close"))
        dialog.close();
    else if (action == QLatin1String("reject"))
        dialog.reject();
    else
        QTest::keyClick(dialog.NumEdit1, Qt::Key_Escape);
    if (result == 0) {
        QVERIFY(dialog.isVisible());
        QCOMPARE(finished.count(), 0);
        return;
    }
    QVERIFY(!dialog.isVisible());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toInt(), result);
    QCOMPARE(dialog.Text(), text);
}

void TestWorkbenchInput::enteredTextReachesProgram_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("output");
    QTest::addRow("first request shows 0") << "" << "Value: 0";
    QTest::addRow("typed number") << "25" << "Value: 25";
    QTest::addRow("largest integer") << "2147483647" << "Value: 2147483647";
    QTest::addRow("leading zeros") << "007" << "Value: 7";
}

void TestWorkbenchInput::enteredTextReachesProgram()
{
    QFETCH(QString, typed);
    QFETCH(QString, output);
    TWorkbench bench;
    TForm1& form = *bench.form;
    TForm2& dialog = *bench.dialog;
    EmulateListing(form, EchoOnce);
    QTRY_VERIFY(dialog.isVisible());
    QCOMPARE(QApplication::activeModalWidget(), &dialog);
    QCOMPARE(dialog.NumEdit1->text(), QStringLiteral("0"));
    // The main window takes no command while the dialog is shown. The click goes through
    // the window system's path, where modality applies (a widget-level click would not).
    const QPoint emulateAt = form.Panel3->CustButton3->mapTo(&form, form.Panel3->CustButton3->rect().center());
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, Qt::NoModifier, emulateAt);
    QCOMPARE(form.Session().RunCount(), std::size_t(1));
    if (!typed.isEmpty())
        TypeIntoField(dialog, typed);
    Click(dialog.CustButton1);
    QVERIFY(!dialog.isVisible());
    QVERIFY(WaitForCurrentRunEnd(form));
    QCOMPARE(OutputLines(form), QStringList{output});
    // R1, the current register, holds the number read.
    QCOMPARE(RegisterLines(form).first(),
             QString(output).replace(QStringLiteral("Value"), QStringLiteral("R1")) + QStringLiteral(" *"));
}

void TestWorkbenchInput::rejectedTextKeepsDialogOpen_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addRow("empty field") << "" << "'' is not a valid integer value.";
    QTest::addRow("above the largest integer") << "2147483648"
                                               << "'2147483648' is not a valid integer value.";
}

void TestWorkbenchInput::rejectedTextKeepsDialogOpen()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    TWorkbench bench;
    TForm1& form = *bench.form;
    TForm2& dialog = *bench.dialog;
    EmulateListing(form, EchoOnce);
    QTRY_VERIFY(dialog.isVisible());
    TypeIntoField(dialog, typed);
    TSeenBox box;
    CloseNextErrorBox(box);
    Click(dialog.CustButton1);
    QTRY_VERIFY(box.seen);
    QCOMPARE(box.title, QStringLiteral("Mirelo"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.text, message);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.NumEdit1->text(), typed);
    QVERIFY(!form.Session().CurrentWorker()->Finished());

    TypeIntoField(dialog, QStringLiteral("5"));
    Click(dialog.CustButton1);
    QVERIFY(WaitForCurrentRunEnd(form));
    QCOMPARE(OutputLines(form), QStringList{QStringLiteral("Value: 5")});
}

void TestWorkbenchInput::fieldKeepsTextBetweenRequests_data()
{
    QTest::addColumn<QString>("firstAnswer");
    QTest::addColumn<QString>("typedSecond");
    QTest::addColumn<QPoint>("movedWhilePaused");
    QTest::addColumn<QStringList>("output");
    const QPoint notMoved(-1, -1);
    QTest::addRow("Enter twice keeps the text") << "enter" << "" << notMoved
                                                << QStringList({"Value: 25", "Value: 25"});
    QTest::addRow("digits after a click on Enter go to the field")
        << "enter" << "7" << notMoved << QStringList({"Value: 25", "Value: 7"});
    QTest::addRow("digits after Tab and Return go to the field")
        << "keys" << "7" << notMoved << QStringList({"Value: 25", "Value: 7"});
    QTest::addRow("digits after Halt go to the field, over the moved window")
        << "halt" << "31" << QPoint(20, 90) << QStringList({"Value: 25", "Value: 31"});
}

void TestWorkbenchInput::fieldKeepsTextBetweenRequests()
{
    QFETCH(QString, firstAnswer);
    QFETCH(QString, typedSecond);
    QFETCH(QPoint, movedWhilePaused);
    QFETCH(QStringList, output);
    TWorkbench bench;
    TForm1& form = *bench.form;
    TForm2& dialog = *bench.dialog;
    form.move(40, 30);
    // in $1; out $1; in $2; out $2; stop
    EmulateListing(form, QStringLiteral("f701\nf401\nf702\nf402\n00"));
    QTRY_VERIFY(dialog.isVisible());
    QVERIFY(CentredOver(dialog, form));
    TypeIntoField(dialog, QStringLiteral("25"));
    AnswerFirst(form, dialog, firstAnswer, movedWhilePaused);
    QTRY_VERIFY(dialog.isVisible());
    QVERIFY(CentredOver(dialog, form));
    QCOMPARE(dialog.NumEdit1->text(), QStringLiteral("25"));
    // Typed as a user types: to whatever has the dialog's focus, which must be the field
    // with its text selected.
    for (const QChar digit : typedSecond)
        QTest::keyClick(dialog.windowHandle(), Qt::Key(Qt::Key_0 + digit.digitValue()));
    QCOMPARE(dialog.NumEdit1->text(), typedSecond.isEmpty() ? QStringLiteral("25") : typedSecond);
    Click(dialog.CustButton1);
    QVERIFY(WaitForCurrentRunEnd(form));
    QCOMPARE(OutputLines(form), output);
}

void TestWorkbenchInput::closeBoxReturnsTextUnchecked()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    TForm2& dialog = *bench.dialog;
    EmulateListing(form, EchoOnce);
    QTRY_VERIFY(dialog.isVisible());
    TypeIntoField(dialog, QString());
    QVERIFY(dialog.close());
    // The empty text ends the run in the In instruction: no output and no message.
    QVERIFY(WaitForCurrentRunEnd(form));
    QVERIFY(form.Session().CurrentWorker()->FatalException() != nullptr);
    QVERIFY(OutputLines(form).isEmpty());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestWorkbenchInput::haltPausesRunUntilResumed()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    TForm2& dialog = *bench.dialog;
    EmulateListing(form, EchoOnce);
    QTRY_VERIFY(dialog.isVisible());
    TypeIntoField(dialog, QStringLiteral("42"));
    Click(dialog.CustButton2);
    QVERIFY(!dialog.isVisible());
    QVERIFY(form.Session().CurrentWorker()->Suspended());
    QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Pause"));
    // Parked with the text in hand: the In instruction has not used it yet.
    QVERIFY(WaitUntilParked(form.Session()));
    DeliverQueuedCalls();
    QVERIFY(OutputLines(form).isEmpty());
    QVERIFY(!form.Session().CurrentWorker()->Finished());

    Click(form.Panel3->CustButton4);
    QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Pause"));
    QVERIFY(WaitForCurrentRunEnd(form));
    QCOMPARE(OutputLines(form), QStringList{QStringLiteral("Value: 42")});
}

void TestWorkbenchInput::haltPausesLatestRunNotTheAsker()
{
    TWorkbench bench(2ms);
    TForm1& form = *bench.form;
    TForm2& dialog = *bench.dialog;
    // Ten increments, then in $1; out $1; stop - it asks after the second run has started.
    EmulateListing(form, QString(QStringLiteral("16\n")).repeated(10) + EchoOnce);
    form.PageControl1->Memo2->setPlainText(QStringLiteral("16\n9000"));
    form.CustButton3Click();
    TEmulationThread* latest = form.Session().CurrentWorker();
    QTRY_VERIFY(dialog.isVisible());
    TypeIntoField(dialog, QStringLiteral("3"));
    Click(dialog.CustButton2);
    QVERIFY(latest->Suspended());
    // The asking run got its text and went on to its end; it is released then.
    QTRY_COMPARE(OutputLines(form), QStringList{QStringLiteral("Value: 3")});
    QTRY_COMPARE(form.Session().RunCount(), std::size_t(1));
    QCOMPARE(form.Panel3->CustButton4->Caption(), QStringLiteral("Pause"));
}

void TestWorkbenchInput::secondRequestWaitsForDialog()
{
    TWorkbench bench(2ms);
    TForm1& form = *bench.form;
    TForm2& dialog = *bench.dialog;
    TShowCounter counter;
    dialog.installEventFilter(&counter);
    // The first run asks after a few steps, when the second already has the dialog.
    EmulateListing(form, QString(QStringLiteral("16\n")).repeated(5) + EchoOnce);
    form.PageControl1->Memo2->setPlainText(EchoOnce);
    form.CustButton3Click();
    QTRY_VERIFY(dialog.isVisible());
    // Both requests are in; the second waits without showing the dialog again.
    QTRY_COMPARE(form.Session().WaitingInputs(), std::size_t(2));
    DeliverQueuedCalls();
    QCOMPARE(counter.shows, 1);
    TypeIntoField(dialog, QStringLiteral("1"));
    Click(dialog.CustButton1);
    QTRY_COMPARE(counter.shows, 2);
    QTRY_VERIFY(dialog.isVisible());
    TypeIntoField(dialog, QStringLiteral("2"));
    Click(dialog.CustButton1);
    // Each run echoes the number it was given; which of them prints first is up to them.
    QTRY_COMPARE(OutputLines(form).size(), 2);
    QStringList outputs = OutputLines(form);
    outputs.sort();
    QCOMPARE(outputs, QStringList({"Value: 1", "Value: 2"}));
    QVERIFY(WaitForCurrentRunEnd(form));
    QTRY_COMPARE(form.Session().RunCount(), std::size_t(1));
    QCOMPARE(counter.shows, 2);
}

void TestWorkbenchInput::closingDuringInputBringsRunDown()
{
    TWorkbench bench(TEmulationThread::DefaultStepDelay);
    TForm1& form = *bench.form;
    TForm2& dialog = *bench.dialog;
    EmulateListing(form, EchoOnce);
    // A second request waits behind the first (started directly: the dialog may already
    // block clicks on the window).
    form.CustButton3Click();
    QTRY_VERIFY(dialog.isVisible());
    QVERIFY(form.close());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(form.Session().RunCount(), std::size_t(0));
    QCOMPARE(form.Session().WaitingInputs(), std::size_t(0));
    // The workers are joined; whatever they queued before the close does nothing now.
    DeliverQueuedCalls();
    QVERIFY(!dialog.isVisible());
    QVERIFY(OutputLines(form).isEmpty());
}

QTEST_MAIN(TestWorkbenchInput)
#include "test_workbench_input.moc"
