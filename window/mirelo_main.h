#pragma once
// The main window: program editor, listing pane, memory views, output pane and the five
// commands, with a menu bar above them and a status bar below. It owns the instruction table,
// hands runs to its run session, keeps the program in a document (files, the unsaved-changes
// guard, recovery), and shows what the runs report.

#include "console/OutputPane.h"
#include "emulator/WindowHooks.h"
#include "translator/InstructionTable.h"
#include "views/RegisterLists.h"
#include "window/ButtonBar.h"
#include "window/ProgramPages.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QFrame;
class TExecutionMarks;
class TExerciseControl;
class TForm2;
class TMainMenu;
class TMemoryGridModel;
class TPanelHost;
class TProgramDocument;
class TRecoveryController;
class TRegisterBaseChoice;
class TRegisterDock;
class TRunControl;
class TRunSession;
class TRunStatusBar;
class TTranslationFeedback;
struct TTranslation;
class TWindowCommands;

class TForm1 : public QWidget, public IRunDisplay {
    Q_OBJECT
public:
    // The designed size of the area between the menu bar and the status bar; the window is
    // taller by their heights.
    static constexpr QSize DesignedClientSize{688, 451};

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
    // Run → Step: one instruction of the paused run, or a new run paused before its first.
    void StepClick();
    void StringGrid1DblClick();

    // Makes the page current only when it exists and its tab is visible.
    void SelectPage(int index);
    // Listing pane text to image bytes, each line giving the bytes a listing line gives.
    static std::vector<std::uint8_t> LoadListing(const QString& listing);

    // IRunDisplay: what the runs show, on the window's thread.
    void HighlightAddress(std::int64_t address) override;
    void ShowRegisters(const TRegisterFile& registers, std::uint8_t current) override;
    void ShowMemory(TMemoryStream& image) override;
    void AppendOutput(const std::string& line) override;
    void RemoveOutput(std::size_t lines) override;

    const TInstructionTable& InstructionTable() const { return table_; }
    TMemoryGridModel* MemoryGrid() const;
    TRunSession& Session() const { return *session_; }
    TProgramDocument& Document() const { return *document_; }
    TRecoveryController& Recovery() const { return *recovery_; }
    TExecutionMarks& ExecutionMarks() const { return *marks_; }

    TWindowCommands& Commands() const { return *commands_; }
    // The exercise shown beside the program, with its panel, Check and case runs.
    TExerciseControl& Exercises() const { return *exercises_; }

    // The pages own the editors and the machine's views, the button bar its buttons.
    TMainMenu* MainMenu1 = nullptr;
    QWidget* ClientArea = nullptr;
    QFrame* Panel2 = nullptr;
    TProgramPages* PageControl1 = nullptr;
    TButtonBar* Panel3 = nullptr;
    TOutputPane* Memo3 = nullptr;
    TRunStatusBar* StatusBar1 = nullptr;
    // Holds the menu bar, the client area and the status bar, and the panels beside the area.
    TPanelHost* PanelHost = nullptr;
    TRegisterDock* RegisterDock = nullptr;

protected:
    // Asks about unsaved changes first; Cancel keeps the window and its runs going.
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateWidgets();
    QWidget* CreateClientArea();
    QWidget* CreatePanel2();
    void SetTabOrder();
    void ConnectWidgets();
    void ConnectCommands();

    // Runs a command; an error that leaves it goes to the error box.
    void RunCommand(const std::function<void()>& command);
    // False when the translation failed: its message has been in the error box, and the
    // program editor shows the line it speaks of.
    bool TranslateProgram();
    // A failed translation as Translate shows it: in the status bar, in the error box, and
    // then its line in the program editor.
    void ShowTranslationFailure(const TTranslation& translation);
    // Starts a run of the listing pane on the Memory page, or, with keepPage, on the page the
    // student is on (a Step or a Run to Cursor that starts the run).
    void Emulate(bool paused = false, bool keepPage = false);
    // Another program is in the editor: the listing pane and what was translated go.
    void ForgetListing();

    TInstructionTable table_;
    // Every register list the runs show their registers in, the Memory page's and the
    // register panel's; it outlives the runs, which show them until they are brought down.
    TRegisterLists registerLists_;
    TWindowCommands* commands_ = nullptr;
    // Members, so that the runs are brought down and the document let go before the child
    // widgets they use are destroyed.
    std::unique_ptr<TRunSession> session_;
    std::unique_ptr<TProgramDocument> document_;
    std::unique_ptr<TRecoveryController> recovery_;
    std::unique_ptr<TTranslationFeedback> feedback_;
    std::unique_ptr<TExecutionMarks> marks_;
    std::unique_ptr<TRegisterBaseChoice> registerBase_;
    std::unique_ptr<TRunControl> runControl_;
    std::unique_ptr<TExerciseControl> exercises_;
    QPointer<TForm2> inputDialog_;
};
