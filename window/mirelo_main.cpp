#include "window/mirelo_main.h"

#include "common/ApplicationNames.h"
#include "common/ErrorBox.h"
#include "console/Unit2.h"
#include "controls/ClassicFont.h"
#include "controls/CustButton.h"
#include "document/FileDrop.h"
#include "document/ProgramDocument.h"
#include "document/RecoveryController.h"
#include "editor/CodeEditor.h"
#include "editor/TabLeavesEditor.h"
#include "editor/TabTypesBlanks.h"
#include "emulator/ListingLoader.h"
#include "emulator/Machine.h"
#include "marks/ExecutionMarks.h"
#include "marks/ProblemNavigator.h"
#include "marks/TranslationFeedback.h"
#include "reference/InstructionReference.h"
#include "session/RunSession.h"
#include "translator/ListingLine.h"
#include "translator/strutils2.h"
#include "translator/Translation.h"
#include "views/MemoryGridModel.h"
#include "views/MemoryGridView.h"
#include "views/RegisterBaseChoice.h"
#include "views/RegisterListView.h"
#include "window/ButtonBar.h"
#include "window/ExerciseControl.h"
#include "window/MainMenu.h"
#include "window/PanelHost.h"
#include "window/ProgramPages.h"
#include "window/RegisterDock.h"
#include "window/RunControl.h"
#include "window/RunStatusBar.h"
#include "window/WindowCommands.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QTabBar>
#include <QVBoxLayout>

TForm1::TForm1(QWidget* parent) : QWidget(parent), session_(std::make_unique<TRunSession>(*this))
{
    CreateWidgets();
    ConnectWidgets();
    FormCreate();
    PageControl1->ShowProgram();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate()
{
    FillInstructionTable(table_);
}

void TForm1::SetInputDialog(TForm2* dialog)
{
    if (inputDialog_)
        disconnect(inputDialog_, nullptr, session_.get(), nullptr);
    inputDialog_ = dialog;
    session_->SetInputPrompt(dialog);
    if (!dialog)
        return;
    dialog->SetOwnerWindow(this);
    TRunSession* session = session_.get();
    connect(dialog, &QDialog::finished, session, [session, dialog](int result) {
        session->AnswerInput(dialog->Text().toStdString(), result == TForm2::HaltResult);
    });
    // A dialog that goes first takes its requests with it; the runs that asked wait until
    // they are brought down.
    connect(dialog, &QObject::destroyed, session, [session] { session->SetInputPrompt(nullptr); });
}

// ---- widgets -------------------------------------------------------------------------------

void TForm1::CreateWidgets()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ApplicationTitle());
    setFont(ClassicFont());
    move(192, 109);

    commands_ = new TWindowCommands(this);
    QWidget* area = CreateClientArea();
    document_ = std::make_unique<TProgramDocument>(*PageControl1->Memo1, *this);
    recovery_ = std::make_unique<TRecoveryController>(*document_);
    MainMenu1 = new TMainMenu(*commands_, *document_, *this);
    MainMenu1->AddOutputActions(Memo3->ClearAction, Memo3->SaveAsAction);
    StatusBar1 = new TRunStatusBar(this);

    // The designed area keeps its size and place between the menu bar and the status bar.
    PanelHost = new TPanelHost(*MainMenu1, *area, *StatusBar1, document_->Settings(), this);
    RegisterDock = new TRegisterDock(PanelHost);
    PanelHost->AddPanel(*RegisterDock, Qt::RightDockWidgetArea);
    MainMenu1->AddPanelAction(RegisterDock->toggleViewAction());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PanelHost);
    resize(DesignedClientSize.width(), DesignedClientSize.height() +
                                           MainMenu1->sizeHint().height() +
                                           StatusBar1->sizeHint().height());
    SetTabOrder();
}

QWidget* TForm1::CreateClientArea()
{
    ClientArea = new QWidget(this);
    ClientArea->setObjectName(QStringLiteral("ClientArea"));
    Memo3 = new TOutputPane(ClientArea);

    auto* layout = new QHBoxLayout(ClientArea);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(CreatePanel2());
    layout->addWidget(Memo3, 1);
    return ClientArea;
}

QWidget* TForm1::CreatePanel2()
{
    Panel2 = new QFrame(ClientArea);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setLineWidth(1);
    Panel2->setFixedWidth(373);

    PageControl1 = new TProgramPages(Panel2);
    TTabLeavesEditor::Install(PageControl1->Memo1);
    TTabTypesBlanks::Install(PageControl1->Memo1);
    feedback_ = std::make_unique<TTranslationFeedback>(*PageControl1->Memo1);
    marks_ = std::make_unique<TExecutionMarks>(*PageControl1->Memo1, *PageControl1->Memo2);

    Panel3 = new TButtonBar(*commands_, Panel2);

    auto* layout = new QVBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(Panel3);
    return Panel2;
}

void TForm1::SetTabOrder()
{
    // As a person reads the window: the page tabs, the current page's views, the buttons left
    // to right, the output pane, the register panel. Views on hidden pages and the hidden or
    // floating panel are passed over.
    const TProgramPages& pages = *PageControl1;
    const TButtonBar& buttons = *Panel3;
    QWidget* const order[] = {pages.tabBar(),      pages.Memo4,         pages.Memo1,
                              pages.Memo2,         pages.StringGrid1,   pages.ListBox1,
                              buttons.CustButton1, buttons.CustButton2, buttons.CustButton3,
                              buttons.CustButton4, buttons.CustButton5, Memo3,
                              RegisterDock->List};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void TForm1::ConnectWidgets()
{
    ConnectCommands();
    connect(PageControl1->StringGrid1, &QAbstractItemView::doubleClicked, this,
            &TForm1::StringGrid1DblClick);
    StatusBar1->Watch(*session_);
    connect(session_.get(), &TRunSession::CurrentRunAt, marks_.get(),
            &TExecutionMarks::ShowAddress);
    connect(session_.get(), &TRunSession::PauseChanged, marks_.get(),
            &TExecutionMarks::SetPaused);
    connect(recovery_.get(), &TRecoveryController::WriteFailed, StatusBar1,
            [this](const QString& message) { StatusBar1->showMessage(message, 10000); });

    auto* drop = new TFileDrop(this);
    for (QWidget* target : {static_cast<QWidget*>(this), PageControl1->Memo1->viewport(),
                            PageControl1->Memo2->viewport(), Memo3->viewport(),
                            PageControl1->Memo4->viewport()})
        drop->Watch(target);
    connect(drop, &TFileDrop::FileDropped, document_.get(), &TProgramDocument::OpenGuarded);
    connect(document_.get(), &TProgramDocument::ProgramReplaced, this, &TForm1::ForgetListing);
    // Whatever replaced the program, the next keys typed go into it.
    connect(document_.get(), &TProgramDocument::ProgramReplaced, PageControl1,
            &TProgramPages::ShowProgram);
}

void TForm1::ConnectCommands()
{
    const TWindowCommands& commands = *commands_;
    TProgramDocument* document = document_.get();
    connect(commands.NewAction, &QAction::triggered, document, &TProgramDocument::New);
    connect(commands.OpenAction, &QAction::triggered, document, &TProgramDocument::Open);
    connect(commands.SaveAction, &QAction::triggered, document, &TProgramDocument::Save);
    connect(commands.SaveAsAction, &QAction::triggered, document, &TProgramDocument::SaveAs);
    // Closing asks about unsaved changes; Quit is the same close.
    connect(commands.QuitAction, &QAction::triggered, this, &QWidget::close);

    // A button triggers its command's action, so buttons, menu items and keys share one path.
    connect(commands.TranslateAction, &QAction::triggered, this, &TForm1::CustButton1Click);
    connect(commands.TranslateAndEmulateAction, &QAction::triggered, this,
            &TForm1::CustButton2Click);
    connect(commands.EmulateAction, &QAction::triggered, this, &TForm1::CustButton3Click);
    connect(commands.PauseAction, &QAction::triggered, this, &TForm1::CustButton4Click);
    connect(commands.StopAction, &QAction::triggered, this, &TForm1::CustButton5Click);
    connect(commands.StepAction, &QAction::triggered, this, &TForm1::StepClick);
    auto* problems = new TProblemNavigator(*PageControl1->Memo1, *StatusBar1, this);
    connect(problems, &TProblemNavigator::ProgramWanted, PageControl1, &TProgramPages::ShowProgram);
    connect(commands.NextProblemAction, &QAction::triggered, problems, &TProblemNavigator::Next);
    connect(commands.PreviousProblemAction, &QAction::triggered, problems,
            &TProblemNavigator::Previous);

    connect(commands.ReferenceAction, &QAction::triggered, this,
            [this] { TInstructionReference::ShowFor(this); });
    connect(commands.AboutAction, &QAction::triggered, this, [this] { ShowAboutBox(this); });

    registerBase_ = std::make_unique<TRegisterBaseChoice>(*commands.RegisterBaseGroup,
                                                          document_->Settings());
    for (TRegisterListView* list : {PageControl1->ListBox1, RegisterDock->List}) {
        registerBase_->AddView(*list);
        registerLists_.Add(*list);
    }

    runControl_ = std::make_unique<TRunControl>(
        TRunControl::TParts{*commands_, *session_, *PageControl1, *marks_, *StatusBar1,
                            document_->Settings(),
                            [this](bool paused) { RunCommand([&] { Emulate(paused, true); }); }});
    exercises_ = std::make_unique<TExerciseControl>(TExerciseControl::TParts{
        *commands_, *MainMenu1, *PanelHost, *document_, *session_, *StatusBar1, table_,
        *PageControl1->Memo1,
        [this](const TTranslation& translation) { ShowTranslationFailure(translation); },
        [this](std::vector<std::string> input) {
            RunCommand([&] {
                if (!TranslateProgram())
                    return;
                session_->SetScriptedInput(std::move(input));
                Emulate();
            });
        }});
}

void TForm1::SelectPage(int index)
{
    PageControl1->SelectPage(index);
}

// ---- commands ------------------------------------------------------------------------------

void TForm1::RunCommand(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        ShowErrorBox(this, QString::fromStdString(error.what()));
    }
}

void TForm1::CustButton1Click()
{
    RunCommand([this] {
        SelectPage(TProgramPages::PageMachinecode);
        TranslateProgram();
    });
}

void TForm1::CustButton2Click()
{
    RunCommand([this] {
        if (TranslateProgram())
            Emulate();
    });
}

void TForm1::CustButton3Click()
{
    RunCommand([this] { Emulate(); });
}

void TForm1::CustButton4Click()
{
    // The choice follows the worker's paused flag, not the caption: after "Halt" they differ.
    if (!session_->CurrentWorker())
        return;
    if (session_->Paused()) {
        commands_->ShowPauseAs(false);
        session_->Resume();
    } else {
        commands_->ShowPauseAs(true);
        session_->Pause();
    }
}

void TForm1::CustButton5Click()
{
    session_->Stop();
}

void TForm1::StepClick()
{
    if (session_->Going()) {
        // A running run is left alone, as is one still busy with its previous step.
        if (session_->Paused())
            session_->Step();
        return;
    }
    RunCommand([this] { Emulate(true, true); });
}

void TForm1::StringGrid1DblClick() {}

bool TForm1::TranslateProgram()
{
    const std::vector<std::string> program =
        SplitLines(PageControl1->Memo1->toPlainText().toStdString());
    const TTranslation translation = ::TranslateProgram(table_, program);
    if (translation.Failure) {
        ShowTranslationFailure(translation);
        return false;
    }
    (void)feedback_->Show(translation);
    QStringList lines;
    for (const std::string& line : translation.Listing)
        lines << QString::fromStdString(line);
    PageControl1->Memo2->setPlainText(lines.join(QLatin1Char('\n')));
    marks_->Translated(translation.ProgramLines);
    StatusBar1->ShowTranslation(static_cast<qsizetype>(program.size()),
                                static_cast<qsizetype>(ListingBytes(translation.Listing)),
                                static_cast<qsizetype>(translation.Warnings.size()));
    return true;
}

void TForm1::ShowTranslationFailure(const TTranslation& translation)
{
    StatusBar1->ShowTranslationFailure(translation.Failure->Line);
    if (!feedback_->Show(translation))
        return;
    ShowErrorBox(this, QString::fromStdString(translation.Failure->Message));
    // Only once the box is closed, so that the student sees the line it speaks of.
    SelectPage(TProgramPages::PageAsm);
    feedback_->ShowFailure();
}

void TForm1::ForgetListing()
{
    // The listing was the previous program's: Emulate must not run it under the new one's
    // name. clear() also drops the pane's undo history, so Ctrl+Z cannot bring it back.
    PageControl1->Memo2->clear();
    marks_->Forget();
    StatusBar1->ClearTranslation();
}

std::vector<std::uint8_t> TForm1::LoadListing(const QString& listing)
{
    // A listing line pairs its characters by position, so each character must stay one char
    // on the way to the hexadecimal conversion: Latin-1 keeps the count (others become '?',
    // which reads as 0 just as any non-digit does).
    std::vector<std::string> lines;
    for (const QString& line : listing.split(QLatin1Char('\n')))
        lines.push_back(line.toLatin1().toStdString());
    return ::LoadListing(lines);
}

void TForm1::Emulate(bool paused, bool keepPage)
{
    if (!keepPage)
        SelectPage(TProgramPages::PageMemory);
    auto image =
        std::make_unique<TMemoryStream>(LoadListing(PageControl1->Memo2->toPlainText()));
    // From here on the views show the new run's machine as it starts, even when its first
    // step never refreshes them (an empty image, a first instruction that fails or asks).
    PageControl1->StringGrid1->BeginRun(*image);
    registerLists_.BeginRun(TMachine::StartRegisters);
    ShowRegisters(TMachine::StartRegisters, TMachine::StartCurrent);
    marks_->RunStarted();
    runControl_->RunStarting();
    session_->Start(std::move(image), paused);
    commands_->ShowPauseAs(paused);
}

// ---- views ---------------------------------------------------------------------------------

TMemoryGridModel* TForm1::MemoryGrid() const
{
    return PageControl1->StringGrid1->Cells();
}

void TForm1::HighlightAddress(std::int64_t address)
{
    PageControl1->StringGrid1->HighlightAddress(address);
}

void TForm1::ShowRegisters(const TRegisterFile& registers, std::uint8_t current)
{
    registerLists_.ShowRegisters(registers, current);
}

void TForm1::ShowMemory(TMemoryStream& image)
{
    PageControl1->StringGrid1->ShowImage(image);
}

void TForm1::AppendOutput(const std::string& line)
{
    Memo3->AppendLine(QString::fromStdString(line));
}

void TForm1::RemoveOutput(std::size_t lines)
{
    Memo3->RemoveLastLines(lines);
}

// ---- closing -------------------------------------------------------------------------------

void TForm1::closeEvent(QCloseEvent* event)
{
    // Cancel changes nothing: the window stays and its runs go on.
    if (!document_->MaybeSave()) {
        event->ignore();
        return;
    }
    PanelHost->SaveArrangement();
    session_->Shutdown();
    recovery_->Remove();
    QWidget::closeEvent(event);
}
