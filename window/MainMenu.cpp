#include "window/MainMenu.h"

#include "document/ProgramDocument.h"
#include "files/ProgramFile.h"
#include "window/WindowCommands.h"

#include <QActionGroup>
#include <QMenu>

TMainMenu::TMainMenu(const TWindowCommands& commands, TProgramDocument& document,
                     QWidget& window)
    : QMenuBar(&window), document_(document)
{
    setObjectName(QStringLiteral("MainMenu1"));
    CreateFileMenu(commands);
    CreateRunMenu(commands);
    CreateViewMenu(commands);
    CreateHelpMenu(commands);
}

void TMainMenu::CreateFileMenu(const TWindowCommands& commands)
{
    FileMenu = addMenu(QStringLiteral("&File"));
    FileMenu->addActions({commands.NewAction, commands.NewFromExerciseAction,
                          commands.OpenAction, commands.OpenExerciseAction});
    RecentMenu = FileMenu->addMenu(QStringLiteral("Open &Recent"));
    RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    FileMenu->addSeparator();
    FileMenu->addAction(commands.SaveAction);
    FileMenu->addAction(commands.SaveAsAction);
    FileMenu->addSeparator();
    FileMenu->addAction(commands.QuitAction);

    connect(RecentMenu, &QMenu::aboutToShow, this, &TMainMenu::FillRecentMenu);
    // Filled now too, so that the entries exist (and can be reached) before the first showing.
    FillRecentMenu();
}

void TMainMenu::FillRecentMenu()
{
    RecentMenu->clear();
    const QStringList files = document_.RecentFiles().Files();
    for (int i = 0; i < files.size(); ++i) {
        const QString& path = files[i];
        // A digit mnemonic for each of the (at most eight) entries.
        QAction* entry = RecentMenu->addAction(
            QStringLiteral("&%1 %2")
                .arg(i + 1)
                .arg(TWindowCommands::Literal(ShownPath(path))));
        connect(entry, &QAction::triggered, &document_,
                [this, path] { document_.OpenRecent(path); });
    }
    if (files.isEmpty())
        RecentMenu->addAction(QStringLiteral("No recent files"))->setEnabled(false);
}

void TMainMenu::CreateRunMenu(const TWindowCommands& commands)
{
    RunMenu = addMenu(QStringLiteral("&Run"));
    RunMenu->addActions({commands.TranslateAction, commands.TranslateAndEmulateAction,
                         commands.EmulateAction, commands.NextProblemAction,
                         commands.PreviousProblemAction});
    RunMenu->addSeparator();
    RunMenu->addActions({commands.CheckAction, commands.RunCaseAction});
    RunMenu->addSeparator();
    RunMenu->addActions({commands.PauseAction, commands.StopAction, commands.StepAction,
                         commands.StepBackAction, commands.RunToCursorAction});
    RunMenu->addSeparator();
    RunMenu->addAction(commands.ToggleBreakpointAction);
    SpeedMenu = RunMenu->addMenu(QStringLiteral("Spee&d"));
    SpeedMenu->setObjectName(QStringLiteral("SpeedMenu"));
    SpeedMenu->addActions(commands.SpeedGroup->actions());
}

void TMainMenu::AddOutputActions(QAction* clear, QAction* saveAs)
{
    RunMenu->addSeparator();
    RunMenu->addAction(clear);
    RunMenu->addAction(saveAs);
}

void TMainMenu::AddPanelAction(QAction* panel)
{
    ViewMenu->insertAction(RegisterBaseMenu->menuAction(), panel);
}

void TMainMenu::CreateViewMenu(const TWindowCommands& commands)
{
    ViewMenu = addMenu(QStringLiteral("&View"));
    RegisterBaseMenu = ViewMenu->addMenu(QStringLiteral("Register &Base"));
    RegisterBaseMenu->setObjectName(QStringLiteral("RegisterBaseMenu"));
    RegisterBaseMenu->addActions({commands.SignedDecimalAction, commands.HexadecimalAction,
                                  commands.UnsignedDecimalAction});
}

void TMainMenu::CreateHelpMenu(const TWindowCommands& commands)
{
    HelpMenu = addMenu(QStringLiteral("&Help"));
    HelpMenu->addAction(commands.ReferenceAction);
    ExamplesMenu = HelpMenu->addMenu(QStringLiteral("&Examples"));
    ExamplesMenu->setObjectName(QStringLiteral("ExamplesMenu"));
    HelpMenu->addAction(commands.AboutAction);
}
