#include "window/MainMenu.h"

#include "common/ApplicationNames.h"
#include "document/ProgramDocument.h"
#include "reference/InstructionReference.h"

#include <QDir>
#include <QMenu>
#include <QMessageBox>

namespace {

QAction* AddAction(QMenu* menu, const QString& text, const QKeySequence& keys,
                   const QString& name)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    action->setShortcut(keys);
    return action;
}

// Menu text that shows every "&" of text as itself instead of marking a mnemonic.
QString Literal(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// The platform's keys for a standard command, or the usual Linux key where the platform has
// none (Qt's generic themes give Save As none, and some give Quit none).
QKeySequence StandardKey(QKeySequence::StandardKey key, QKeyCombination fallback)
{
    const QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    return keys.isEmpty() ? QKeySequence(fallback) : keys.constFirst();
}

} // namespace

TMainMenu::TMainMenu(TProgramDocument& document, QWidget& window)
    : QMenuBar(&window), document_(document)
{
    setObjectName(QStringLiteral("MainMenu1"));
    CreateFileMenu(window);
    CreateRunMenu();
    CreateHelpMenu(window);
}

QString TMainMenu::ActionText(const QString& caption)
{
    return QLatin1Char('&') + Literal(caption);
}

void TMainMenu::SetPauseCaption(const QString& caption)
{
    PauseAction->setText(ActionText(caption));
}

void TMainMenu::CreateFileMenu(QWidget& window)
{
    FileMenu = addMenu(QStringLiteral("&File"));
    NewAction = AddAction(FileMenu, QStringLiteral("&New"), QKeySequence::New,
                          QStringLiteral("NewAction"));
    OpenAction = AddAction(FileMenu, QStringLiteral("&Open\u2026"), QKeySequence::Open,
                           QStringLiteral("OpenAction"));
    RecentMenu = FileMenu->addMenu(QStringLiteral("Open &Recent"));
    RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    FileMenu->addSeparator();
    SaveAction = AddAction(FileMenu, QStringLiteral("&Save"), QKeySequence::Save,
                           QStringLiteral("SaveAction"));
    SaveAsAction = AddAction(FileMenu, QStringLiteral("Save &As\u2026"),
                             StandardKey(QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S),
                             QStringLiteral("SaveAsAction"));
    FileMenu->addSeparator();
    QuitAction = AddAction(FileMenu, QStringLiteral("&Quit"),
                           StandardKey(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q),
                           QStringLiteral("QuitAction"));
    QuitAction->setMenuRole(QAction::QuitRole);

    connect(NewAction, &QAction::triggered, &document_, &TProgramDocument::New);
    connect(OpenAction, &QAction::triggered, &document_, &TProgramDocument::Open);
    connect(SaveAction, &QAction::triggered, &document_, &TProgramDocument::Save);
    connect(SaveAsAction, &QAction::triggered, &document_, &TProgramDocument::SaveAs);
    // Closing asks about unsaved changes; Quit is the same close.
    connect(QuitAction, &QAction::triggered, &window, &QWidget::close);
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
            QStringLiteral("&%1 %2").arg(i + 1).arg(Literal(QDir::toNativeSeparators(path))));
        connect(entry, &QAction::triggered, &document_,
                [this, path] { document_.OpenRecent(path); });
    }
    if (files.isEmpty())
        RecentMenu->addAction(QStringLiteral("No recent files"))->setEnabled(false);
}

void TMainMenu::CreateRunMenu()
{
    RunMenu = addMenu(QStringLiteral("&Run"));
    TranslateAction = AddAction(RunMenu, ActionText(QStringLiteral("Translate")),
                                QKeySequence(Qt::Key_F7), QStringLiteral("TranslateAction"));
    TranslateAndEmulateAction =
        AddAction(RunMenu, QStringLiteral("Translate && &Emulate"), QKeySequence(Qt::Key_F5),
                  QStringLiteral("TranslateAndEmulateAction"));
    EmulateAction = AddAction(RunMenu, QStringLiteral("E&mulate"),
                              QKeySequence(Qt::CTRL | Qt::Key_F5), QStringLiteral("EmulateAction"));
    NextProblemAction = AddAction(RunMenu, QStringLiteral("Go to &Next Problem"),
                                  QKeySequence(Qt::Key_F8), QStringLiteral("NextProblemAction"));
    PreviousProblemAction =
        AddAction(RunMenu, QStringLiteral("Go to &Previous Problem"),
                  QKeySequence(Qt::SHIFT | Qt::Key_F8), QStringLiteral("PreviousProblemAction"));
    RunMenu->addSeparator();
    PauseAction = AddAction(RunMenu, ActionText(QStringLiteral("Pause")), QKeySequence(Qt::Key_F6),
                            QStringLiteral("PauseAction"));
    StopAction = AddAction(RunMenu, ActionText(QStringLiteral("Stop")),
                           QKeySequence(Qt::SHIFT | Qt::Key_F5), QStringLiteral("StopAction"));
    StepAction = AddAction(RunMenu, QStringLiteral("S&tep"), QKeySequence(Qt::Key_F10),
                           QStringLiteral("StepAction"));
}

void TMainMenu::AddOutputActions(QAction* clear, QAction* saveAs)
{
    RunMenu->addSeparator();
    RunMenu->addAction(clear);
    RunMenu->addAction(saveAs);
}

void TMainMenu::CreateHelpMenu(QWidget& window)
{
    HelpMenu = addMenu(QStringLiteral("&Help"));
    ReferenceAction = AddAction(HelpMenu, QStringLiteral("&Instruction reference"),
                                QKeySequence(Qt::Key_F1), QStringLiteral("ReferenceAction"));
    connect(ReferenceAction, &QAction::triggered, &window,
            [&window] { TInstructionReference::ShowFor(&window); });
    AboutAction = HelpMenu->addAction(QStringLiteral("&About Mirelo"));
    AboutAction->setObjectName(QStringLiteral("AboutAction"));
    AboutAction->setMenuRole(QAction::AboutRole);
    connect(AboutAction, &QAction::triggered, &window, [&window] {
        QMessageBox::about(&window, QStringLiteral("About Mirelo"), AboutText());
    });
}

QString AboutText()
{
    return QStringLiteral("Mirelo %1\n\nMirelo is a teaching tool for a small invented processor: "
                          "you write a program, translate it into machine code and watch it run "
                          "one instruction at a time.")
        .arg(ApplicationVersion());
}
