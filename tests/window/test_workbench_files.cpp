// The window with files: the title, the menus and their keys, opening, saving, the question
// before unsaved changes are replaced, dropped files, recovery between windows, and the status
// bar's account of each run. Dialogs are answered with real mouse and key events.

#include "common/ApplicationNames.h"
#include "common/ErrorBox.h"
#include "document/FileDrop.h"
#include "document/ProgramDocument.h"
#include "document/RecoveryController.h"
#include "reference/InstructionReference.h"
#include "views/MemoryGridModel.h"
#include "views/RegisterListView.h"
#include "window/MainMenu.h"
#include "window/PanelHost.h"
#include "window/RegisterDock.h"
#include "window/RunStatusBar.h"
#include "WorkbenchTestSupport.h"
#include "emulator/emuthread.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QScopeGuard>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWindow>

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace {

// inc; jmp 0 - counts R1 up for ever.
const QString CountForever = u"16\n9000"_s;
// inc; out $1; jmp 0 - counts and reports for ever.
const QString ReportForever = u"16\nf401\n9000"_s;

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Writes two program files and opens them in turn: the second is the window's program, and
// the recent list names both, the second first. Callers check QTest::currentTestFailed().
void OpenInTurn(TForm1& form, const QString& first, const QByteArray& firstBytes,
                const QString& second, const QByteArray& secondBytes)
{
    QVERIFY(WriteFile(first, firstBytes));
    QVERIFY(WriteFile(second, secondBytes));
    QVERIFY(form.Document().OpenGuarded(first));
    QVERIFY(form.Document().OpenGuarded(second));
}

QString PlatformTitle(const TForm1& form)
{
    return form.windowHandle() ? form.windowHandle()->title() : QString();
}

// Types at the end of the program editor, as a student would.
void TypeAtEnd(TForm1& form, const QString& text)
{
    form.PageControl1->Memo1->setFocus();
    form.PageControl1->Memo1->moveCursor(QTextCursor::End);
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(form.PageControl1->Memo1, Qt::Key_Return);
        QTest::keyClicks(form.PageControl1->Memo1, lines[i]);
    }
}

// Drags a file over the widget and drops it there.
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

// Presses a key on the window as a user would, to whichever control has the focus. The window
// is made active first, as a user's click would: the offscreen platform activates no window
// again when a dialog closes, and the menus' keys work only in the active window.
void PressKey(TForm1& form, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    if (!form.isActiveWindow())
        QApplication::setActiveWindow(&form);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

// After another program came into the editor: the listing pane is empty, Ctrl+Z there cannot
// bring the old listing back, and Emulate (Ctrl+F5) runs nothing of it.
void CheckListingForgotten(TForm1& form)
{
    QTRY_COMPARE(form.PageControl1->Memo2->toPlainText(), QString());
    QCOMPARE(form.StatusBar1->TranslationText(), QString());
    form.PageControl1->Memo2->setFocus();
    QTest::keyClick(form.PageControl1->Memo2, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(form.PageControl1->Memo2->toPlainText(), QString());
    PressKey(form, Qt::Key_F5, Qt::ControlModifier);
    QVERIFY(WaitForCurrentRunEnd(form));
    QTRY_COMPARE(form.StatusBar1->RunText(), u"Ended at the end of the image after 0 steps"_s);
}
// Chooses a register base as a user would: "view" through the View menu's Register Base
// submenu, "context" through the register list's context menu, "panel" through the register
// panel's, each with the entry's mnemonic.
void ChooseRegisterBase(TForm1& form, const QString& way, Qt::Key key)
{
    QMenu* menu = nullptr;
    if (way == u"view"_s) {
        PressKey(form, Qt::Key_V, Qt::AltModifier);
        QTRY_VERIFY(form.MainMenu1->ViewMenu->isVisible());
        QTest::keyClick(form.MainMenu1->ViewMenu, Qt::Key_B);
        menu = form.MainMenu1->RegisterBaseMenu;
        QTRY_VERIFY(menu->isVisible());
    } else {
        QWidget* list = (way == u"panel"_s ? form.RegisterDock->List
                                           : form.PageControl1->ListBox1)->viewport();
        const QPoint at = list->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->mapToGlobal(at));
        QApplication::sendEvent(list, &event);
        QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
        menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }
    QTest::keyClick(menu, key);
    QTRY_VERIFY(!QApplication::activePopupWidget());
}

// The name of the checked entry among the register bases.
QString CheckedRegisterBase(const TForm1& form)
{
    for (QAction* action : form.MainMenu1->RegisterBaseMenu->actions())
        if (action->isChecked())
            return action->objectName();
    return QString();
}

// Shows or hides the register panel as a user would: "menu" through View → Registers, "keys"
// with Ctrl+Shift+R, "close" with the panel's own close button.
void ToggleRegisterPanel(TForm1& form, const QString& way)
{
    if (way == u"menu"_s) {
        PressKey(form, Qt::Key_V, Qt::AltModifier);
        QTRY_VERIFY(form.MainMenu1->ViewMenu->isVisible());
        QTest::keyClick(form.MainMenu1->ViewMenu, Qt::Key_R);
        QTRY_VERIFY(!QApplication::activePopupWidget());
    } else if (way == u"keys"_s) {
        PressKey(form, Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    } else {
        auto* close =
            form.RegisterDock->findChild<QAbstractButton*>(u"qt_dockwidget_closebutton"_s);
        QVERIFY(close && close->isVisible());
        QTest::mouseClick(close, Qt::LeftButton, Qt::NoModifier, close->rect().center());
    }
}

// The designed area keeps its size, and its views their places in it, whatever the panel does.
void CheckDesignedArea(const TForm1& form)
{
    QCOMPARE(form.ClientArea->size(), QSize(688, 451));
    QCOMPARE(form.Panel2->geometry(), QRect(0, 0, 373, 451));
    QCOMPARE(form.Memo3->geometry(), QRect(373, 0, 315, 451));
}

// The panel's list shows what the Memory page's list shows: lines, mark, tints and base.
void CheckPanelMatchesMemoryPage(const TForm1& form)
{
    const TRegisterListView& page = *form.PageControl1->ListBox1;
    const TRegisterListView& panel = *form.RegisterDock->List;
    QCOMPARE(PanelRegisterLines(form), RegisterLines(form));
    QCOMPARE(panel.Base(), page.Base());
    for (int line = 0; line < page.count(); ++line)
        QCOMPARE(panel.LineChanged(line), page.LineChanged(line));
}

QStringList RecoveryTexts()
{
    return QDir(TRecoverySlot::DefaultFolder()).entryList({u"*.recovery"_s}, QDir::Files);
}

} // namespace

class TestWorkbenchFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void titleFollowsFileAndChanges();
    void typingGoesToTheProgram_data();
    void typingGoesToTheProgram();
    void guardAsksBeforeReplacing_data();
    void guardAsksBeforeReplacing();
    void cancelledCloseKeepsRunsGoing();
    void openRefusesWhatIsNotText_data();
    void openRefusesWhatIsNotText();
    void openAndSaveKeepTheFilesStyle_data();
    void openAndSaveKeepTheFilesStyle();
    void failedSaveKeepsTextChanged_data();
    void failedSaveKeepsTextChanged();
    void fileDialogsOpenAndSave();
    void recentMenuOpensAndDropsGoneFiles();
    void draggedFile_data();
    void draggedFile();
    void documentResetAfterRunKeepsEditorSound_data();
    void documentResetAfterRunKeepsEditorSound();
    void startFileNotMadeYet_data();
    void startFileNotMadeYet();

    void runKeysDoWhatTheButtonsDo();
    void pauseKeyFollowsTheCaption();
    void problemKeysVisitMarkedLines_data();
    void problemKeysVisitMarkedLines();
    void aboutNamesTheVersion();
    void f1OpensTheInstructionReference();
    void newRunStartsWithoutChangeTints();
    void statusTellsHowRunsEnd_data();
    void statusTellsHowRunsEnd();
    void statusFollowsInputAndPause_data();
    void statusFollowsInputAndPause();
    void registerBaseIsChosenAndKept_data();
    void registerBaseIsChosenAndKept();
    void registerBaseDuringASteppedRun();
    void registerPanelShowsAndHides_data();
    void registerPanelShowsAndHides();
    void registerPanelFloatsAndDocks();
    void registerPanelArrangementIsKept_data();
    void registerPanelArrangementIsKept();

    void changesReachTheRecoveryFile();
    void abandonedTextIsOfferedBack_data();
    void abandonedTextIsOfferedBack();
    void newestAbandonedTextComesFirst();
    void steadyTypingReachesTheRecoveryFile();
    void liveWindowKeepsItsText();
    void failedRecoveryWriteIsShown();

private:
    QTemporaryDir dir_;
};

void TestWorkbenchFiles::initTestCase()
{
    // As the program names itself: window titles get nothing appended.
    NameApplication();
    QVERIFY(dir_.isValid());
}

void TestWorkbenchFiles::init()
{
    // Each test starts without recent files and without texts left by earlier windows.
    QSettings(QSettings::UserScope, ApplicationTitle(), ApplicationTitle()).clear();
    QDir(TRecoverySlot::DefaultFolder()).removeRecursively();
}

// ---- title -----------------------------------------------------------------------------------

void TestWorkbenchFiles::titleFollowsFileAndChanges()
{
    const QString path = dir_.filePath(u"sum.mir"_s);
    QVERIFY(WriteFile(path, "add ah\nstop\n"));
    TWorkbench bench;
    TForm1& form = *bench.form;
    QCOMPARE(PlatformTitle(form), u"Mirelo"_s);
    TypeAtEnd(form, u"inc"_s);
    // A program never saved is marked as changed like one with a file.
    QCOMPARE(PlatformTitle(form), u"Untitled* \u2014 Mirelo"_s);
    QVERIFY(form.Document().IsModified());

    TSeenBox box;
    AnswerNextBox(box, QMessageBox::Discard);
    QVERIFY(form.Document().OpenGuarded(path));
    QVERIFY(box.seen);
    QCOMPARE(PlatformTitle(form), u"sum.mir \u2014 Mirelo"_s);
    TypeAtEnd(form, u"x"_s);
    QCOMPARE(PlatformTitle(form), u"sum.mir* \u2014 Mirelo"_s);
    // Back to the file's text: no longer marked, though the text was edited twice.
    QTest::keyClick(form.PageControl1->Memo1, Qt::Key_Backspace);
    QCOMPARE(PlatformTitle(form), u"sum.mir \u2014 Mirelo"_s);
    QVERIFY(!form.Document().IsModified());
    PressKey(form, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(PlatformTitle(form), u"Mirelo"_s);
    QVERIFY(form.PageControl1->Memo1->toPlainText().isEmpty());
    // Typed straight after New, without a click into the editor; gone again, nothing to save.
    PressKey(form, Qt::Key_X);
    QCOMPARE(PlatformTitle(form), u"Untitled* \u2014 Mirelo"_s);
    PressKey(form, Qt::Key_Backspace);
    QCOMPARE(PlatformTitle(form), u"Mirelo"_s);
}

// Whatever put the program in the editor, the editor is shown and takes what is typed next.
void TestWorkbenchFiles::typingGoesToTheProgram_data()
{
    QTest::addColumn<QString>("command");
    QTest::addRow("start") << u"start"_s;
    QTest::addRow("New") << u"new"_s;
    QTest::addRow("Open") << u"open"_s;
    QTest::addRow("dropped file") << u"drop"_s;
    QTest::addRow("Restore") << u"restore"_s;
}

void TestWorkbenchFiles::typingGoesToTheProgram()
{
    QFETCH(QString, command);
    const QString path = dir_.filePath(u"focus.mir"_s);
    QVERIFY(WriteFile(path, "stop"));
    TWorkbench bench;
    TForm1& form = *bench.form;
    if (command != u"start"_s) {
        form.SelectPage(TProgramPages::PageMemory);
        form.Panel3->CustButton3->setFocus();
    }
    bool seen = false;
    if (command == u"new"_s) {
        PressKey(form, Qt::Key_N, Qt::ControlModifier);
    } else if (command == u"open"_s) {
        AnswerNextFileDialog(path, seen);
        PressKey(form, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(seen);
    } else if (command == u"drop"_s) {
        DropFile(form.Memo3->viewport(), path);
    } else if (command == u"restore"_s) {
        const TProgramText text{u"stop"_s, TLineBreak::Lf, false};
        form.Document().Restore(TRecoveredProgram{path, text});
    }
    // The offscreen platform activates no window again once a dialog has closed.
    QApplication::setActiveWindow(&form);
    QTRY_COMPARE(QApplication::focusWidget(), form.PageControl1->Memo1);
    QCOMPARE(form.PageControl1->currentIndex(), TProgramPages::PageAsm);
    form.PageControl1->Memo1->moveCursor(QTextCursor::End);
    PressKey(form, Qt::Key_X);
    QVERIFY(form.PageControl1->Memo1->toPlainText().endsWith(u'x'));
}

// ---- the question before unsaved changes go --------------------------------------------------

void TestWorkbenchFiles::guardAsksBeforeReplacing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    for (const QString& command : {u"New"_s, u"Open Recent"_s, u"drop"_s, u"close"_s, u"Quit"_s}) {
        QTest::addRow("%s, Save", qPrintable(command)) << command << QMessageBox::Save;
        QTest::addRow("%s, Discard", qPrintable(command)) << command << QMessageBox::Discard;
        QTest::addRow("%s, Cancel", qPrintable(command)) << command << QMessageBox::Cancel;
    }
}

void TestWorkbenchFiles::guardAsksBeforeReplacing()
{
    QFETCH(QString, command);
    QFETCH(QMessageBox::StandardButton, answer);
    const QString edited = dir_.filePath(u"edited.mir"_s);
    const QString other = dir_.filePath(u"other.mir"_s);
    TWorkbench bench;
    TForm1& form = *bench.form;
    OpenInTurn(form, other, "inc\nstop\n", edited, "stop\n");
    if (QTest::currentTestFailed())
        return;
    TypeAtEnd(form, u"inc"_s);
    form.Recovery().WriteNow();
    QCOMPARE(RecoveryTexts().size(), 1);
    PressKey(form, Qt::Key_F7);
    QCOMPARE(form.PageControl1->Memo2->toPlainText(), u"00\n16"_s);

    TSeenBox box;
    AnswerNextBox(box, answer);
    if (command == u"New"_s) {
        PressKey(form, Qt::Key_N, Qt::ControlModifier);
    } else if (command == u"Open Recent"_s) {
        // File, Open Recent, the second entry: the list is most recent first.
        PressKey(form, Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(form.MainMenu1->FileMenu->isVisible());
        QTest::keyClick(form.MainMenu1->FileMenu, Qt::Key_R);
        QTRY_VERIFY(form.MainMenu1->RecentMenu->isVisible());
        QTest::keyClick(form.MainMenu1->RecentMenu, Qt::Key_2);
    } else if (command == u"drop"_s) {
        DropFile(form.PageControl1->Memo1->viewport(), other);
    } else if (command == u"close"_s) {
        form.close();
    } else {
        PressKey(form, Qt::Key_Q, Qt::ControlModifier);
    }
    QTRY_VERIFY(box.seen);
    QCOMPARE(box.text, u"Save the changes to edited.mir?"_s);
    QCOMPARE(box.buttonCount, 3);

    const bool goesOn = answer != QMessageBox::Cancel;
    QCOMPARE(ReadFile(edited), answer == QMessageBox::Save ? "stop\ninc" : "stop\n");
    // Saved or discarded, the recovery text goes; cancelled, everything stays as it was.
    QCOMPARE(RecoveryTexts().size(), goesOn ? 0 : 1);
    if (!goesOn) {
        QCOMPARE(form.PageControl1->Memo1->toPlainText(), u"stop\ninc"_s);
        QCOMPARE(form.PageControl1->Memo2->toPlainText(), u"00\n16"_s);
        QVERIFY(form.Document().IsModified());
        QVERIFY(form.isVisible());
        return;
    }
    if (command == u"New"_s)
        QCOMPARE(form.PageControl1->Memo1->toPlainText(), QString());
    else if (command == u"close"_s || command == u"Quit"_s)
        QVERIFY(!form.isVisible());
    else
        QTRY_COMPARE(form.PageControl1->Memo1->toPlainText(), u"inc\nstop\n"_s);
    if (command != u"close"_s && command != u"Quit"_s)
        CheckListingForgotten(form);
}

void TestWorkbenchFiles::cancelledCloseKeepsRunsGoing()
{
    TWorkbench bench(1ms);
    TForm1& form = *bench.form;
    TypeAtEnd(form, u"\ninc"_s);
    EmulateListing(form, ReportForever);
    QTRY_VERIFY(OutputLines(form).size() >= 2);
    TSeenBox box;
    AnswerNextBox(box, QMessageBox::Cancel);
    QVERIFY(!form.close());
    QVERIFY(box.seen);
    QVERIFY(form.isVisible());
    const qsizetype shown = OutputLines(form).size();
    QTRY_VERIFY(OutputLines(form).size() > shown + 2);
    QVERIFY(!form.Session().CurrentWorker()->Finished());

    AnswerNextBox(box, QMessageBox::Discard);
    QVERIFY(form.close());
    QCOMPARE(form.Session().RunCount(), std::size_t(0));
}

// ---- opening and saving ----------------------------------------------------------------------

void TestWorkbenchFiles::openRefusesWhatIsNotText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::addRow("a folder") << u"folder.mir"_s << QByteArray() << u"it is a folder, not a file"_s;
    QTest::addRow("a NUL byte") << u"nul.mir"_s << QByteArray("inc\nst\0p", 8)
                                << u"it holds a NUL byte on line 2, so it is not a text file"_s;
    QTest::addRow("larger than 4 MiB") << u"big.mir"_s << QByteArray(MaxProgramFileBytes + 1, 'a')
                                       << u"it is larger than 4 MiB (4194305 bytes)"_s;
    QTest::addRow("missing") << u"missing.mir"_s << QByteArray() << QString();
}

void TestWorkbenchFiles::openRefusesWhatIsNotText()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString path = dir_.filePath(name);
    if (name == u"folder.mir"_s)
        QVERIFY(QDir(dir_.path()).mkpath(name));
    else if (!bytes.isEmpty())
        QVERIFY(WriteFile(path, bytes));
    TWorkbench bench;
    TForm1& form = *bench.form;
    const QString sample = form.PageControl1->Memo1->toPlainText();
    TSeenBox box;
    CloseNextErrorBox(box);
    // Dropped on the window, as a student would hand it over.
    DropFile(&form, path);
    QTRY_VERIFY(box.seen);
    QCOMPARE(box.icon, QMessageBox::Critical);
    const QString prefix = u"Could not open %1: "_s.arg(QDir::toNativeSeparators(path));
    QVERIFY2(box.text.startsWith(prefix), qPrintable(box.text));
    if (!reason.isEmpty())
        QCOMPARE(box.text, ErrorBoxText(prefix + reason));
    QCOMPARE(form.PageControl1->Memo1->toPlainText(), sample);
    QVERIFY(!form.Document().IsModified());
    QCOMPARE(form.Document().FilePath(), QString());
    QCOMPARE(PlatformTitle(form), u"Mirelo"_s);
}

void TestWorkbenchFiles::openAndSaveKeepTheFilesStyle_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("saved");
    QTest::addRow("CRLF breaks stay CRLF") << QByteArray("inc\r\nstop\r\n") << u"inc\nstop\n"_s
                                           << QByteArray("inc\r\nstop\r\nout $1");
    QTest::addRow("lone CR breaks stay CR") << QByteArray("inc\rstop") << u"inc\nstop"_s
                                            << QByteArray("inc\rstopout $1");
    QTest::addRow("Latin-1 is read as such, written as UTF-8")
        << QByteArray("; caf\xe9\ninc\n") << u"; caf\u00e9\ninc\n"_s
        << QByteArray("; caf\xc3\xa9\ninc\nout $1");
    // The editor reads a no-break space back as a blank; opening alone is still no change.
    QTest::addRow("no-break space opens unchanged")
        << QByteArray("out\xc2\xa0$1\n") << u"out $1\n"_s << QByteArray("out $1\nout $1");
    QTest::addRow("byte order mark kept") << QByteArray("\xef\xbb\xbfinc\n") << u"inc\n"_s
                                          << QByteArray("\xef\xbb\xbfinc\nout $1");
}

void TestWorkbenchFiles::openAndSaveKeepTheFilesStyle()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QFETCH(QByteArray, saved);
    const QString path = dir_.filePath(u"style.mir"_s);
    QVERIFY(WriteFile(path, bytes));
    TWorkbench bench;
    TForm1& form = *bench.form;
    QVERIFY(form.Document().OpenGuarded(path));
    QCOMPARE(form.PageControl1->Memo1->toPlainText(), shown);
    QVERIFY(!form.Document().IsModified());
    TypeAtEnd(form, u"out $1"_s);
    PressKey(form, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(ReadFile(path), saved);
    QVERIFY(!form.Document().IsModified());
    QCOMPARE(PlatformTitle(form), u"style.mir \u2014 Mirelo"_s);
}

void TestWorkbenchFiles::failedSaveKeepsTextChanged_data()
{
    QTest::addColumn<bool>("folderInTheWay");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("saveAs");   // the box's "Save As…" taken, else Cancel
    QTest::addRow("a folder where the file was")
        << true << u"a folder of that name is in the way"_s << false;
    QTest::addRow("a folder that is not there") << false << QString() << false;
    QTest::addRow("saved elsewhere with Save As") << false << QString() << true;
}

void TestWorkbenchFiles::failedSaveKeepsTextChanged()
{
    QFETCH(bool, folderInTheWay);
    QFETCH(QString, reason);
    QFETCH(bool, saveAs);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"lost.mir"_s);
    QVERIFY(WriteFile(path, "stop\n"));
    TWorkbench bench;
    TForm1& form = *bench.form;
    QVERIFY(form.Document().OpenGuarded(path));
    TypeAtEnd(form, u"inc"_s);
    QVERIFY(QFile::remove(path));
    if (folderInTheWay)
        QVERIFY(QDir(folder.path()).mkdir(u"lost.mir"_s));
    else
        QVERIFY(QDir(folder.path()).removeRecursively());

    TSeenBox box;
    AnswerNextBox(box, saveAs ? QMessageBox::Save : QMessageBox::Cancel);
    const QString elsewhere = dir_.filePath(u"elsewhere.mir"_s);
    bool chosen = false;
    if (saveAs)
        AnswerNextFileDialog(elsewhere, chosen);
    PressKey(form, Qt::Key_S, Qt::ControlModifier);
    QTRY_VERIFY(box.seen);
    const QString prefix = u"Could not save %1: "_s.arg(QDir::toNativeSeparators(path));
    QVERIFY2(box.text.startsWith(prefix) && box.text.size() > prefix.size() + 1, qPrintable(box.text));
    if (!reason.isEmpty())
        QCOMPARE(box.text, ErrorBoxText(prefix + reason));
    QCOMPARE(box.buttonCount, 2);
    if (saveAs) {
        QTRY_VERIFY(chosen);
        QTRY_VERIFY(!form.Document().IsModified());
        QCOMPARE(ReadFile(elsewhere), QByteArray("stop\ninc"));
        QCOMPARE(PlatformTitle(form), u"elsewhere.mir \u2014 Mirelo"_s);
        return;
    }
    QCOMPARE(form.PageControl1->Memo1->toPlainText(), u"stop\ninc"_s);
    QVERIFY(form.Document().IsModified());
    QCOMPARE(PlatformTitle(form), u"lost.mir* \u2014 Mirelo"_s);
}

void TestWorkbenchFiles::fileDialogsOpenAndSave()
{
    const QString opened = dir_.filePath(u"handout.mir"_s);
    QVERIFY(WriteFile(opened, "in $1\nout $1\nstop\n"));
    const QString typed = dir_.filePath(u"answer"_s);
    TWorkbench bench;
    TForm1& form = *bench.form;

    PressKey(form, Qt::Key_F7);
    bool seen = false;
    AnswerNextFileDialog(opened, seen);
    PressKey(form, Qt::Key_O, Qt::ControlModifier);
    QVERIFY(seen);
    QCOMPARE(form.PageControl1->Memo1->toPlainText(), u"in $1\nout $1\nstop\n"_s);
    QCOMPARE(PlatformTitle(form), u"handout.mir \u2014 Mirelo"_s);
    CheckListingForgotten(form);

    // Save As adds the suffix a name typed without one lacks. The program stays the same, and
    // so does its listing.
    TypeAtEnd(form, u"inc"_s);
    PressKey(form, Qt::Key_F7);
    seen = false;
    AnswerNextFileDialog(typed, seen);
    PressKey(form, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(seen);
    QCOMPARE(ReadFile(typed + u".mir"_s), QByteArray("in $1\nout $1\nstop\ninc"));
    QCOMPARE(ReadFile(opened), QByteArray("in $1\nout $1\nstop\n"));
    QCOMPARE(PlatformTitle(form), u"answer.mir \u2014 Mirelo"_s);
    QCOMPARE(form.PageControl1->Memo2->toPlainText(), u"f701\nf401\n00\n16"_s);
    QCOMPARE(form.Document().RecentFiles().Files(),
             QStringList({typed + u".mir"_s, opened}));
}

void TestWorkbenchFiles::recentMenuOpensAndDropsGoneFiles()
{
    const QString kept = dir_.filePath(u"kept.mir"_s);
    const QString gone = dir_.filePath(u"gone.mir"_s);
    TWorkbench bench;
    TForm1& form = *bench.form;
    OpenInTurn(form, kept, "stop\n", gone, "inc\n");
    if (QTest::currentTestFailed())
        return;
    QVERIFY(QFile::remove(gone));
    PressKey(form, Qt::Key_N, Qt::ControlModifier);

    TSeenBox box;
    AnswerNextBox(box, QMessageBox::Ok);
    PressKey(form, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(form.MainMenu1->FileMenu->isVisible());
    QTest::keyClick(form.MainMenu1->FileMenu, Qt::Key_R);
    QTRY_VERIFY(form.MainMenu1->RecentMenu->isVisible());
    const QList<QAction*> entries = form.MainMenu1->RecentMenu->actions();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0]->text(), u"&1 "_s + QDir::toNativeSeparators(gone));
    QTest::keyClick(form.MainMenu1->RecentMenu, Qt::Key_1);
    QTRY_VERIFY(box.seen);
    QCOMPARE(box.text, u"%1 no longer exists. It has been removed from the recent files."_s
                           .arg(QDir::toNativeSeparators(gone)));
    QCOMPARE(form.PageControl1->Memo1->toPlainText(), QString());
    QCOMPARE(form.Document().RecentFiles().Files(), QStringList{kept});

    PressKey(form, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(form.MainMenu1->FileMenu->isVisible());
    QTest::keyClick(form.MainMenu1->FileMenu, Qt::Key_R);
    QTRY_VERIFY(form.MainMenu1->RecentMenu->isVisible());
    QTest::keyClick(form.MainMenu1->RecentMenu, Qt::Key_1);
    QTRY_COMPARE(form.PageControl1->Memo1->toPlainText(), u"stop\n"_s);
}

void TestWorkbenchFiles::draggedFile_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("file");
    QTest::addRow("text alone is left to the editors") << QList<QUrl>() << u"inc"_s << QString();
    QTest::addRow("a local file") << QList<QUrl>{QUrl::fromLocalFile(u"/tmp/a.mir"_s)} << QString()
                                  << u"/tmp/a.mir"_s;
    QTest::addRow("a web address is no file")
        << QList<QUrl>{QUrl(u"https://example.org/a.mir"_s)} << QString() << QString();
    QTest::addRow("the first local file of several")
        << QList<QUrl>{QUrl(u"https://example.org/a.mir"_s), QUrl::fromLocalFile(u"/tmp/b.mir"_s),
                       QUrl::fromLocalFile(u"/tmp/c.mir"_s)}
        << QString() << u"/tmp/b.mir"_s;
}

void TestWorkbenchFiles::draggedFile()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(QString, text);
    QFETCH(QString, file);
    QMimeData mime;
    if (!urls.isEmpty())
        mime.setUrls(urls);
    if (!text.isEmpty())
        mime.setText(text);
    QCOMPARE(TFileDrop::DraggedFile(&mime), file);
}

// A run leaves its executing-line marks behind; replacing the document must let go of them
// without touching the old text's layout, and the editor must stay sound for typing.
void TestWorkbenchFiles::documentResetAfterRunKeepsEditorSound_data()
{
    QTest::addColumn<QString>("reset");
    QTest::addColumn<bool>("paused");
    for (const QString& reset : {u"New"_s, u"Open"_s, u"Open Recent"_s, u"drop"_s, u"Restore"_s}) {
        QTest::addRow("%s after Stop", qPrintable(reset)) << reset << false;
        QTest::addRow("%s while paused", qPrintable(reset)) << reset << true;
    }
}

void TestWorkbenchFiles::documentResetAfterRunKeepsEditorSound()
{
    QFETCH(QString, reset);
    QFETCH(bool, paused);
    const QString loop = dir_.filePath(u"loop.mir"_s);
    const QString other = dir_.filePath(u"other.mir"_s);
    TWorkbench bench(1ms);
    TForm1& form = *bench.form;
    OpenInTurn(form, other, "", loop, "set 1\n:top\ninc\nout $1\njmp :top\n");
    if (QTest::currentTestFailed())
        return;
    form.PageControl1->Memo1->setFocus();
    PressKey(form, Qt::Key_F5);
    QTRY_VERIFY(form.PageControl1->Memo1->ExecutingLine() >= 0 && form.PageControl1->Memo2->ExecutingLine() >= 0);
    PressKey(form, paused ? Qt::Key_F6 : Qt::Key_F5, paused ? Qt::NoModifier : Qt::ShiftModifier);
    if (paused)
        QVERIFY(WaitUntilParked(form.Session()));
    else
        QVERIFY(WaitForCurrentRunEnd(form));

    if (reset == u"New"_s) {
        PressKey(form, Qt::Key_N, Qt::ControlModifier);
    } else if (reset == u"Open"_s) {
        QVERIFY(form.Document().OpenGuarded(other));
    } else if (reset == u"Open Recent"_s) {
        PressKey(form, Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(form.MainMenu1->FileMenu->isVisible());
        QTest::keyClick(form.MainMenu1->FileMenu, Qt::Key_R);
        QTRY_VERIFY(form.MainMenu1->RecentMenu->isVisible());
        QTest::keyClick(form.MainMenu1->RecentMenu, Qt::Key_2);
    } else if (reset == u"drop"_s) {
        DropFile(form.PageControl1->Memo1->viewport(), other);
    } else {
        form.Document().Restore(TRecoveredProgram{QString(), TProgramText{}});
    }
    QTRY_COMPARE(form.PageControl1->Memo1->toPlainText(), QString());
    QCOMPARE(form.PageControl1->Memo1->ExecutingLine(), -1);
    QTRY_VERIFY(form.PageControl1->Memo1->extraSelections().isEmpty());

    // The click a user gives the window, which the offscreen platform does not give back
    // after a menu closes.
    QApplication::setActiveWindow(&form);
    form.SelectPage(1);
    QTest::mouseClick(form.PageControl1->Memo1->viewport(), Qt::LeftButton, {}, QPoint(40, 5));
    QTRY_COMPARE(QApplication::focusWidget(), form.PageControl1->Memo1);
    TypeAtEnd(form, u"set 1\nout $1\n"_s);
    QCOMPARE(form.PageControl1->Memo1->toPlainText(), u"set 1\nout $1\n"_s);
    // The editor goes on working: the typed program translates and runs.
    PressKey(form, Qt::Key_F5);
    QVERIFY(WaitForCurrentRunEnd(form));
    QCOMPARE(OutputLines(form).constLast(), u"Value: 0"_s);
}

void TestWorkbenchFiles::startFileNotMadeYet_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("opens");
    QTest::addRow("in a folder that is there") << u"new.mir"_s << true;
    QTest::addRow("in a folder that is not") << u"no-folder/new.mir"_s << false;
}

// As text editors do: the file named at start may be one to write, made by the first Save.
void TestWorkbenchFiles::startFileNotMadeYet()
{
    QFETCH(QString, name);
    QFETCH(bool, opens);
    const QString path = dir_.filePath(name);
    TWorkbench bench;
    TForm1& form = *bench.form;
    TSeenBox box;
    if (!opens)
        CloseNextErrorBox(box);
    QCOMPARE(form.Document().OpenAtStart(path), opens);
    QVERIFY(!QFile::exists(path));
    if (!opens) {
        QVERIFY(box.seen);
        QVERIFY2(box.text.startsWith(u"Could not open %1: "_s.arg(QDir::toNativeSeparators(path))),
                 qPrintable(box.text));
        QCOMPARE(form.Document().FilePath(), QString());
        return;
    }
    QCOMPARE(form.PageControl1->Memo1->toPlainText(), QString());
    QVERIFY(!form.Document().IsModified());
    QCOMPARE(PlatformTitle(form), u"new.mir \u2014 Mirelo"_s);
    QVERIFY(form.Document().RecentFiles().Files().isEmpty());
    TypeAtEnd(form, u"stop"_s);
    PressKey(form, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(ReadFile(path), QByteArray("stop"));
    QCOMPARE(form.Document().RecentFiles().Files(), QStringList{path});
}

// ---- the Run menu and the status bar -----------------------------------------------------------

void TestWorkbenchFiles::problemKeysVisitMarkedLines_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QStringList>("keys");
    // The cursor's line (from 1) after each key; none when nothing is marked.
    QTest::addColumn<QList<int>>("lines");
    QTest::addColumn<QString>("message");
    const QString twoWarnings = u"inc\nnop\ninc\nbad\ninc"_s;
    QTest::addRow("F8 from the cursor on, wrapping")
        << twoWarnings << false << QStringList{u"F8"_s, u"F8"_s, u"F8"_s} << QList<int>{2, 4, 2}
        << u"Line 2 (problem 1 of 2): 'nop' is not an instruction; the line emits nothing"_s;
    QTest::addRow("Shift+F8 back, wrapping")
        << twoWarnings << false << QStringList{u"Shift+F8"_s, u"Shift+F8"_s, u"Shift+F8"_s}
        << QList<int>{4, 2, 4}
        << u"Line 4 (problem 2 of 2): 'bad' is not an instruction; the line emits nothing"_s;
    QTest::addRow("the error among the warnings")
        << u"nop\nset 1x\njmp :x"_s << true << QStringList{u"F8"_s, u"F8"_s, u"Shift+F8"_s}
        << QList<int>{1, 2, 1}
        << u"Line 1 (problem 1 of 2): 'nop' is not an instruction; the line emits nothing"_s;
    QTest::addRow("an error and a warning on one line")
        << u"dd x,1\ndd x,300"_s << true << QStringList{u"F8"_s} << QList<int>{2}
        << u"Line 2 (problem 1 of 1): '300' does not fit in one byte (0 to 255) / 'x' is already "
           "defined on line 1; this definition is not used"_s;
    QTest::addRow("nothing marked") << u"inc\nstop"_s << false << QStringList{u"F8"_s}
                                    << QList<int>{}
                                    << u"No problems marked; Translate marks errors and warnings"_s;
}

void TestWorkbenchFiles::problemKeysVisitMarkedLines()
{
    QFETCH(QString, program);
    QFETCH(bool, fails);
    QFETCH(QStringList, keys);
    QFETCH(QList<int>, lines);
    QFETCH(QString, message);
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.PageControl1->Memo1->setPlainText(program);
    TSeenBox box;
    if (fails)
        CloseNextErrorBox(box);
    PressKey(form, Qt::Key_F7);
    QCOMPARE(box.seen, fails);
    const int page = form.PageControl1->currentIndex();
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QKeyCombination key = QKeySequence(keys[i])[0];
        PressKey(form, key.key(), key.keyboardModifiers());
        if (lines.isEmpty())
            continue;
        QCOMPARE(form.PageControl1->Memo1->textCursor().blockNumber() + 1, lines[i]);
        QCOMPARE(form.PageControl1->Memo1->textCursor().positionInBlock(), 0);
        QCOMPARE(form.PageControl1->currentIndex(), TProgramPages::PageAsm);
        QCOMPARE(QApplication::focusWidget(), form.PageControl1->Memo1);
    }
    // With nothing to go to, nothing moves.
    if (lines.isEmpty())
        QCOMPARE(form.PageControl1->currentIndex(), page);
    QCOMPARE(form.StatusBar1->currentMessage(), message);
    // The status bar's accessible name is its message: what screen readers announce.
    QAccessibleInterface* status = QAccessible::queryAccessibleInterface(form.StatusBar1);
    QVERIFY(status);
    QCOMPARE(status->text(QAccessible::Name), message);
}

void TestWorkbenchFiles::runKeysDoWhatTheButtonsDo()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.PageControl1->Memo1->setFocus();
    const QString program = form.PageControl1->Memo1->toPlainText();
    // F7, Translate: the listing on its page, and what it made in the status bar.
    PressKey(form, Qt::Key_F7);
    QCOMPARE(form.PageControl1->currentIndex(), 2);
    QCOMPARE(form.PageControl1->Memo2->toPlainText(), u"110a\n810102\nf001\n16\nf003\na10102\n931005\n00"_s);
    QCOMPARE(form.StatusBar1->TranslationText(), u"Translated 10 program lines into 17 bytes"_s);
    QCOMPARE(form.Session().CurrentWorker(), nullptr);

    // F5, Translate & Emulate, from the program editor: the keys are not the editor's.
    form.SelectPage(1);
    form.PageControl1->Memo1->setFocus();
    PressKey(form, Qt::Key_F5);
    QCOMPARE(form.PageControl1->currentIndex(), 3);
    QVERIFY(WaitForCurrentRunEnd(form));
    QCOMPARE(RegisterLines(form).mid(0, 3), QStringList({u"R1: 10"_s, u"R2: 10"_s, u"R3: 0 *"_s}));
    QCOMPARE(form.PageControl1->Memo1->toPlainText(), program);
    const TEmulationThread* first = form.Session().CurrentWorker();

    // Ctrl+F5, Emulate: a new run of the listing as it stands.
    form.PageControl1->Memo2->setPlainText(u"16\n00"_s);
    PressKey(form, Qt::Key_F5, Qt::ControlModifier);
    QVERIFY(form.Session().CurrentWorker() != first);
    QVERIFY(WaitForCurrentRunEnd(form));
    QTRY_COMPARE(form.StatusBar1->RunText(), u"Ended at a Stop byte after 2 steps"_s);

    // Shift+F5, Stop.
    form.Session().SetStepDelay(1ms);
    EmulateListing(form, CountForever);
    QTRY_VERIFY(form.Session().CurrentWorker()->StepCount() > 2);
    PressKey(form, Qt::Key_F5, Qt::ShiftModifier);
    QVERIFY(WaitForCurrentRunEnd(form));
    QCOMPARE(form.Session().CurrentWorker()->EndReason(), TEmulationThread::TRunEnd::Stopped);
    QTRY_COMPARE(form.StatusBar1->RunText(),
                 u"Stopped after %1 steps"_s.arg(form.Session().CurrentWorker()->StepCount()));
    // No Run key is Alt+Space, which window managers keep for themselves.
    for (QAction* action : form.MainMenu1->RunMenu->actions())
        QVERIFY(action->shortcut() != QKeySequence(Qt::ALT | Qt::Key_Space));
}

void TestWorkbenchFiles::pauseKeyFollowsTheCaption()
{
    TWorkbench bench(1ms);
    TForm1& form = *bench.form;
    QCOMPARE(form.Commands().PauseAction->text(), u"&Pause"_s);
    EmulateListing(form, CountForever);
    QTRY_VERIFY(form.Session().CurrentWorker()->StepCount() > 2);
    PressKey(form, Qt::Key_F6);
    QCOMPARE(form.Panel3->CustButton4->Caption(), u"Resume"_s);
    QCOMPARE(form.Commands().PauseAction->text(), u"&Resume"_s);
    QVERIFY(WaitUntilParked(form.Session()));
    DeliverQueuedCalls();
    QCOMPARE(form.StatusBar1->RunText(),
             u"Paused after %1 steps"_s.arg(form.Session().CurrentWorker()->StepCount()));
    // The button and the action are one command: the button resumes what the key paused.
    Click(form.Panel3->CustButton4);
    QCOMPARE(form.Commands().PauseAction->text(), u"&Pause"_s);
    QTRY_VERIFY(form.StatusBar1->RunText().startsWith(u"Running, step "_s));
    form.Commands().PauseAction->trigger();
    QCOMPARE(form.Panel3->CustButton4->Caption(), u"Resume"_s);
    QVERIFY(form.Session().Paused());
}

void TestWorkbenchFiles::aboutNamesTheVersion()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    TSeenBox box;
    AnswerNextBox(box, QMessageBox::Ok);
    PressKey(form, Qt::Key_H, Qt::AltModifier);
    QTRY_VERIFY(form.MainMenu1->HelpMenu->isVisible());
    QTest::keyClick(form.MainMenu1->HelpMenu, Qt::Key_A);
    QTRY_VERIFY(box.seen);
    QCOMPARE(box.title, u"About Mirelo"_s);
    QVERIFY2(box.text.startsWith(u"Mirelo %1\n\nMirelo is a teaching tool"_s.arg(ApplicationVersion())),
             qPrintable(box.text));
    QVERIFY(!ApplicationVersion().isEmpty());
}

void TestWorkbenchFiles::f1OpensTheInstructionReference()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    QVERIFY(form.findChildren<TInstructionReference*>().isEmpty());
    PressKey(form, Qt::Key_F1);
    QTRY_COMPARE(form.findChildren<TInstructionReference*>().size(), 1);
    QTRY_VERIFY(form.findChild<TInstructionReference*>()->isVisible());
    QCOMPARE(form.Commands().ReferenceAction->text(), u"&Instruction reference"_s);
}

void TestWorkbenchFiles::newRunStartsWithoutChangeTints()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    // Mov [1],5 writes the byte at 1 from 1 to 5: the one cell its run changes.
    EmulateListing(form, u"780105\n00"_s);
    QVERIFY(WaitForCurrentRunEnd(form));
    QCOMPARE(form.MemoryGrid()->ChangedAddresses(), std::vector<std::size_t>{1});
    // A Stop byte ends the next run before any refresh of its own: its image differs from the
    // last one shown in every byte, yet nothing may read as changed by this run.
    EmulateListing(form, u"00"_s);
    QVERIFY(WaitForCurrentRunEnd(form));
    QVERIFY(form.MemoryGrid()->ChangedAddresses().empty());
}

void TestWorkbenchFiles::statusTellsHowRunsEnd_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QString>("status");
    QTest::addRow("Stop byte") << u"16\n16\n00"_s << u"Ended at a Stop byte after 3 steps"_s;
    QTest::addRow("Reset with 170") << u"11aa\n01\n1101"_s << u"Ended by Reset after 2 steps"_s;
    QTest::addRow("end of the image") << u"16"_s << u"Ended at the end of the image after 1 step"_s;
    QTest::addRow("empty listing") << QString() << u"Ended at the end of the image after 0 steps"_s;
    QTest::addRow("division by zero") << u"f001\n310500"_s << u"Failed: Division by zero at address 2"_s;
}

void TestWorkbenchFiles::statusTellsHowRunsEnd()
{
    QFETCH(QString, listing);
    QFETCH(QString, status);
    TWorkbench bench;
    TForm1& form = *bench.form;
    EmulateListing(form, listing);
    QVERIFY(WaitForCurrentRunEnd(form));
    QTRY_COMPARE(form.StatusBar1->RunText(), status);
}

void TestWorkbenchFiles::statusFollowsInputAndPause_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<bool>("stepped");
    QTest::addColumn<QString>("waiting");
    QTest::addColumn<QString>("r1");
    QTest::addColumn<QString>("ended");
    // in $1; out $1; stop - the register list shows the run's start while it asks.
    QTest::addRow("asks at its first step") << u"f701\nf401\n00"_s << false
        << u"Waiting for input at step 1"_s << u"R1: 0 *"_s << u"Ended at a Stop byte after 3 steps"_s;
    // inc; inc; in $1; out $1; stop, stepped with F10: stepping keeps it paused while it asks.
    QTest::addRow("stepped into its third step") << u"16\n16\nf701\nf401\n00"_s << true
        << u"Waiting for input at step 3"_s << u"R1: 2 *"_s << u"Ended at a Stop byte after 5 steps"_s;
}

void TestWorkbenchFiles::statusFollowsInputAndPause()
{
    QFETCH(QString, listing);
    QFETCH(bool, stepped);
    QFETCH(QString, waiting);
    QFETCH(QString, r1);
    QFETCH(QString, ended);
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.PageControl1->Memo2->setPlainText(listing);
    // F10 starts a run paused before its first step, Ctrl+F5 a running one.
    PressKey(form, stepped ? Qt::Key_F10 : Qt::Key_F5, stepped ? Qt::NoModifier : Qt::ControlModifier);
    const TEmulationThread* worker = form.Session().CurrentWorker();
    for (std::uint64_t step = 0; stepped && step < 3; ++step) {
        QTRY_VERIFY(!worker->Stepping() && worker->StepCount() == step &&
                    worker->WaitingOn() == TEmulationThread::TWait::Resume);
        PressKey(form, Qt::Key_F10);
    }
    QTRY_VERIFY(bench.dialog->isVisible());
    QCOMPARE(form.StatusBar1->RunText(), waiting);
    QCOMPARE(RegisterLines(form).value(0), r1);
    Click(bench.dialog->CustButton1);
    if (stepped) {
        // The answered step completes and the run waits for the next F10 or F6.
        QTRY_COMPARE(form.StatusBar1->RunText(), u"Paused after 3 steps"_s);
        PressKey(form, Qt::Key_F6);
    }
    QVERIFY(WaitForCurrentRunEnd(form));
    QTRY_COMPARE(form.StatusBar1->RunText(), ended);
    // Pause after the end: the caption turns, the account of the end stays.
    Click(form.Panel3->CustButton4);
    QCOMPARE(form.StatusBar1->RunText(), ended);
}

// ---- register base -----------------------------------------------------------------------------

void TestWorkbenchFiles::registerBaseIsChosenAndKept_data()
{
    QTest::addColumn<QString>("stored"); // the settings' value before the window starts
    QTest::addColumn<QString>("way");    // as ChooseRegisterBase; empty: nothing chosen
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QStringList>("lines"); // R1 holds 42, R2 holds -1 and is current
    const QStringList hex{u"R1: 0000002A"_s, u"R2: FFFFFFFF *"_s, u"R3: 00000000"_s};
    const QStringList unsig{u"R1: 42"_s, u"R2: 4294967295 *"_s, u"R3: 0"_s};
    const QStringList dec{u"R1: 42"_s, u"R2: -1 *"_s, u"R3: 0"_s};
    QTest::addRow("signed decimal at first") << QString() << QString() << 0
        << u"SignedDecimalAction"_s << dec;
    QTest::addRow("View menu, Hexadecimal") << QString() << u"view"_s << int(Qt::Key_H)
        << u"HexadecimalAction"_s << hex;
    QTest::addRow("View menu, Unsigned Decimal") << QString() << u"view"_s << int(Qt::Key_U)
        << u"UnsignedDecimalAction"_s << unsig;
    QTest::addRow("context menu, Hexadecimal") << QString() << u"context"_s << int(Qt::Key_H)
        << u"HexadecimalAction"_s << hex;
    QTest::addRow("context menu, Unsigned Decimal") << QString() << u"context"_s
        << int(Qt::Key_U) << u"UnsignedDecimalAction"_s << unsig;
    QTest::addRow("kept hexadecimal") << u"hexadecimal"_s << QString() << 0
        << u"HexadecimalAction"_s << hex;
    QTest::addRow("kept, then back to Signed Decimal") << u"unsignedDecimal"_s << u"context"_s
        << int(Qt::Key_S) << u"SignedDecimalAction"_s << dec;
    QTest::addRow("an unknown kept value") << u"octal"_s << QString() << 0
        << u"SignedDecimalAction"_s << dec;
}

void TestWorkbenchFiles::registerBaseIsChosenAndKept()
{
    QFETCH(QString, stored);
    QFETCH(QString, way);
    QFETCH(int, key);
    QFETCH(QString, checked);
    QFETCH(QStringList, lines);
    if (!stored.isEmpty())
        QSettings(QSettings::UserScope, ApplicationTitle(), ApplicationTitle())
            .setValue(u"registerBase"_s, stored);
    TRegisterFile registers{};
    registers[0] = 42;
    registers[1] = -1;
    {
        TWorkbench bench;
        TForm1& form = *bench.form;
        form.SelectPage(3);
        form.ShowRegisters(registers, 1);
        if (!way.isEmpty())
            ChooseRegisterBase(form, way, static_cast<Qt::Key>(key));
        // At once, without another refresh.
        QCOMPARE(RegisterLines(form).mid(0, 3), lines);
        QCOMPARE(PanelRegisterLines(form).mid(0, 3), lines);
        QCOMPARE(CheckedRegisterBase(form), checked);
    }
    // The next window starts with the same base.
    TWorkbench next;
    next.form->ShowRegisters(registers, 1);
    QCOMPARE(RegisterLines(*next.form).mid(0, 3), lines);
    QCOMPARE(PanelRegisterLines(*next.form).mid(0, 3), lines);
    QCOMPARE(CheckedRegisterBase(*next.form), checked);
}

void TestWorkbenchFiles::registerBaseDuringASteppedRun()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    const TRegisterListView& list = *form.PageControl1->ListBox1;
    // Registers, program and output at once: the register panel follows the run as well.
    ToggleRegisterPanel(form, u"keys"_s);
    QTRY_VERIFY(form.RegisterDock->isVisible());
    // inc; inc; stop, stepped with F10.
    form.PageControl1->Memo2->setPlainText(u"16\n16\n00"_s);
    PressKey(form, Qt::Key_F10);
    const TEmulationThread* worker = form.Session().CurrentWorker();
    QTRY_VERIFY(!worker->Stepping() && worker->WaitingOn() == TEmulationThread::TWait::Resume);
    CheckPanelMatchesMemoryPage(form);
    PressKey(form, Qt::Key_F10);
    QTRY_COMPARE(RegisterLines(form).value(0), u"R1: 1 *"_s);
    QTRY_VERIFY(!worker->Stepping() && worker->WaitingOn() == TEmulationThread::TWait::Resume);
    QVERIFY(list.LineChanged(0));
    CheckPanelMatchesMemoryPage(form);
    // The paused run's values in hexadecimal, R1 still marked and still tinted: its value did
    // not change.
    ChooseRegisterBase(form, u"view"_s, Qt::Key_H);
    QCOMPARE(RegisterLines(form).mid(0, 2), QStringList({u"R1: 00000001 *"_s, u"R2: 00000000"_s}));
    QVERIFY(list.LineChanged(0));
    QVERIFY(!list.LineChanged(1));
    CheckPanelMatchesMemoryPage(form);
    // The run's next refreshes are written in it too.
    PressKey(form, Qt::Key_F10);
    QTRY_COMPARE(RegisterLines(form).value(0), u"R1: 00000002 *"_s);
    CheckPanelMatchesMemoryPage(form);
    PressKey(form, Qt::Key_F6);
    QVERIFY(WaitForCurrentRunEnd(form));
    // Chosen in the panel's context menu, for both lists.
    ChooseRegisterBase(form, u"panel"_s, Qt::Key_S);
    QCOMPARE(RegisterLines(form).value(0), u"R1: 2 *"_s);
    CheckPanelMatchesMemoryPage(form);
    // A new run that ends before its first refresh: nothing in either list reads as changed.
    EmulateListing(form, u"00"_s);
    QVERIFY(WaitForCurrentRunEnd(form));
    QVERIFY(!form.RegisterDock->List->LineChanged(0));
    CheckPanelMatchesMemoryPage(form);
}

// ---- register panel ----------------------------------------------------------------------------

void TestWorkbenchFiles::registerPanelShowsAndHides_data()
{
    QTest::addColumn<QString>("show"); // as ToggleRegisterPanel
    QTest::addColumn<QString>("hide");
    QTest::addRow("View menu, twice") << u"menu"_s << u"menu"_s;
    QTest::addRow("keys, then the close button") << u"keys"_s << u"close"_s;
    QTest::addRow("View menu, then the keys") << u"menu"_s << u"keys"_s;
}

void TestWorkbenchFiles::registerPanelShowsAndHides()
{
    QFETCH(QString, show);
    QFETCH(QString, hide);
    TWorkbench bench;
    TForm1& form = *bench.form;
    const TRegisterDock& panel = *form.RegisterDock;
    QAction* command = panel.toggleViewAction();
    const QSize designed = form.size();
    QVERIFY(form.MainMenu1->ViewMenu->actions().contains(command));
    QVERIFY(!panel.isVisible());
    QVERIFY(!command->isChecked());

    ToggleRegisterPanel(form, show);
    QTRY_VERIFY(panel.isVisible());
    QVERIFY(command->isChecked());
    // Beside the area, which keeps its size: the window is wider instead, and the panel first
    // shows every line whole.
    CheckDesignedArea(form);
    QCOMPARE(form.height(), designed.height());
    QVERIFY(panel.geometry().left() > form.ClientArea->geometry().right());
    QVERIFY(panel.geometry().right() < form.width());
    QVERIFY(panel.List->viewport()->width() >= panel.List->LineWidth());

    ToggleRegisterPanel(form, hide);
    QTRY_VERIFY(!panel.isVisible());
    QVERIFY(!command->isChecked());
    QCOMPARE(form.size(), designed);
    CheckDesignedArea(form);
}

void TestWorkbenchFiles::registerPanelFloatsAndDocks()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    TRegisterDock& panel = *form.RegisterDock;
    const QSize designed = form.size();
    ToggleRegisterPanel(form, u"keys"_s);
    QTRY_VERIFY(panel.isVisible());
    const QSize widened = form.size();
    QVERIFY(widened.width() > designed.width());
    // Floating, it takes no room beside the area: the window gives the width back.
    panel.setFloating(true);
    QTRY_COMPARE(form.size(), designed);
    QVERIFY(panel.isVisible() && panel.toggleViewAction()->isChecked());
    CheckDesignedArea(form);
    // Closed while floating, shown again: still floating, the window as designed.
    ToggleRegisterPanel(form, u"menu"_s);
    QTRY_VERIFY(!panel.isVisible());
    QCOMPARE(form.size(), designed);
    ToggleRegisterPanel(form, u"keys"_s);
    QTRY_VERIFY(panel.isVisible() && panel.isFloating());
    QCOMPARE(form.size(), designed);
    // Docked again, it widens the window as before.
    panel.setFloating(false);
    QTRY_COMPARE(form.size(), widened);
    CheckDesignedArea(form);
}

void TestWorkbenchFiles::registerPanelArrangementIsKept_data()
{
    QTest::addColumn<QByteArray>("stored"); // the settings' arrangement before the window starts
    QTest::addColumn<QStringList>("steps");  // as ToggleRegisterPanel, or "left", "float"
    QTest::addColumn<bool>("closeWindow");   // or only the window object goes
    QTest::addColumn<bool>("visible");
    QTest::addColumn<int>("side");
    QTest::addColumn<bool>("floating");
    const int right = Qt::RightDockWidgetArea;
    const int left = Qt::LeftDockWidgetArea;
    QTest::addRow("shown") << QByteArray() << QStringList{u"keys"_s} << false << true << right << false;
    QTest::addRow("shown, then closed") << QByteArray() << QStringList{u"menu"_s, u"close"_s}
                                        << false << false << right << false;
    QTest::addRow("moved to the left") << QByteArray() << QStringList{u"keys"_s, u"left"_s}
                                       << true << true << left << false;
    QTest::addRow("floating, moved, then the window closed")
        << QByteArray() << QStringList{u"keys"_s, u"float"_s} << true << true << right << true;
    QTest::addRow("an arrangement this program did not write")
        << QByteArray("\0\0\0\xff\0\0\0\1 not a window") << QStringList() << true << false
        << right << false;
}

void TestWorkbenchFiles::registerPanelArrangementIsKept()
{
    QFETCH(QByteArray, stored);
    QFETCH(QStringList, steps);
    QFETCH(bool, closeWindow);
    QFETCH(bool, visible);
    QFETCH(int, side);
    QFETCH(bool, floating);
    if (!stored.isEmpty())
        QSettings(QSettings::UserScope, ApplicationTitle(), ApplicationTitle())
            .setValue(u"panels"_s, stored);
    QRect floatingAt;
    QSize widened;
    {
        TWorkbench bench;
        TForm1& form = *bench.form;
        TRegisterDock& panel = *form.RegisterDock;
        for (const QString& step : steps) {
            if (step == u"left"_s) {
                form.PanelHost->addDockWidget(Qt::LeftDockWidgetArea, &panel);
            } else if (step == u"float"_s) {
                panel.setFloating(true);
                // Moved after its last change of state: only the window's closing keeps it.
                // Kept whole on the screen, where the next window puts it back unchanged.
                panel.move(20, 40);
                floatingAt = panel.geometry();
            } else {
                ToggleRegisterPanel(form, step);
            }
        }
        widened = form.size();
        if (closeWindow)
            QVERIFY(form.close());
    }
    TWorkbench next;
    const TForm1& form = *next.form;
    const TRegisterDock& panel = *form.RegisterDock;
    QCOMPARE(panel.isVisible(), visible);
    QCOMPARE(panel.toggleViewAction()->isChecked(), visible);
    QCOMPARE(int(form.PanelHost->dockWidgetArea(form.RegisterDock)), side);
    QCOMPARE(panel.isFloating(), floating);
    if (floating)
        QCOMPARE(panel.geometry(), floatingAt);
    // The next window widens for a docked panel as the first did.
    QCOMPARE(form.size(), widened);
    CheckDesignedArea(form);
}

// ---- recovery ----------------------------------------------------------------------------------

void TestWorkbenchFiles::changesReachTheRecoveryFile()
{
    static_assert(TRecoverySlot::WriteDelay <= 2s, "a change must be kept within two seconds");
    TWorkbench bench;
    TForm1& form = *bench.form;
    QCOMPARE(form.Recovery().TextPath(), QString());
    TypeAtEnd(form, u"\nout $1"_s);
    QVERIFY(form.Recovery().WritePending());
    QTRY_VERIFY(!form.Recovery().TextPath().isEmpty());
    const QString path = form.Recovery().TextPath();
    QTRY_VERIFY(ReadFile(path).endsWith("\n\nadd ah\nxch $1,$2\n:start\nset 1\ninc\nset 3\ncmp $1,$2\n"
                                        "jin :stop,:start\n:stop\nstop\nout $1"));
    // Typing on keeps it current.
    TypeAtEnd(form, u"\nstop"_s);
    QTRY_VERIFY(ReadFile(path).endsWith("\nout $1\nstop"));
    // Undone back to the sample: nothing left to recover.
    for (int i = 0; i < 12 && form.Document().IsModified(); ++i)
        QTest::keyClick(form.PageControl1->Memo1, Qt::Key_Backspace);
    QVERIFY(!form.Document().IsModified());
    QVERIFY(!QFile::exists(path));
    // A normal close leaves nothing either.
    TypeAtEnd(form, u"x"_s);
    form.Recovery().WriteNow();
    QVERIFY(QFile::exists(path));
    TSeenBox box;
    AnswerNextBox(box, QMessageBox::Discard);
    QVERIFY(form.close());
    QVERIFY(box.seen);
    QVERIFY(RecoveryTexts().isEmpty());
}

void TestWorkbenchFiles::abandonedTextIsOfferedBack_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addRow("Restore") << u"Restore"_s;
    QTest::addRow("Discard") << u"Discard"_s;
    QTest::addRow("box closed without an answer") << u"none"_s;
}

void TestWorkbenchFiles::abandonedTextIsOfferedBack()
{
    QFETCH(QString, answer);
    const QString path = dir_.filePath(u"crashed.mir"_s);
    QVERIFY(WriteFile(path, "stop\r\n"));
    {
        // A window that never closes normally: torn down with its text unsaved.
        TWorkbench lost;
        QVERIFY(lost.form->Document().OpenGuarded(path));
        TypeAtEnd(*lost.form, u"inc"_s);
        lost.form->Recovery().WriteNow();
    }
    QCOMPARE(RecoveryTexts().size(), 1);

    TWorkbench bench;
    TForm1& form = *bench.form;
    PressKey(form, Qt::Key_F7);
    const QString listing = form.PageControl1->Memo2->toPlainText();
    TSeenBox box;
    // Restore is the box's default button: Enter takes it. A box without that button is
    // closed without an answer.
    if (answer == u"Restore"_s)
        AnswerNextBoxByKey(box, Qt::Key_Return);
    else
        AnswerNextBox(box, answer == u"Discard"_s ? QMessageBox::Discard : QMessageBox::Help);
    const bool restored = form.Recovery().OfferAbandoned(&form);
    QCOMPARE(restored, answer == u"Restore"_s);
    QVERIFY(box.seen);
    QCOMPARE(box.title, u"Unsaved program \u2014 Mirelo"_s);
    QCOMPARE(box.text, u"A Mirelo window closed without saving %1."_s.arg(QDir::toNativeSeparators(path)));
    QVERIFY2(box.informativeText.startsWith(u"Its text (2 lines, last changed "_s),
             qPrintable(box.informativeText));
    if (answer == u"Restore"_s) {
        QCOMPARE(form.PageControl1->Memo1->toPlainText(), u"stop\ninc"_s);
        QCOMPARE(form.Document().FilePath(), path);
        QVERIFY(form.Document().IsModified());
        QCOMPARE(PlatformTitle(form), u"crashed.mir* \u2014 Mirelo"_s);
        QCOMPARE(form.PageControl1->Memo2->toPlainText(), QString());
        // Kept by this window now, and saved in the file's own style.
        QCOMPARE(RecoveryTexts(), QStringList{QFileInfo(form.Recovery().TextPath()).fileName()});
        PressKey(form, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(ReadFile(path), QByteArray("stop\r\ninc"));
        QVERIFY(RecoveryTexts().isEmpty());
    } else {
        QVERIFY(!form.Document().IsModified());
        QVERIFY(!listing.isEmpty());
        QCOMPARE(form.PageControl1->Memo2->toPlainText(), listing);
        QCOMPARE(RecoveryTexts().size(), answer == u"Discard"_s ? 0 : 1);
    }
    // A text is offered until it is restored or discarded.
    if (answer == u"none"_s) {
        TSeenBox again;
        AnswerNextBox(again, QMessageBox::Discard);
        QVERIFY(!form.Recovery().OfferAbandoned(&form));
        QVERIFY(again.seen);
        QVERIFY(RecoveryTexts().isEmpty());
    }
    QVERIFY(!form.Recovery().OfferAbandoned(&form));
}

void TestWorkbenchFiles::newestAbandonedTextComesFirst()
{
    // Two windows torn down unsaved; the one made first changed last.
    QStringList texts;
    for (const QString& typed : {u"newest"_s, u"older"_s}) {
        TWorkbench lost;
        TypeAtEnd(*lost.form, typed);
        lost.form->Recovery().WriteNow();
        texts << lost.form->Recovery().TextPath();
    }
    QCOMPARE(RecoveryTexts().size(), 2);
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < 2; ++i) {
        QFile file(texts[i]);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(now.addSecs(-3600 * i), QFileDevice::FileModificationTime));
    }

    TWorkbench bench;
    TSeenBox box;
    AnswerNextBoxByKey(box, Qt::Key_Return);
    QVERIFY(bench.form->Recovery().OfferAbandoned(bench.form.get()));
    QVERIFY(box.seen);
    QVERIFY2(bench.form->PageControl1->Memo1->toPlainText().endsWith(u"newest"_s),
             qPrintable(bench.form->PageControl1->Memo1->toPlainText()));
    // The older text stays to be offered at a later start.
    QVERIFY(QFile::exists(texts[1]));
    QVERIFY(!QFile::exists(texts[0]));
}

void TestWorkbenchFiles::steadyTypingReachesTheRecoveryFile()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.PageControl1->Memo1->setFocus();
    form.PageControl1->Memo1->moveCursor(QTextCursor::End);
    // A key every 300 ms for about six seconds: no pause as long as the write delay.
    QTimer typist;
    int keys = 0;
    connect(&typist, &QTimer::timeout, &form, [&] {
        QTest::keyClick(form.PageControl1->Memo1, Qt::Key_A);
        if (++keys == 20)
            typist.stop();
    });
    typist.start(300);
    QTRY_VERIFY_WITH_TIMEOUT(!form.Recovery().TextPath().isEmpty(), 4000);
    QVERIFY2(typist.isActive(), "the text reached the recovery file only once typing stopped");
    QVERIFY(ReadFile(form.Recovery().TextPath()).contains("\nstopa"));
    typist.stop();
}

void TestWorkbenchFiles::liveWindowKeepsItsText()
{
    TWorkbench first;
    TypeAtEnd(*first.form, u"\nout $1"_s);
    first.form->Recovery().WriteNow();
    QCOMPARE(RecoveryTexts().size(), 1);
    TWorkbench second;
    // Nothing to offer: the text belongs to a window that still runs.
    QVERIFY(!second.form->Recovery().OfferAbandoned(second.form.get()));
    QCOMPARE(RecoveryTexts().size(), 1);
    QCOMPARE(second.form->PageControl1->Memo1->toPlainText().endsWith(u"out $1"_s), false);
}

void TestWorkbenchFiles::failedRecoveryWriteIsShown()
{
    // A file where the data folder should be: no recovery text can be written, even by root.
    const QString blocked = QFileInfo(TRecoverySlot::DefaultFolder()).absolutePath();
    QVERIFY(QDir().mkpath(QFileInfo(blocked).absolutePath()));
    QVERIFY(QDir(blocked).removeRecursively());
    QVERIFY(WriteFile(blocked, "not a folder"));
    const auto cleanUp = qScopeGuard([&blocked] { QFile::remove(blocked); });
    TWorkbench bench;
    TForm1& form = *bench.form;
    TypeAtEnd(form, u"inc"_s);
    QTRY_VERIFY2(form.StatusBar1->currentMessage().startsWith(u"Could not write the recovery file "_s),
                 qPrintable(form.StatusBar1->currentMessage()));
    QVERIFY(form.Document().IsModified());
}

QTEST_MAIN(TestWorkbenchFiles)
#include "test_workbench_files.moc"
