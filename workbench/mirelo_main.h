#pragma once
// The main window: program editor, listing pane, memory views, output pane and the five
// commands. It owns the instruction table and every run (a memory image and its worker), and
// is the window side of the worker's hooks.

#include "InstructionTable.h"
#include "QtWindowThread.h"
#include "WindowHooks.h"

#include <QPointer>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QFrame;
class QListWidget;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class QTableView;
class TCustButton;
class TEmulationThread;
class TForm2;
class TMemoryGridModel;

class TForm1 : public QWidget, public IRunViews {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The dialog that serves input requests; it must outlive this window's runs.
    void SetInputDialog(TForm2* dialog);

    void FormCreate();
    void CustButton1Click();
    void CustButton2Click();
    void CustButton3Click();
    void CustButton4Click();
    void CustButton5Click();
    void StringGrid1DblClick();

    // Makes the page current only when it exists and its tab is visible.
    void SelectPage(int index);
    // Listing text to image bytes: two characters to a byte, paired by position in each line.
    static std::vector<std::uint8_t> LoadListing(const QString& listing);
    void SizeMemoryGrid(std::int64_t imageSize);

    // IRunViews: the window's side of the worker's hooks, all on the window's thread.
    void HighlightCell(int column, int row) override;
    void ShowRegisters(const TRegisterFile& registers, std::uint8_t current) override;
    void ShowMemory(TMemoryStream& image) override;
    void AppendOutput(const std::string& line) override;
    void RequestInput(std::function<void(std::string)> answer) override;

    const TInstructionTable& InstructionTable() const { return table_; }
    TMemoryGridModel* MemoryGrid() const { return gridModel_; }
    // Test seam: the step delay given to workers created from now on.
    void SetStepDelay(std::chrono::milliseconds delay) { stepDelay_ = delay; }
    // Runs held: the current one and every replaced one whose worker has not ended yet.
    std::size_t RunCount() const { return runs_.size(); }
    // The worker of the latest run, or none before the first "Emulate".
    TEmulationThread* CurrentWorker() const;

    QFrame* Panel2 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet4 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QPlainTextEdit* Memo4 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QTableView* StringGrid1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QFrame* Panel1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QWidget* Panel3 = nullptr;
    TCustButton* CustButton1 = nullptr;
    TCustButton* CustButton2 = nullptr;
    TCustButton* CustButton3 = nullptr;
    TCustButton* CustButton4 = nullptr;
    TCustButton* CustButton5 = nullptr;
    QPlainTextEdit* Memo3 = nullptr;

signals:
    // A run's worker has ended (emitted on the window's thread, after the worker's last hook).
    void RunEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct TRun;

    void CreateWidgets();
    QWidget* CreatePanel2();
    QWidget* CreateMemoryPage();
    void CreateButtons();
    void ConnectWidgets();

    // Runs a command; an error that leaves it goes to the error box.
    void RunCommand(const std::function<void()>& command);
    void TranslateProgram();
    void Emulate();
    void StartRun(std::unique_ptr<TRun> run);
    void WorkerEnded(int runId);
    void ServeNextInput();
    void InputDialogFinished(int result);
    void ShutdownRuns();

    TInstructionTable table_;
    TMemoryGridModel* gridModel_ = nullptr;
    TQtWindowThread windowThread_{*this};
    std::chrono::milliseconds stepDelay_;
    std::vector<std::unique_ptr<TRun>> runs_;
    TRun* current_ = nullptr;
    int lastRunId_ = 0;
    QPointer<TForm2> inputDialog_;
    std::deque<std::function<void(std::string)>> pendingInputs_;
    bool inputShown_ = false;
    bool closing_ = false;
};
