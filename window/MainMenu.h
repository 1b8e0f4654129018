#pragma once
// The window's menu bar, built from the window's commands: File (New, New from Exercise,
// Open…, Open Exercise…, Open Recent, Save, Save As…, Quit), Run (the five commands of the
// button bar, going to the problems the last translation marked, Check and Run Case, Step,
// Step Back, Run to Cursor, Toggle Breakpoint, Speed, and the output pane's two commands), View
// (the panels; Register Base: the register lists' three bases) and Help (Instruction reference,
// Examples, About Mirelo). The commands' actions carry their texts and keys; the window
// connects them. Open Recent is the menu's own: it lists the document's recent files; whoever
// opens the examples fills Examples.

#include <QMenuBar>

class QAction;
class QMenu;
class TProgramDocument;
class TWindowCommands;

class TMainMenu : public QMenuBar {
    Q_OBJECT
public:
    // The document must outlive the menu.
    TMainMenu(const TWindowCommands& commands, TProgramDocument& document, QWidget& window);

    // Shows the output pane's Clear Output and Save Output As… at the end of the Run menu;
    // the pane owns them, and its context menu shows the same two.
    void AddOutputActions(QAction* clear, QAction* saveAs);
    // Shows a panel's own show/hide action at the top of the View menu, above Register Base
    // (View → Registers shows the register panel); the panel owns the action.
    void AddPanelAction(QAction* panel);

    QMenu* FileMenu = nullptr;
    QMenu* RecentMenu = nullptr;
    QMenu* RunMenu = nullptr;
    QMenu* SpeedMenu = nullptr;
    QMenu* ViewMenu = nullptr;
    QMenu* RegisterBaseMenu = nullptr;
    QMenu* HelpMenu = nullptr;
    QMenu* ExamplesMenu = nullptr;

private:
    void CreateFileMenu(const TWindowCommands& commands);
    void CreateRunMenu(const TWindowCommands& commands);
    void CreateViewMenu(const TWindowCommands& commands);
    void CreateHelpMenu(const TWindowCommands& commands);
    // Lists the recent files afresh each time the submenu is about to show.
    void FillRecentMenu();

    TProgramDocument& document_;
};
