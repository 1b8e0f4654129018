// Random sequences of the window's commands, input answers and window closes, with no step
// delay, on programs that loop, read and write: nothing may crash, hang or leave a worker
// thread behind, and once the current run has ended the views show its final machine state.
// The run commands are mixed with the document and editor commands (New, Open, Restore,
// typing, Undo, Clear Output), since faults hide between features.
// A close asks about the unsaved program; it is answered Discard (the window goes) or Cancel
// (the window and its runs go on).

#include "console/OutputPane.h"
#include "controls/CustButton.h"
#include "document/ProgramDocument.h"
#include "window/MainMenu.h"
#include "TestUserFolders.h"
#include "console/Unit2.h"
#include "controls/NumEdit.h"
#include "emulator/emuthread.h"
#include "emulator/RegisterText.h"
#include "session/RunSession.h"
#include "views/MemoryGridModel.h"
#include "views/MemoryGridView.h"
#include "views/RegisterListView.h"
#include "window/mirelo_main.h"
#include "window/WindowCommands.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <random>

// Before main(): the windows' settings and recovery texts stay in a temporary folder.
Q_CONSTRUCTOR_FUNCTION(IsolateUserFolders)

namespace {

// Answers the window's question about unsaved changes once it is asked. Clicked directly: the
// input dialog may be open above the question and take the mouse.
void AnswerSaveQuestion(QMessageBox::StandardButton answer)
{
    auto* timer = new QTimer;
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible() && box->objectName() == QStringLiteral("SaveChangesBox")) {
                timer->stop();
                timer->deleteLater();
                box->button(answer)->click();
                return;
            }
        }
    });
    timer->start();
}

// Closes every error box as soon as it shows, for as long as it lives: a typed program may
// not translate, and the box runs its own event loop until it is closed.
class TErrorBoxCloser : public QTimer {
public:
    TErrorBoxCloser()
    {
        setInterval(1);
        connect(this, &QTimer::timeout, this, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box && box->isVisible() && box->icon() == QMessageBox::Critical) {
                    ++closed_;
                    box->button(QMessageBox::Ok)->click();
                }
            }
        });
        start();
    }
    int Closed() const { return closed_; }

private:
    int closed_ = 0;
};

// Threads of this process, as the kernel counts them.
int LiveThreads()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/task"))
                                .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                                .size());
}

const char* const Programs[] = {
    // reads and echoes for ever
    ":top\nin $1\nout $1\njmp :top",
    // counts and writes for ever
    "set 1\n:loop\ninc\nout $1\njmp :loop",
    // one input, then 100 divided by it: an input of 0 ends the run with a failure
    "in $2\nset 1\nadd 100\niDiv $1,$2\nout $1\nstop",
    // the start-up sample: ends at its Stop byte
    "add ah\nxch $1,$2\n:start\nset 1\ninc\nset 3\ncmp $1,$2\njin :stop,:start\n:stop\nstop",
};

enum class TAction { Emulate, TranslateAndEmulate, Translate, Step, Pause, Stop, Answer, Halt,
                     CloseBox, Wait, New, Open, Restore, Type, Undo, ClearOutput, CloseWindow };

class TStressSequence {
public:
    // With `overlapping` false, a run is ended (by the window's own commands) before the next
    // one starts, so that only the current run can update the views.
    TStressSequence(std::mt19937& random, bool overlapping) : random_(random), overlapping_(overlapping)
    {
        form_ = std::make_unique<TForm1>();
        dialog_ = std::make_unique<TForm2>();
        form_->SetInputDialog(dialog_.get());
        form_->Session().SetStepDelay(std::chrono::milliseconds(0));
        for (std::size_t i = 0; i < std::size(Programs); ++i) {
            QFile file(folder_.filePath(QString::number(i) + QStringLiteral(".mir")));
            if (file.open(QIODevice::WriteOnly))
                file.write(Programs[i]);
        }
    }

    // Plays `length` random actions, closing the window in place of action `closeAt` when that
    // lies within them; false when the window was closed.
    bool Play(int length, int closeAt)
    {
        for (int i = 0; i < length; ++i) {
            if (!Act(i == closeAt ? TAction::CloseWindow : PickAction()))
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, Pick(0, 3));
        }
        return true;
    }

    // Lifts every pause of the current run, answers its input, stops it, and waits until its
    // end has reached the window. False when it did not end in time.
    bool EndCurrentRun()
    {
        TEmulationThread* worker = form_->Session().CurrentWorker();
        if (!worker)
            return true;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000) {
            while (worker->Suspended())
                form_->CustButton4Click();
            form_->CustButton5Click();
            if (dialog_->isVisible())
                Answer(QStringLiteral("1"));
            if (worker->Finished())
                break;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        // The end notice and the last hook calls are queued on the window's thread.
        QCoreApplication::processEvents();
        if (!worker->Finished())
            hung_ = true;
        return !hung_;
    }

    // A run did not end within five seconds of being stopped.
    bool Hung() const { return hung_; }
    // A close went otherwise than its answer said: closed on Cancel, or kept on Discard.
    bool CloseMismatch() const { return closeMismatch_; }
    int CancelledCloses() const { return cancelledCloses_; }

    TForm1& Form() { return *form_; }

    void Close() { CloseWindow(false); }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    TAction PickAction()
    {
        // Weighted: runs start often enough to overlap, and the other actions find a run to act on.
        static const TAction weighted[] = {
            TAction::Emulate, TAction::Emulate, TAction::TranslateAndEmulate, TAction::Pause,
            TAction::Pause, TAction::Stop, TAction::Answer, TAction::Answer, TAction::Answer,
            TAction::Halt, TAction::CloseBox, TAction::Wait, TAction::Wait, TAction::Translate,
            TAction::Step, TAction::New, TAction::Open, TAction::Restore, TAction::Type,
            TAction::Type, TAction::Undo, TAction::ClearOutput,
        };
        constexpr int count = static_cast<int>(std::size(weighted));
        return weighted[Pick(0, count - 1)];
    }

    int PickProgram() { return Pick(0, static_cast<int>(std::size(Programs)) - 1); }

    void LoadProgram() { form_->PageControl1->Memo1->setPlainText(QString::fromLatin1(Programs[PickProgram()])); }

    // A command that replaces the program asks about unsaved changes first: answered Discard.
    void ReplaceProgram(const std::function<void()>& command)
    {
        if (form_->Document().IsModified())
            AnswerSaveQuestion(QMessageBox::Discard);
        command();
    }

    // Keys a student types into the program editor: a line, a line break, or a deletion.
    void Type()
    {
        static const char* const lines[] = {"inc", "out $1", "set 2", "stop", ":top", "jmp :top"};
        switch (Pick(0, 3)) {
        case 0: QTest::keyClick(form_->PageControl1->Memo1, Qt::Key_Return); break;
        case 1: QTest::keyClick(form_->PageControl1->Memo1, Qt::Key_Backspace); break;
        default:
            QTest::keyClicks(form_->PageControl1->Memo1, QString::fromLatin1(lines[Pick(0, std::size(lines) - 1)]));
        }
    }

    void Answer(const QString& text)
    {
        dialog_->NumEdit1->setText(text);
        dialog_->CustButton1Click();
    }

    bool Act(TAction action)
    {
        switch (action) {
        case TAction::Emulate:
            if (!overlapping_ && !EndCurrentRun())
                return true; // noted as a hang
            LoadProgram();
            form_->CustButton1Click();
            form_->CustButton3Click();
            break;
        case TAction::TranslateAndEmulate:
            if (!overlapping_ && !EndCurrentRun())
                return true; // noted as a hang
            LoadProgram();
            form_->CustButton2Click();
            break;
        case TAction::Translate:
            form_->CustButton1Click();
            break;
        case TAction::Step:
            // A new run only where none goes on, so that runs never overlap when they must not.
            form_->StepClick();
            break;
        case TAction::Pause:
            form_->CustButton4Click();
            break;
        case TAction::Stop:
            form_->CustButton5Click();
            break;
        case TAction::Answer: {
            // Drawn whether or not a request waits, so that the actions do not depend on timing.
            const bool zero = Pick(0, 3) == 0;
            const int number = Pick(-1000, 1000);
            if (dialog_->isVisible())
                Answer(QString::number(zero ? 0 : number));
            break;
        }
        case TAction::Halt:
            if (dialog_->isVisible())
                dialog_->CustButton2Click();
            break;
        case TAction::CloseBox:
            // Unvalidated: an empty text ends the asking run with a failure.
            if (dialog_->isVisible()) {
                dialog_->NumEdit1->setText(QString());
                dialog_->reject();
            }
            break;
        case TAction::Wait:
            QTest::qWait(Pick(1, 4));
            break;
        case TAction::New:
            ReplaceProgram([this] { form_->Commands().NewAction->trigger(); });
            break;
        case TAction::Open: {
            const QString path = folder_.filePath(QString::number(PickProgram()) + QStringLiteral(".mir"));
            ReplaceProgram([this, path] { form_->Document().OpenGuarded(path); });
            break;
        }
        case TAction::Restore:
            form_->Document().Restore(
                TRecoveredProgram{QString(), TProgramText{QString::fromLatin1(Programs[PickProgram()])}});
            break;
        case TAction::Type:
            Type();
            break;
        case TAction::Undo:
            QTest::keyClick(Pick(0, 1) ? static_cast<QWidget*>(form_->PageControl1->Memo1) : form_->Memo3,
                            Qt::Key_Z, Qt::ControlModifier);
            break;
        case TAction::ClearOutput:
            form_->Memo3->ClearAction->trigger();
            break;
        case TAction::CloseWindow:
            return !CloseWindow(true);
        }
        return true;
    }

    // Closes the window, answering the question about unsaved changes with Discard or, when
    // allowed, sometimes Cancel; true when the window closed.
    bool CloseWindow(bool mayCancel)
    {
        const bool asked = form_->Document().IsModified();
        const bool cancel = asked && mayCancel && Pick(0, 2) == 0;
        if (asked)
            AnswerSaveQuestion(cancel ? QMessageBox::Cancel : QMessageBox::Discard);
        const bool closed = form_->close();
        if (closed == cancel)
            closeMismatch_ = true;
        if (cancel)
            ++cancelledCloses_;
        return closed;
    }

    std::mt19937& random_;
    bool overlapping_;
    bool hung_ = false;
    bool closeMismatch_ = false;
    int cancelledCloses_ = 0;
    QTemporaryDir folder_;
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<TForm2> dialog_;
};

QStringList ShownRegisters(const TForm1& form)
{
    QStringList lines;
    for (int i = 0; i < form.PageControl1->ListBox1->count(); ++i)
        lines << form.PageControl1->ListBox1->item(i)->text();
    return lines;
}

QStringList StartRegisters()
{
    QStringList lines;
    for (const std::string& line : RegisterLines(TMachine::StartRegisters, TMachine::StartCurrent))
        lines << QString::fromStdString(line);
    return lines;
}

QStringList MachineRegisters(const TMachine& machine)
{
    QStringList lines;
    for (const std::string& line : RegisterLines(machine.Registers(), machine.Current()))
        lines << QString::fromStdString(line);
    return lines;
}

} // namespace

class TestStress : public QObject {
    Q_OBJECT
private slots:
    void RandomCommandSequences();
};

void TestStress::RandomCommandSequences()
{
    // The count settles once Qt's own helper threads (if any) have started.
    {
        std::mt19937 warmUpRandom(1);
        TStressSequence warmUp(warmUpRandom, false);
    }
    QCoreApplication::processEvents();
    const int baseline = LiveThreads();

    TErrorBoxCloser errorBoxes;
    std::mt19937 random(20261209);
    constexpr int Sequences = 300;
    int viewChecks = 0;
    int registerChecks = 0;
    int closedMidway = 0;
    int workersSeen = 0;
    int cancelledCloses = 0;
    for (int n = 0; n < Sequences; ++n) {
        const bool overlapping = n % 2 == 1;
        auto sequence = std::make_unique<TStressSequence>(random, overlapping);
        // About one sequence in three closes the window while its runs go on.
        const int length = std::uniform_int_distribution<int>(1, 30)(random);
        const int closeAt = std::uniform_int_distribution<int>(0, length * 3)(random);
        const bool open = sequence->Play(length, closeAt);
        QVERIFY2(!sequence->Hung(), qPrintable(QStringLiteral("sequence %1 hangs").arg(n)));
        QVERIFY2(!sequence->CloseMismatch(),
                 qPrintable(QStringLiteral("sequence %1: a close ignored its answer").arg(n)));
        cancelledCloses += sequence->CancelledCloses();
        if (open) {
            TForm1& form = sequence->Form();
            QTest::qWait(std::uniform_int_distribution<int>(0, 10)(random));
            // The thread count does see workers: a live one raises it.
            const TEmulationThread* live = form.Session().CurrentWorker();
            if (live && !live->Finished() && LiveThreads() > baseline)
                ++workersSeen;
            QVERIFY2(sequence->EndCurrentRun(), qPrintable(QStringLiteral("sequence %1 hangs").arg(n)));
            const TEmulationThread* worker = form.Session().CurrentWorker();
            // Only where each run ended before the next began do the views follow the current
            // run alone: a replaced run goes on showing its own steps, even after it was stopped.
            if (!overlapping && worker) {
                QCOMPARE(form.Session().RunCount(), std::size_t(1));
                const TMachine& machine = worker->Machine();
                const std::vector<std::uint8_t>& bytes = machine.Image().Bytes();
                for (std::size_t k = 0; k < bytes.size(); ++k) {
                    const int column = static_cast<int>(k % TMemoryGridModel::ColCount);
                    const int row = static_cast<int>(k / TMemoryGridModel::ColCount);
                    QCOMPARE(form.MemoryGrid()->CellByte(column, row), int(bytes[k]));
                }
                // A run starts from the machine's starting registers, and a failed step shows no
                // registers, so a run that failed shows those of its last whole step.
                const std::int64_t at = machine.OpcodeAddress();
                if (at < 0) {
                    QCOMPARE(ShownRegisters(form), StartRegisters());
                    ++registerChecks;
                } else {
                    if (!worker->FatalException()) {
                        QCOMPARE(ShownRegisters(form), MachineRegisters(machine));
                        ++registerChecks;
                    }
                    const QModelIndex highlighted = form.MemoryGrid()->CellIndex(at);
                    QVERIFY(form.PageControl1->StringGrid1->selectionModel()->isSelected(highlighted));
                }
                ++viewChecks;
            }
            sequence->Close();
            QVERIFY2(!sequence->CloseMismatch(),
                     qPrintable(QStringLiteral("sequence %1: the last close failed").arg(n)));
        } else {
            ++closedMidway;
        }
        QCOMPARE(sequence->Form().Session().RunCount(), std::size_t(0));
        sequence.reset();
        QCoreApplication::processEvents();
        // A joined thread leaves the task list at once; allow the kernel a moment all the same.
        QTRY_COMPARE_WITH_TIMEOUT(LiveThreads(), baseline, 1000);
    }
    // The checks above must have had something to check.
    QVERIFY2(viewChecks > Sequences / 6, qPrintable(QString::number(viewChecks)));
    QVERIFY2(registerChecks > Sequences / 20, qPrintable(QString::number(registerChecks)));
    QVERIFY2(closedMidway > Sequences / 20, qPrintable(QString::number(closedMidway)));
    QVERIFY2(workersSeen > 0, "no live worker was ever counted");
    QVERIFY2(cancelledCloses > 0, "no close was ever cancelled");
    qInfo("%d sequences: %d view checks, %d register checks, %d closed while running, "
          "%d counted live workers, %d cancelled closes", Sequences, viewChecks, registerChecks,
          closedMidway, workersSeen, cancelledCloses);
}

QTEST_MAIN(TestStress)
#include "test_stress.moc"
