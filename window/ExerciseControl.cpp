#include "window/ExerciseControl.h"

#include "common/ErrorBox.h"
#include "document/ProgramDocument.h"
#include "exercise/CaseCheck.h"
#include "files/ProgramFile.h"
#include "session/RunSession.h"
#include "translator/strutils2.h"
#include "translator/Translation.h"
#include "window/ExerciseCheck.h"
#include "window/ExercisePanel.h"
#include "window/MainMenu.h"
#include "window/PanelHost.h"
#include "window/RunStatusBar.h"
#include "window/WindowCommands.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableWidget>

namespace {

const QString ExerciseSuffix = QStringLiteral("mirex");
// How long the status bar shows what Check found and what a case run was given.
constexpr int MessageMs = 10000;

// The installed examples sit in share/mirelo/examples beside the program's bin folder; a
// program run from its build tree lists the source tree's.
QString FindExampleFolder()
{
    const QDir installed(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/../share/mirelo/examples"));
    if (installed.exists())
        return installed.canonicalPath();
#ifdef MIRELO_SOURCE_EXAMPLES
    return QStringLiteral(MIRELO_SOURCE_EXAMPLES);
#else
    return {};
#endif
}

// Text from a file may carry CR LF; the editor's text breaks lines with LF alone.
QString EditorText(const std::string& text)
{
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

TExerciseControl::TExerciseControl(TParts parts, QObject* parent)
    : QObject(parent),
      parts_(parts),
      check_(std::make_unique<TExerciseCheck>()),
      exampleFolder_(FindExampleFolder())
{
    panel_ = new TExercisePanel(&parts_.Host);
    parts_.Host.AddPanel(*panel_, Qt::RightDockWidgetArea);
    // A panel left open when the window last closed has no exercise to show now.
    panel_->hide();
    parts_.Menu.AddPanelAction(panel_->toggleViewAction());
    connect(panel_, &TExercisePanel::CaseChosen, this, &TExerciseControl::RunCase);
    connect(check_.get(), &TExerciseCheck::Checked, this, &TExerciseControl::Checked);
    connect(&parts_.Session, &TRunSession::ScriptedInputTaken, this, [this](const QString& text) {
        parts_.Status.showMessage(
            QStringLiteral("Input from case \"%1\": %2").arg(caseRunName_, text), MessageMs);
    });
    parts_.Document.OpenOtherKindWith(ExerciseSuffix,
                                      [this](const QString& path) { return OpenExercise(path); });
    ConnectCommands();
    UpdateActions();
}

TExerciseControl::~TExerciseControl() = default;

void TExerciseControl::ConnectCommands()
{
    const TWindowCommands& commands = parts_.Commands;
    connect(commands.OpenExerciseAction, &QAction::triggered, this,
            &TExerciseControl::ChooseAndOpen);
    connect(commands.NewFromExerciseAction, &QAction::triggered, this,
            &TExerciseControl::NewFromExercise);
    connect(commands.CheckAction, &QAction::triggered, this, &TExerciseControl::Check);
    connect(commands.RunCaseAction, &QAction::triggered, this, [this] {
        RunCase(std::max(panel_->Cases->currentRow(), 0));
    });
    QMenu* examples = parts_.Menu.ExamplesMenu;
    connect(examples, &QMenu::aboutToShow, this, &TExerciseControl::FillExamplesMenu);
    // Filled now too, so that the entries exist (and can be reached) before the first showing.
    FillExamplesMenu();
}

void TExerciseControl::UpdateActions()
{
    const TWindowCommands& commands = parts_.Commands;
    commands.NewFromExerciseAction->setEnabled(exercise_ && !exercise_->Starter.empty());
    commands.CheckAction->setEnabled(exercise_.has_value());
    commands.RunCaseAction->setEnabled(exercise_.has_value());
}

// ---- the exercise --------------------------------------------------------------------------

void TExerciseControl::ChooseAndOpen()
{
    QWidget* window = parts_.Host.window();
    QFileDialog dialog(window, QStringLiteral("Open Exercise"));
    dialog.setObjectName(QStringLiteral("OpenExerciseDialog"));
    dialog.setNameFilters({QStringLiteral("Mirelo exercises (*.mirex)"),
                           QStringLiteral("All files (*)")});
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!exercisePath_.isEmpty())
        dialog.setDirectory(QFileInfo(exercisePath_).absolutePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    if (OpenExercise(path))
        parts_.Document.RecentFiles().Add(QFileInfo(path).absoluteFilePath());
}

bool TExerciseControl::OpenExercise(const QString& path)
{
    try {
        exercise_ = LoadExercise(QFile::encodeName(path).toStdString());
    } catch (const std::exception& error) {
        ShowErrorBox(parts_.Host.window(), QString::fromStdString(error.what()));
        return false;
    }
    exercisePath_ = QFileInfo(path).absoluteFilePath();
    check_->Forget();
    panel_->ShowExercise(*exercise_);
    panel_->show();
    panel_->raise();
    UpdateActions();
    return true;
}

void TExerciseControl::NewFromExercise()
{
    if (exercise_ && !exercise_->Starter.empty())
        parts_.Document.NewWithText(EditorText(exercise_->Starter));
}

// ---- checking ------------------------------------------------------------------------------

bool TExerciseControl::Checking() const
{
    return check_->Busy();
}

void TExerciseControl::Check()
{
    if (!exercise_)
        return;
    panel_->show();
    TTranslation translation = ::TranslateProgram(
        parts_.Table, SplitLines(parts_.Program.toPlainText().toStdString()));
    if (translation.Failure) {
        // Every case fails with the translation's reason; the rows say so behind the box.
        check_->Forget();
        Checked(CheckTranslation(*exercise_, translation));
        parts_.ShowTranslationFailure(translation);
        return;
    }
    panel_->ShowChecking();
    check_->Start(*exercise_, std::move(translation));
}

void TExerciseControl::Checked(const TProgramCheck& check)
{
    panel_->ShowResults(check);
    const std::size_t total = check.Cases.size();
    parts_.Status.showMessage(QStringLiteral("%1 of %2 %3 passed")
                                  .arg(check.Passed())
                                  .arg(total)
                                  .arg(total == 1 ? QStringLiteral("case")
                                                  : QStringLiteral("cases")),
                              MessageMs);
}

void TExerciseControl::RunCase(int index)
{
    if (!exercise_ || index < 0 || static_cast<std::size_t>(index) >= exercise_->Cases.size())
        return;
    const TExerciseCase& testCase = exercise_->Cases[static_cast<std::size_t>(index)];
    panel_->Cases->selectRow(index);
    caseRunName_ = QString::fromStdString(testCase.Name);
    parts_.RunWithInput(testCase.Input);
}

// ---- examples ------------------------------------------------------------------------------

QStringList TExerciseControl::ExamplePrograms() const
{
    if (exampleFolder_.isEmpty())
        return {};
    return QDir(exampleFolder_).entryList({QStringLiteral("*.mir")}, QDir::Files, QDir::Name);
}

void TExerciseControl::FillExamplesMenu()
{
    QMenu* menu = parts_.Menu.ExamplesMenu;
    menu->clear();
    const QStringList programs = ExamplePrograms();
    for (const QString& name : programs) {
        const QString path = QDir(exampleFolder_).filePath(name);
        QAction* entry = menu->addAction(TWindowCommands::Literal(QFileInfo(name).completeBaseName()));
        connect(entry, &QAction::triggered, this, [this, path] { OpenExample(path); });
    }
    if (programs.isEmpty())
        menu->addAction(QStringLiteral("No examples installed"))->setEnabled(false);
}

void TExerciseControl::OpenExample(const QString& path)
{
    const TProgramRead read = ReadProgramFile(path);
    if (!read.Program) {
        ShowErrorBox(parts_.Host.window(), read.Error);
        return;
    }
    // An untitled copy: a save never writes into the installation.
    parts_.Document.NewWithText(read.Program->Text);
}
