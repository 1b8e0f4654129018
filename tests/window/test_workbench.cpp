// The main window's layout and its three machine views, driven without a running program
// where possible.

#include "common/ApplicationNames.h"
#include "common/ErrorBox.h"
#include "console/OutputPane.h"
#include "editor/CodeEditor.h"
#include "emulator/MachineFault.h"
#include "session/RunStatusText.h"
#include "views/MemoryGridModel.h"
#include "views/MemoryGridView.h"
#include "views/RegisterListView.h"
#include "window/MainMenu.h"
#include "window/RegisterDock.h"
#include "window/RunStatusBar.h"
#include "WorkbenchTestSupport.h"

#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <memory>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using TRunEnd = TEmulationThread::TRunEnd;
Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(TRegisterFile)
Q_DECLARE_METATYPE(TRunPhase)
Q_DECLARE_METATYPE(TRunEnd)
Q_DECLARE_METATYPE(std::exception_ptr)

namespace {

QAction* RunMenuAction(const TForm1& form, const QString& name)
{
    for (QAction* action : form.MainMenu1->RunMenu->actions())
        if (action->objectName() == name)
            return action;
    return nullptr;
}

// Triggers the entry of the pane's context menu of that name as a click would (a disabled
// entry does nothing); false when the menu has no such entry.
bool TriggerContextAction(TOutputPane& pane, const QString& name)
{
    std::unique_ptr<QMenu> menu(pane.CreateContextMenu());
    for (QAction* action : menu->actions()) {
        if (action->objectName() != name)
            continue;
        action->trigger();
        return true;
    }
    return false;
}

// Runs one step of an editing script on the output pane of `form`: "out:TEXT" appends
// program output, "type:TEXT" types at the end, "ctrl+z" presses the key, "menu:NAME"
// triggers a context menu entry.
void RunPaneStep(TForm1& form, const QString& step)
{
    TOutputPane& pane = *form.Memo3;
    const QString argument = step.section(QLatin1Char(':'), 1);
    if (step.startsWith("out:")) {
        form.AppendOutput(argument.toStdString());
    } else if (step.startsWith("type:")) {
        QTest::keyClick(&pane, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(&pane, argument);
    } else if (step == "ctrl+z") {
        QTest::keyClick(&pane, Qt::Key_Z, Qt::ControlModifier);
    } else if (step.startsWith("menu:")) {
        QVERIFY2(TriggerContextAction(pane, argument), qPrintable(argument));
    }
}

} // namespace

class TestWorkbench : public QObject {
    Q_OBJECT
private slots:
    void init();

    void layoutMatchesDesign_data();
    void layoutMatchesDesign();
    void pagesAndEditorsAtStart();
    void memoryGridSettings();
    void selectPageOnlyShowsVisiblePages_data();
    void selectPageOnlyShowsVisiblePages();

    void errorBoxText_data();
    void errorBoxText();

    void runStatusText_data();
    void runStatusText();
    void translationStatusText_data();
    void translationStatusText();
    void failureText_data();
    void failureText();

    void accessibleNames_data();
    void accessibleNames();
    void tabOrderFollowsReading_data();
    void tabOrderFollowsReading();
    void tabInProgramEditorIsText_data();
    void tabInProgramEditorIsText();

    void listingLoading_data();
    void listingLoading();
    void listingPaneCountsLoadedBytes_data();
    void listingPaneCountsLoadedBytes();
    void gridRowsFollowImageSize_data();
    void gridRowsFollowImageSize();

    void showMemoryCells_data();
    void showMemoryCells();
    void showMemoryKeepsPosition();
    void bytesBeyondGridRowsStayHidden();
    void highlightSelectsOneCellWithoutScrolling();
    void cellOfAddress_data();
    void cellOfAddress();

    void showRegisters_data();
    void showRegisters();
    void showRegistersReplacesOldLines();
    void outputAccumulates();
    void outputPaneEditing_data();
    void outputPaneEditing();
    void outputPaneFollowsNewestLine_data();
    void outputPaneFollowsNewestLine();
    void saveOutput_data();
    void saveOutput();
};

void TestWorkbench::init()
{
    // Each window starts with the register panel hidden, whatever the one before showed.
    QSettings(QSettings::UserScope, ApplicationTitle(), ApplicationTitle()).clear();
}

void TestWorkbench::layoutMatchesDesign_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addRow("Translate") << "CustButton1" << QRect(6, 4, 73, 25) << "Translate";
    QTest::addRow("Translate & Emulate") << "CustButton2" << QRect(82, 4, 109, 25) << "Translate & Emulate";
    QTest::addRow("Emulate") << "CustButton3" << QRect(194, 4, 59, 25) << "Emulate";
    QTest::addRow("Pause") << "CustButton4" << QRect(256, 4, 49, 25) << "Pause";
    QTest::addRow("Stop") << "CustButton5" << QRect(308, 4, 55, 25) << "Stop";
}

void TestWorkbench::layoutMatchesDesign()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    TWorkbench bench;
    TForm1& form = *bench.form;
    auto* button = form.findChild<TCustButton*>(name);
    QVERIFY(button);
    QCOMPARE(button->parentWidget(), form.Panel3);
    QCOMPARE(button->geometry(), geometry);
    QCOMPARE(button->Caption(), caption);
    QCOMPARE(button->Down(), false);
    QCOMPARE(button->UpBevelInner(), TBevelCut::bvRaised);
    QCOMPARE(button->DownBevelOuter(), TBevelCut::bvLowered);

    // The designed sizes in the designed client area of 688 x 451, which lies between the
    // menu bar and the status bar; the window is taller by exactly their heights.
    const int menuHeight = form.MainMenu1->height();
    const int statusHeight = form.StatusBar1->height();
    QVERIFY(menuHeight > 0 && statusHeight > 0);
    QCOMPARE(form.ClientArea->geometry(), QRect(0, menuHeight, 688, 451));
    QCOMPARE(form.size(), QSize(688, 451 + menuHeight + statusHeight));
    QCOMPARE(form.MainMenu1->geometry(), QRect(0, 0, 688, menuHeight));
    QCOMPARE(form.StatusBar1->geometry(), QRect(0, menuHeight + 451, 688, statusHeight));
    QCOMPARE(form.Panel2->parentWidget(), form.ClientArea);
    QCOMPARE(form.Panel2->geometry(), QRect(0, 0, 373, 451));
    QCOMPARE(form.PageControl1->size(), QSize(371, 408));
    QCOMPARE(form.Panel3->size(), QSize(371, 41));
    QCOMPARE(form.Memo3->parentWidget(), form.ClientArea);
    QCOMPARE(form.Memo3->geometry(), QRect(373, 0, 315, 451));
    QCOMPARE(form.windowTitle(), QStringLiteral("Mirelo"));
}

void TestWorkbench::pagesAndEditorsAtStart()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    const QStringList names = {"Panel2", "PageControl1", "TabSheet1", "TabSheet2", "TabSheet3",
                               "TabSheet4", "Memo1", "Memo2", "Memo3", "Memo4", "StringGrid1",
                               "Splitter1", "Panel1", "ListBox1", "Panel3"};
    for (const QString& name : names)
        QVERIFY2(form.findChild<QWidget*>(name), qPrintable(name));

    QCOMPARE(form.PageControl1->count(), 4);
    const QStringList captions = {"MAsm", "Asm", "Machinecode", "Memory"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(form.PageControl1->tabText(i), captions[i]);
    QCOMPARE(form.PageControl1->widget(0), form.PageControl1->TabSheet4);
    QCOMPARE(form.PageControl1->widget(3), form.PageControl1->TabSheet3);
    QVERIFY(!form.PageControl1->isTabVisible(0));
    QCOMPARE(form.PageControl1->currentIndex(), 1);

    QCOMPARE(form.PageControl1->Memo4->toPlainText(), QStringLiteral("Memo4"));
    QCOMPARE(form.PageControl1->Memo1->toPlainText().split('\n'),
             QStringList({"add ah", "xch $1,$2", ":start", "set 1", "inc", "set 3",
                          "cmp $1,$2", "jin :stop,:start", ":stop", "stop"}));
    QVERIFY(form.PageControl1->Memo2->toPlainText().isEmpty());
    QVERIFY(form.Memo3->toPlainText().isEmpty());
    QCOMPARE(form.PageControl1->ListBox1->count(), 0);
    for (QPlainTextEdit* editor : {form.PageControl1->Memo1, form.PageControl1->Memo2}) {
        QCOMPARE(editor->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(editor->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(editor->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!editor->isReadOnly());
    }
    QCOMPARE(form.Memo3->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(form.Memo3->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(!form.Memo3->isReadOnly());
    QCOMPARE(form.InstructionTable().Rows().size(), std::size_t(92));
}

void TestWorkbench::memoryGridSettings()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.SelectPage(3);
    QTableView* grid = form.PageControl1->StringGrid1;
    QCOMPARE(grid->model()->columnCount(), 15);
    QCOMPARE(grid->model()->rowCount(), 5);
    QCOMPARE(grid->columnWidth(14), 15);
    QCOMPARE(grid->rowHeight(4), 15);
    QVERIFY(grid->horizontalHeader()->isHidden());
    QVERIFY(grid->verticalHeader()->isHidden());
    QVERIFY(grid->showGrid());
    QCOMPARE(grid->selectionMode(), QAbstractItemView::ContiguousSelection);
    QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!(grid->model()->flags(grid->model()->index(0, 0)) & Qt::ItemIsEditable));
    QCOMPARE(form.PageControl1->Panel1->width(), 61);
    QCOMPARE(form.PageControl1->Splitter1->widget(1), form.PageControl1->Panel1);
}

void TestWorkbench::selectPageOnlyShowsVisiblePages_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("expected");
    QTest::addRow("hidden MAsm page is never selected") << 0 << 1;
    QTest::addRow("Machinecode") << 2 << 2;
    QTest::addRow("Memory") << 3 << 3;
    QTest::addRow("past the last page") << 4 << 1;
    QTest::addRow("negative") << -1 << 1;
}

void TestWorkbench::selectPageOnlyShowsVisiblePages()
{
    QFETCH(int, index);
    QFETCH(int, expected);
    TWorkbench bench;
    bench.form->SelectPage(index);
    QCOMPARE(bench.form->PageControl1->currentIndex(), expected);
}

void TestWorkbench::errorBoxText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::addRow("conversion error gets its period")
        << "'1x' is not a valid integer value" << "'1x' is not a valid integer value.";
    QTest::addRow("already ends with a period") << "Done." << "Done.";
    QTest::addRow("slash is above the period") << "a/" << "a/.";
    QTest::addRow("minus is below the period") << "a-" << "a-";
    QTest::addRow("blank is below the period") << "a " << "a ";
    QTest::addRow("empty message stays empty") << "" << "";
}

void TestWorkbench::errorBoxText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(ErrorBoxText(message), shown);
}

void TestWorkbench::runStatusText_data()
{
    QTest::addColumn<TRunPhase>("phase");
    QTest::addColumn<TRunEnd>("end");
    QTest::addColumn<qulonglong>("steps");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("text");
    const QString none;
    QTest::addRow("no run says nothing") << TRunPhase::NoRun << TRunEnd::Running << 0ULL << none << "";
    QTest::addRow("started, no step yet") << TRunPhase::Running << TRunEnd::Running << 0ULL << none << "Running";
    QTest::addRow("running") << TRunPhase::Running << TRunEnd::Running << 12ULL << none << "Running, step 12";
    QTest::addRow("paused after one step") << TRunPhase::Paused << TRunEnd::Running << 1ULL << none << "Paused after 1 step";
    QTest::addRow("paused") << TRunPhase::Paused << TRunEnd::Running << 7ULL << none << "Paused after 7 steps";
    QTest::addRow("waiting for input") << TRunPhase::WaitingForInput << TRunEnd::Running << 3ULL << none
                                       << "Waiting for input at step 3";
    QTest::addRow("Stop byte") << TRunPhase::Ended << TRunEnd::StopByte << 32ULL << none
                               << "Ended at a Stop byte after 32 steps";
    QTest::addRow("Reset") << TRunPhase::Ended << TRunEnd::Reset << 2ULL << none << "Ended by Reset after 2 steps";
    QTest::addRow("end of the image, no step")
        << TRunPhase::Ended << TRunEnd::EndOfImage << 0ULL << none << "Ended at the end of the image after 0 steps";
    QTest::addRow("stopped") << TRunPhase::Ended << TRunEnd::Stopped << 1ULL << none << "Stopped after 1 step";
    QTest::addRow("failed names the failure, not the steps")
        << TRunPhase::Ended << TRunEnd::Failed << 2ULL << "Division by zero at address 2"
        << "Failed: Division by zero at address 2";
    // Above 2^32: the count is not cut to 32 bits on the way to the text.
    QTest::addRow("many steps") << TRunPhase::Running << TRunEnd::Running << 5000000000ULL << none
                                << "Running, step 5000000000";
}

void TestWorkbench::runStatusText()
{
    QFETCH(TRunPhase, phase);
    QFETCH(TRunEnd, end);
    QFETCH(qulonglong, steps);
    QFETCH(QString, failure);
    QFETCH(QString, text);
    QCOMPARE(RunStatusText(TRunFacts{phase, end, steps, failure}), text);
    // A breakpoint's line is told only while paused there.
    const TRunFacts atBreakpoint{phase, end, steps, failure, 12};
    QCOMPARE(RunStatusText(atBreakpoint),
             phase == TRunPhase::Paused
                 ? QStringLiteral("Paused at breakpoint on line 12 after %1 step%2")
                       .arg(steps)
                       .arg(steps == 1 ? "" : "s")
                 : text);
}

void TestWorkbench::translationStatusText_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<int>("warnings");
    QTest::addColumn<QString>("text");
    QTest::addRow("sample program") << 10 << 17 << 0 << "Translated 10 program lines into 17 bytes";
    QTest::addRow("one of each") << 1 << 1 << 0 << "Translated 1 program line into 1 byte";
    QTest::addRow("nothing") << 0 << 0 << 0 << "Translated 0 program lines into 0 bytes";
    QTest::addRow("one warning")
        << 3 << 2 << 1 << "Translated 3 program lines into 2 bytes; 1 warning";
    QTest::addRow("two warnings")
        << 3 << 2 << 2 << "Translated 3 program lines into 2 bytes; 2 warnings";
}

void TestWorkbench::translationStatusText()
{
    QFETCH(int, lines);
    QFETCH(int, bytes);
    QFETCH(int, warnings);
    QFETCH(QString, text);
    QCOMPARE(TranslationStatusText(lines, bytes, warnings), text);
}

void TestWorkbench::failureText_data()
{
    QTest::addColumn<std::exception_ptr>("failure");
    QTest::addColumn<qint64>("address");
    QTest::addColumn<QString>("text");
    QTest::addRow("machine failure names its own address")
        << std::make_exception_ptr(EMachineFault(TFaultKind::DivisionByZero, 2)) << qint64(2)
        << "Division by zero at address 2";
    QTest::addRow("machine failure keeps its detail")
        << std::make_exception_ptr(EMachineFault(TFaultKind::BadInput, 12, "'x' is not a valid integer value"))
        << qint64(12) << "Input is not an integer at address 12: 'x' is not a valid integer value";
    QTest::addRow("other failure gets the opcode's address")
        << std::make_exception_ptr(std::runtime_error("No input dialog")) << qint64(23)
        << "No input dialog at address 23";
    QTest::addRow("no address known") << std::make_exception_ptr(std::runtime_error("No input dialog"))
                                      << qint64(-1) << "No input dialog";
    QTest::addRow("not a standard exception") << std::make_exception_ptr(42) << qint64(0)
                                              << "unknown failure at address 0";
}

void TestWorkbench::failureText()
{
    QFETCH(std::exception_ptr, failure);
    QFETCH(qint64, address);
    QFETCH(QString, text);
    QCOMPARE(FailureText(failure, address), text);
}

void TestWorkbench::accessibleNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("accessible");
    QTest::addRow("program editor") << "Memo1" << "Program";
    QTest::addRow("listing pane") << "Memo2" << "Machine code";
    QTest::addRow("memory grid") << "StringGrid1" << "Memory";
    QTest::addRow("register list") << "ListBox1" << "Registers";
    QTest::addRow("register panel's list") << "RegisterDockList" << "Registers (panel)";
    QTest::addRow("output pane") << "Memo3" << "Output";
    QTest::addRow("input dialog's field") << "NumEdit1" << "Value";
}

void TestWorkbench::accessibleNames()
{
    QFETCH(QString, name);
    QFETCH(QString, accessible);
    TWorkbench bench;
    QWidget* widget = bench.form->findChild<QWidget*>(name);
    if (!widget)
        widget = bench.dialog->findChild<QWidget*>(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(widget->accessibleName(), accessible);
}

void TestWorkbench::tabOrderFollowsReading_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("panel"); // the register panel shown
    QTest::addColumn<QStringList>("order");
    const QStringList buttons = {"CustButton1", "CustButton2", "CustButton3", "CustButton4",
                                 "CustButton5", "Memo3"};
    const QStringList back = {"qt_tabwidget_tabbar"};
    QTest::addRow("Asm: the program editor, left with Ctrl+Tab")
        << 1 << false << QStringList{"qt_tabwidget_tabbar", "Memo1"} + buttons + back;
    QTest::addRow("Machinecode: the listing pane")
        << 2 << false << QStringList{"qt_tabwidget_tabbar", "Memo2"} + buttons + back;
    QTest::addRow("Memory: the grid, then the registers")
        << 3 << false << QStringList{"qt_tabwidget_tabbar", "StringGrid1", "ListBox1"} + buttons + back;
    QTest::addRow("Asm, the register panel after the output pane")
        << 1 << true << QStringList{"qt_tabwidget_tabbar", "Memo1"} + buttons
                            + QStringList{"RegisterDockList"} + back;
}

void TestWorkbench::tabOrderFollowsReading()
{
    QFETCH(int, page);
    QFETCH(bool, panel);
    QFETCH(QStringList, order);
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.RegisterDock->setVisible(panel);
    form.SelectPage(page);
    form.PageControl1->tabBar()->setFocus(Qt::TabFocusReason);
    QStringList walked = {QApplication::focusWidget()->objectName()};
    while (walked.size() < order.size()) {
        QWidget* focused = QApplication::focusWidget();
        // The program editor keeps Tab for indenting; Ctrl+Tab leaves it.
        const Qt::KeyboardModifiers modifiers = focused == form.PageControl1->Memo1 ? Qt::ControlModifier : Qt::NoModifier;
        QTest::keyClick(focused, Qt::Key_Tab, modifiers);
        walked << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(walked, order);
    QCOMPARE(form.PageControl1->currentIndex(), page);

    // Back again, one step at a time, as far as the page's first view.
    for (int i = order.size() - 2; i >= 1; --i) {
        QWidget* focused = QApplication::focusWidget();
        const Qt::KeyboardModifiers modifiers = focused == form.PageControl1->Memo1 ? Qt::ControlModifier : Qt::NoModifier;
        QTest::keyClick(focused, Qt::Key_Backtab, modifiers | Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), order[i]);
    }
    QCOMPARE(form.PageControl1->Memo1->toPlainText().count(QLatin1Char('\t')), 0);
}

void TestWorkbench::tabInProgramEditorIsText_data()
{
    // The line before Tab (typed at its end), what is typed after, the line and its listing.
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("listing");
    QTest::addRow("between instruction and operand") << "set" << "1" << "set     1" << "f001";
    QTest::addRow("at the start of a line") << "" << "add ah" << "        add ah" << "110a";
    QTest::addRow("at a tab stop a whole stop") << "set 0001" << "" << "set 0001        " << "f001";
    QTest::addRow("after a pasted tab, from its stop") << "\tinc" << "" << "\tinc     " << "16";
}

void TestWorkbench::tabInProgramEditorIsText()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, line);
    QFETCH(QString, listing);
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.PageControl1->Memo1->setPlainText(before);
    form.PageControl1->Memo1->setFocus(Qt::TabFocusReason);
    form.PageControl1->Memo1->moveCursor(QTextCursor::End);
    QTest::keyClick(form.PageControl1->Memo1, Qt::Key_Tab);
    QTest::keyClicks(form.PageControl1->Memo1, after);
    QCOMPARE(QApplication::focusWidget(), form.PageControl1->Memo1);
    QCOMPARE(form.PageControl1->Memo1->toPlainText(), line);
    // What was typed translates as it reads, with no warning.
    Click(form.Panel3->CustButton1);
    QCOMPARE(form.PageControl1->Memo2->toPlainText(), listing);
    QCOMPARE(form.PageControl1->Memo1->WarningLines(), QList<int>());
    const qsizetype tabs = before.count(QLatin1Char('\t'));
    form.SelectPage(1);
    form.PageControl1->Memo1->setFocus(Qt::TabFocusReason);
    // Ctrl+Tab leaves the editor and switches no page; Ctrl+Shift+Tab comes back.
    QTest::keyClick(form.PageControl1->Memo1, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), form.Panel3->CustButton1);
    QCOMPARE(form.PageControl1->currentIndex(), 1);
    QTest::keyClick(form.Panel3->CustButton1, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), form.PageControl1->Memo1);
    QCOMPARE(form.PageControl1->Memo1->toPlainText().count(QLatin1Char('\t')), tabs);
    // Shift+Tab types nothing: it goes back to the page tabs, as it does from any view.
    QTest::keyClick(form.PageControl1->Memo1, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), form.PageControl1->tabBar());
    QCOMPARE(form.PageControl1->Memo1->toPlainText(), line);
}

void TestWorkbench::listingLoading_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<Bytes>("bytes");
    QTest::addRow("odd last character ignored") << "0A1" << Bytes{10};
    QTest::addRow("blank shifts the pairing") << "0A 1B" << Bytes{10, 1};
    QTest::addRow("lower and upper case digits") << "0a0A" << Bytes{10, 10};
    QTest::addRow("single character adds nothing") << "A" << Bytes{};
    QTest::addRow("pairs never span lines") << "0\nA0" << Bytes{0xA0};
    QTest::addRow("empty lines add nothing") << "ff\n\n10" << Bytes{255, 16};
    QTest::addRow("empty listing") << "" << Bytes{};
    QTest::addRow("sample program") << "110a\n810102\nf001\n16\nf003\na10102\n931005\n00"
                                    << Bytes{0x11, 0x0a, 0x81, 0x01, 0x02, 0xf0, 0x01, 0x16, 0xf0,
                                             0x03, 0xa1, 0x01, 0x02, 0x93, 0x10, 0x05, 0x00};
    QTest::addRow("non-digit counts as zero") << "g1" << Bytes{1};
    QTest::addRow("non-ASCII character is one character")
        << QString::fromUtf8("1\xC3\xA9\xE2\x82\xAC" "2") << Bytes{0x10, 0x02};
}

void TestWorkbench::listingLoading()
{
    QFETCH(QString, listing);
    QFETCH(Bytes, bytes);
    QCOMPARE(TForm1::LoadListing(listing), bytes);
}

void TestWorkbench::listingPaneCountsLoadedBytes_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<int>("bytes");
    QTest::addRow("odd lengths") << QStringLiteral("123\n4\n56789") << 3;
    QTest::addRow("non-Latin-1 characters") << QString::fromUtf8("1\xE2\x82\xAC" "2\xC3\xA9") << 2;
    QTest::addRow("character outside the basic plane")
        << QString::fromUtf8("1\xF0\x9F\x98\x80" "2") << 2;
    QTest::addRow("line separator ends a line")
        << (QStringLiteral("0") + QChar(QChar::LineSeparator) + QStringLiteral("A0")) << 1;
    QTest::addRow("no-break space") << (QStringLiteral("0") + QChar(QChar::Nbsp) + QStringLiteral("A")) << 1;
    QTest::addRow("tab") << QStringLiteral("\t0A") << 1;
}

// The pane's addresses end where the bytes that Emulate loads from the pane end.
void TestWorkbench::listingPaneCountsLoadedBytes()
{
    QFETCH(QString, listing);
    QFETCH(int, bytes);
    TCodeEditor pane;
    pane.SetGutterMode(TCodeEditor::TGutterMode::ByteAddresses);
    pane.setPlainText(listing);
    QCOMPARE(static_cast<int>(TForm1::LoadListing(pane.toPlainText()).size()), bytes);
    QCOMPARE(pane.LineOfAddress(bytes), -1);
    QVERIFY(pane.LineOfAddress(bytes - 1) >= 0);
}

void TestWorkbench::gridRowsFollowImageSize_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("rows");
    QTest::addRow("0 bytes") << 0 << 1;
    QTest::addRow("14 bytes") << 14 << 1;
    QTest::addRow("15 bytes") << 15 << 2;
    QTest::addRow("30 bytes") << 30 << 3;
    QTest::addRow("31 bytes") << 31 << 3;
}

void TestWorkbench::gridRowsFollowImageSize()
{
    QFETCH(int, size);
    QFETCH(int, rows);
    TWorkbench bench;
    // Stop bytes: the run ends at its first step, after the grid has been sized and filled.
    EmulateListing(*bench.form, QString(2 * size, QLatin1Char('0')));
    QCOMPARE(bench.form->PageControl1->currentIndex(), 3);
    QCOMPARE(bench.form->PageControl1->StringGrid1->model()->rowCount(), rows);
    const TMemoryGridModel& grid = *bench.form->MemoryGrid();
    for (int i = 0; i < rows * 15; ++i)
        QCOMPARE(grid.CellText(i % 15, i / 15), i < size ? QStringLiteral("00") : QString());
    QVERIFY(WaitForCurrentRunEnd(*bench.form));
}

void TestWorkbench::showMemoryCells_data()
{
    QTest::addColumn<Bytes>("image");
    QTest::addColumn<QStringList>("cells");
    Bytes twenty(20);
    QStringList twentyCells;
    for (int i = 0; i < 30; ++i) {
        if (i < 20) {
            twenty[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 13);
            twentyCells << QStringLiteral("%1").arg(i * 13, 2, 16, QLatin1Char('0')).toUpper();
        } else {
            twentyCells << QString();
        }
    }
    QTest::addRow("20 bytes, cells 20 to 29 empty") << twenty << twentyCells;
    QStringList thirty;
    for (int i = 0; i < 45; ++i)
        thirty << (i < 30 ? QStringLiteral("00") : QString());
    QTest::addRow("30 bytes, third row empty") << Bytes(30) << thirty;
    QTest::addRow("empty image, one empty row") << Bytes{} << QStringList(15, QString());
    QStringList values = {"0A", "FF", "00"};
    for (int i = 3; i < 15; ++i)
        values << QString();
    QTest::addRow("two uppercase hex digits") << Bytes{10, 255, 0} << values;
}

void TestWorkbench::showMemoryCells()
{
    QFETCH(Bytes, image);
    QFETCH(QStringList, cells);
    TWorkbench bench;
    TForm1& form = *bench.form;
    // A full grid first, so that blanking the cells past the image is really exercised.
    TMemoryStream full(Bytes(75, 0xEE));
    form.ShowMemory(full);
    TMemoryStream stream(image);
    form.PageControl1->StringGrid1->SizeFor(stream.Size());
    form.ShowMemory(stream);
    QAbstractItemModel* model = form.PageControl1->StringGrid1->model();
    QCOMPARE(model->rowCount() * 15, cells.size());
    for (int i = 0; i < cells.size(); ++i)
        QCOMPARE(model->index(i / 15, i % 15).data().toString(), cells[i]);
}

void TestWorkbench::showMemoryKeepsPosition()
{
    TWorkbench bench;
    TMemoryStream image(Bytes(40, 7));
    image.SetPosition(23);
    bench.form->PageControl1->StringGrid1->SizeFor(image.Size());
    bench.form->ShowMemory(image);
    QCOMPARE(image.Position(), std::int64_t(23));
    image.SetPosition(-4);
    bench.form->ShowMemory(image);
    QCOMPARE(image.Position(), std::int64_t(-4));
}

void TestWorkbench::bytesBeyondGridRowsStayHidden()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    TMemoryStream image(Bytes(20, 1));
    form.PageControl1->StringGrid1->SizeFor(image.Size());
    image.SetPosition(44);
    image.WriteByte(0x5A); // grows the image to 45 bytes, past the grid's two rows
    form.ShowMemory(image);
    QCOMPARE(form.PageControl1->StringGrid1->model()->rowCount(), 2);
    QCOMPARE(form.MemoryGrid()->CellText(14, 1), QStringLiteral("00"));
    QCOMPARE(form.MemoryGrid()->CellText(4, 1), QStringLiteral("01"));
    QCOMPARE(form.MemoryGrid()->CellText(14, 2), QString());
}

void TestWorkbench::highlightSelectsOneCellWithoutScrolling()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.SelectPage(3);
    TMemoryStream image(Bytes(15 * 400, 3));
    form.PageControl1->StringGrid1->SizeFor(image.Size());
    form.ShowMemory(image);
    QTableView* grid = form.PageControl1->StringGrid1;
    // A range the user selected is replaced by the next highlight.
    grid->selectionModel()->select(QItemSelection(grid->model()->index(0, 0), grid->model()->index(3, 4)),
                                   QItemSelectionModel::Select);
    const int scrolled = grid->verticalScrollBar()->value();
    form.HighlightAddress(300 * 15 + 5);
    QCOMPARE(grid->selectionModel()->selectedIndexes(), QModelIndexList{grid->model()->index(300, 5)});
    QCOMPARE(grid->verticalScrollBar()->value(), scrolled);
    form.HighlightAddress(14);
    QCOMPARE(grid->selectionModel()->selectedIndexes(), QModelIndexList{grid->model()->index(0, 14)});
    // A cell past the grid's rows (an image that grew) leaves nothing selected.
    QCOMPARE(grid->model()->rowCount(), 401);
    form.HighlightAddress(401 * 15);
    QVERIFY(grid->selectionModel()->selectedIndexes().isEmpty());
    form.HighlightAddress(15);
    form.HighlightAddress(-1);
    QVERIFY(grid->selectionModel()->selectedIndexes().isEmpty());
}

void TestWorkbench::cellOfAddress_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<qint64>("address");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addRow("address 0, first cell") << 2 << qint64(0) << 0 << 0;
    QTest::addRow("address 14, last column of row 0") << 2 << qint64(14) << 0 << 14;
    QTest::addRow("address 15, first column of row 1") << 2 << qint64(15) << 1 << 0;
    QTest::addRow("last cell of the grid") << 2 << qint64(29) << 1 << 14;
    QTest::addRow("one past the last row") << 2 << qint64(30) << -1 << -1;
    QTest::addRow("negative address") << 2 << qint64(-1) << -1 << -1;
    QTest::addRow("beyond any int row") << 2 << (qint64(1) << 40) << -1 << -1;
    QTest::addRow("many rows") << 401 << qint64(300 * 15 + 5) << 300 << 5;
}

void TestWorkbench::cellOfAddress()
{
    QFETCH(int, rows);
    QFETCH(qint64, address);
    QFETCH(int, row);
    QFETCH(int, column);
    TMemoryGridModel grid;
    grid.SetRowCount(rows);
    const QModelIndex cell = grid.CellIndex(address);
    QCOMPARE(cell.isValid(), row >= 0);
    if (cell.isValid()) {
        QCOMPARE(cell.row(), row);
        QCOMPARE(cell.column(), column);
    }
}

void TestWorkbench::showRegisters_data()
{
    QTest::addColumn<TRegisterFile>("registers");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("marked");
    QTest::addColumn<QString>("third");
    QTest::addColumn<QString>("last");
    TRegisterFile values{};
    values[2] = -5;
    values[14] = 2147483647;
    QTest::addRow("index 2 marks R3 only") << values << 2 << 2 << "R3: -5 *" << "R15: 2147483647";
    QTest::addRow("index 0 marks R1") << values << 0 << 0 << "R3: -5" << "R15: 2147483647";
    QTest::addRow("index 14 marks R15") << values << 14 << 14 << "R3: -5" << "R15: 2147483647 *";
    QTest::addRow("index 15 marks none") << values << 15 << -1 << "R3: -5" << "R15: 2147483647";
    QTest::addRow("index 255 marks none") << values << 255 << -1 << "R3: -5" << "R15: 2147483647";
    TRegisterFile lowest{};
    lowest[2] = -2147483647 - 1;
    QTest::addRow("lowest value") << lowest << 1 << 1 << "R3: -2147483648" << "R15: 0";
}

void TestWorkbench::showRegisters()
{
    QFETCH(TRegisterFile, registers);
    QFETCH(int, current);
    QFETCH(int, marked);
    QFETCH(QString, third);
    QFETCH(QString, last);
    TWorkbench bench;
    bench.form->ShowRegisters(registers, static_cast<std::uint8_t>(current));
    const QStringList lines = RegisterLines(*bench.form);
    QCOMPARE(lines.size(), 15);
    for (int i = 0; i < 15; ++i) {
        QVERIFY2(lines[i].startsWith(QStringLiteral("R%1: ").arg(i + 1)), qPrintable(lines[i]));
        QCOMPARE(lines[i].endsWith(QStringLiteral(" *")), i == marked);
    }
    QCOMPARE(lines[2], third);
    QCOMPARE(lines[14], last);
}

void TestWorkbench::showRegistersReplacesOldLines()
{
    TWorkbench bench;
    for (int i = 0; i < 20; ++i)
        bench.form->PageControl1->ListBox1->addItem(QStringLiteral("old"));
    TRegisterFile registers{};
    registers[0] = 1;
    bench.form->ShowRegisters(registers, 0);
    bench.form->ShowRegisters(registers, 0);
    QCOMPARE(RegisterLines(*bench.form).size(), 15);
    QCOMPARE(RegisterLines(*bench.form).first(), QStringLiteral("R1: 1 *"));
}

void TestWorkbench::outputAccumulates()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.AppendOutput("Value: 0");
    form.AppendOutput("Value: -3");
    // "Emulate" clears neither the output pane nor the register list.
    TRegisterFile registers{};
    form.ShowRegisters(registers, 0);
    EmulateListing(form, QStringLiteral("00"));
    QVERIFY(WaitForCurrentRunEnd(form));
    QCOMPARE(OutputLines(form), QStringList({"Value: 0", "Value: -3"}));
    QCOMPARE(RegisterLines(form).size(), 15);
}

void TestWorkbench::outputPaneEditing_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("text");
    QTest::addRow("Ctrl+Z leaves output alone")
        << QStringList{"out:Value: 1", "out:Value: 2", "ctrl+z", "ctrl+z"} << "Value: 1\nValue: 2";
    QTest::addRow("the context menu's Undo leaves output alone")
        << QStringList{"out:Value: 1", "menu:edit-undo"} << "Value: 1";
    QTest::addRow("Ctrl+Z takes back typing after the output")
        << QStringList{"out:Value: 1", "type: seen", "ctrl+z"} << "Value: 1";
    QTest::addRow("output ends the undo of earlier typing")
        << QStringList{"type:note", "out:Value: 1", "ctrl+z"} << "note\nValue: 1";
    QTest::addRow("Clear Output empties the pane")
        << QStringList{"out:Value: 1", "type: x", "menu:ClearOutputAction"} << "";
    QTest::addRow("one Undo brings back what Clear Output took")
        << QStringList{"out:Value: 1", "type: x", "menu:ClearOutputAction", "ctrl+z"} << "Value: 1 x";
    QTest::addRow("output after Clear Output ends its undo")
        << QStringList{"out:Value: 1", "menu:ClearOutputAction", "out:Value: 2", "ctrl+z"}
        << "Value: 2";
}

void TestWorkbench::outputPaneEditing()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, text);
    TWorkbench bench;
    TForm1& form = *bench.form;
    // One command, shown in the Run menu and in the pane's context menu.
    QCOMPARE(RunMenuAction(form, "ClearOutputAction"), form.Memo3->ClearAction);
    for (const QString& step : steps)
        RunPaneStep(form, step);
    QCOMPARE(form.Memo3->toPlainText(), text);
}

void TestWorkbench::outputPaneFollowsNewestLine_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("lineLength");
    QTest::addColumn<bool>("scrolledToTop");
    QTest::addRow("short lines") << 100 << 10 << false;
    QTest::addRow("lines that wrap") << 40 << 200 << false;
    QTest::addRow("after the user scrolled to the top") << 100 << 10 << true;
}

void TestWorkbench::outputPaneFollowsNewestLine()
{
    QFETCH(int, lines);
    QFETCH(int, lineLength);
    QFETCH(bool, scrolledToTop);
    TWorkbench bench;
    TForm1& form = *bench.form;
    TOutputPane& pane = *form.Memo3;
    for (int i = 0; i < lines; ++i)
        form.AppendOutput("Value: " + std::string(static_cast<std::size_t>(lineLength), '7'));
    if (scrolledToTop)
        pane.verticalScrollBar()->setValue(0);
    form.AppendOutput("Value: 42");
    QTextCursor end(pane.document());
    end.movePosition(QTextCursor::End);
    QVERIFY(pane.viewport()->rect().contains(pane.cursorRect(end)));
    QVERIFY(pane.verticalScrollBar()->value() > 0);
}

void TestWorkbench::saveOutput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typedName");
    QTest::addColumn<QString>("savedName");
    QTest::addColumn<QByteArray>("bytes");
    // No typed name: saved without the dialog, over a file that is there.
    QTest::addRow("Save Output As adds .txt and a last line break")
        << "Value: 1\nValue: 2" << "run" << "run.txt" << QByteArray("Value: 1\nValue: 2\n");
    QTest::addRow("UTF-8, the file there replaced")
        << "Wert: \u00e4\n\u20ac\n" << "" << "old.txt" << QByteArray("Wert: \xc3\xa4\n\xe2\x82\xac\n");
    QTest::addRow("an empty pane makes an empty file") << "" << "" << "old.txt" << QByteArray();
    QTest::addRow("a folder that is not there") << "Value: 1" << "" << "gone/out.txt" << QByteArray();
}

void TestWorkbench::saveOutput()
{
    QFETCH(QString, text);
    QFETCH(QString, typedName);
    QFETCH(QString, savedName);
    QFETCH(QByteArray, bytes);
    QTemporaryDir folder;
    const QString path = folder.filePath(savedName);
    const bool missingFolder = savedName.contains('/');
    QFile old(folder.filePath("old.txt"));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old text\n") > 0);
    old.close();
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.Memo3->setPlainText(text);
    TSeenBox box;
    QPointer<QTimer> watcher = missingFolder ? AnswerNextBox(box, QMessageBox::Ok) : nullptr;
    if (!typedName.isEmpty()) {
        bool answered = false;
        AnswerNextFileDialog(folder.filePath(typedName), answered);
        QAction* saveAs = RunMenuAction(form, "SaveOutputAsAction");
        QCOMPARE(saveAs, form.Memo3->SaveAsAction);
        saveAs->trigger();
        QVERIFY(answered);
    } else {
        QCOMPARE(form.Memo3->SaveTo(path), !missingFolder);
    }
    delete watcher;
    QFile saved(path);
    if (missingFolder) {
        QVERIFY(box.seen);
        QVERIFY2(box.text.startsWith("Could not save "), qPrintable(box.text));
        QVERIFY(!saved.exists());
        return;
    }
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), bytes);
}

QTEST_MAIN(TestWorkbench)
#include "test_workbench.moc"
