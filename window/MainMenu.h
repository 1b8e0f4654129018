#pragma once
// The window's menu bar: File (New, Open…, Open Recent, Save, Save As…, Quit) working on the
// program document, Run (the five commands of the button bar, Step, going to the problems the
// last translation marked, and the output pane's two commands) and Help (Instruction
// reference, About Mirelo).
//
// The Run actions only carry their texts and keys: the window connects them to the same
// handlers its buttons call. Their keys avoid the editors' own keys and Alt+Space, which many
// Linux window managers keep for their window menu: F5 is "Translate & Emulate".

#include <QMenuBar>

class QAction;
class QMenu;
class TProgramDocument;

class TMainMenu : public QMenuBar {
    Q_OBJECT
public:
    // The document must outlive the menu. Quit closes `window`, which asks before it goes.
    TMainMenu(TProgramDocument& document, QWidget& window);

    // The menu text for a command button's caption: a mnemonic on its first letter, and any
    // "&" of the caption shown as itself.
    static QString ActionText(const QString& caption);

    // Follows the Pause button's caption ("Pause" or "Resume").
    void SetPauseCaption(const QString& caption);

    // Shows the output pane's Clear Output and Save Output As… at the end of the Run menu;
    // the pane owns them, and its context menu shows the same two.
    void AddOutputActions(QAction* clear, QAction* saveAs);

    QMenu* FileMenu = nullptr;
    QMenu* RecentMenu = nullptr;
    QMenu* RunMenu = nullptr;
    QMenu* HelpMenu = nullptr;

    QAction* NewAction = nullptr;
    QAction* OpenAction = nullptr;
    QAction* SaveAction = nullptr;
    QAction* SaveAsAction = nullptr;
    QAction* QuitAction = nullptr;

    QAction* TranslateAction = nullptr;
    QAction* TranslateAndEmulateAction = nullptr;
    QAction* EmulateAction = nullptr;
    QAction* PauseAction = nullptr;
    QAction* StopAction = nullptr;
    QAction* StepAction = nullptr;
    QAction* NextProblemAction = nullptr;
    QAction* PreviousProblemAction = nullptr;

    QAction* ReferenceAction = nullptr;
    QAction* AboutAction = nullptr;

private:
    void CreateFileMenu(QWidget& window);
    void CreateRunMenu();
    void CreateHelpMenu(QWidget& window);
    // Lists the recent files afresh each time the submenu is about to show.
    void FillRecentMenu();

    TProgramDocument& document_;
};

// The About box's text: the version from the build and what Mirelo is.
QString AboutText();
