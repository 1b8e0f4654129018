#pragma once
// The window's commands, one QAction each. The action owns what the user sees of a command:
// its menu text, its keys and whether it can be used now. The menus and the button bar are
// built from these actions, so a button and its menu item never say different things; the
// window connects each action to what it does.
//
// The Run keys avoid the editors' own keys and Alt+Space, which many Linux window managers
// keep for their window menu: F5 is "Translate & Emulate".
//
// The register list's bases are three checkable actions of one exclusive group, each with its
// TRegisterBase as data; exactly one is checked, signed decimal until another is chosen.

#include <QObject>
#include <QString>

class QAction;
class QActionGroup;

class TWindowCommands : public QObject {
    Q_OBJECT
public:
    // The actions belong to `parent`, the window whose menus and buttons show them.
    explicit TWindowCommands(QObject* parent);

    // The menu text for a caption: a mnemonic on its first letter, and any "&" of the caption
    // shown as itself. A button shows the caption itself.
    static QString ActionText(const QString& caption);
    // Menu text that shows every "&" of text as itself instead of marking a mnemonic.
    static QString Literal(QString text);

    // The Pause command reads "Resume" while pressing it would resume the run, "Pause"
    // otherwise; its menu item and its button follow.
    void ShowPauseAs(bool resume);

    QAction* NewAction = nullptr;
    QAction* NewFromExerciseAction = nullptr;
    QAction* OpenAction = nullptr;
    QAction* OpenExerciseAction = nullptr;
    QAction* SaveAction = nullptr;
    QAction* SaveAsAction = nullptr;
    QAction* QuitAction = nullptr;

    QAction* TranslateAction = nullptr;
    QAction* TranslateAndEmulateAction = nullptr;
    QAction* EmulateAction = nullptr;
    QAction* PauseAction = nullptr;
    QAction* StopAction = nullptr;
    QAction* StepAction = nullptr;
    QAction* StepBackAction = nullptr;
    QAction* RunToCursorAction = nullptr;
    QAction* ToggleBreakpointAction = nullptr;
    // Run → Speed: one checkable action per TRunSpeedChoice::Speeds() entry, its index as data.
    QActionGroup* SpeedGroup = nullptr;
    QAction* NextProblemAction = nullptr;
    QAction* PreviousProblemAction = nullptr;
    // The exercise's cases: all of them checked without a run in the window, or one run in it.
    QAction* CheckAction = nullptr;
    QAction* RunCaseAction = nullptr;

    QActionGroup* RegisterBaseGroup = nullptr;
    QAction* SignedDecimalAction = nullptr;
    QAction* HexadecimalAction = nullptr;
    QAction* UnsignedDecimalAction = nullptr;

    QAction* ReferenceAction = nullptr;
    QAction* AboutAction = nullptr;
};
