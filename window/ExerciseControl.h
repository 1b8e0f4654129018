#pragma once
// The exercise a student works on in the window: File → Open Exercise… (or an exercise file
// opened wherever a program is), the panel that shows it, File → New from Exercise, Run →
// Check and Run → Run Case (or a double-click on a case), and Help → Examples. The exercise
// stays while programs are opened and saved; another exercise replaces it.
//
// Check runs every case on the machine alone, away from the window's thread, and leaves the
// window's run and its views alone. A case run is a run in the window like Translate &
// Emulate's, at the chosen pace, whose In instructions take the case's input first.

#include "exercise/Exercise.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPlainTextEdit;
class TExerciseCheck;
class TExercisePanel;
class TInstructionTable;
class TMainMenu;
class TPanelHost;
struct TProgramCheck;
class TProgramDocument;
class TRunSession;
class TRunStatusBar;
class TWindowCommands;
struct TTranslation;

class TExerciseControl : public QObject {
    Q_OBJECT
public:
    struct TParts {
        TWindowCommands& Commands;
        TMainMenu& Menu;
        TPanelHost& Host;
        TProgramDocument& Document;
        TRunSession& Session;
        TRunStatusBar& Status;
        const TInstructionTable& Table;
        // The program editor, whose current text Check checks.
        const QPlainTextEdit& Program;
        // Shows a failed translation as Translate does.
        std::function<void(const TTranslation&)> ShowTranslationFailure;
        // Translates the program and starts a run of it whose In instructions take these
        // answers first.
        std::function<void(std::vector<std::string> input)> RunWithInput;
    };

    // Every part must outlive this object; the panel is the host's.
    explicit TExerciseControl(TParts parts, QObject* parent = nullptr);
    ~TExerciseControl() override;

    // Reads the exercise and shows it; a refused file leaves the one shown, and says why in
    // the error box.
    bool OpenExercise(const QString& path);
    void Check();
    // Runs the case at this index of the exercise shown.
    void RunCase(int index);
    // Puts a copy of the example program in the editor, as New does.
    void OpenExample(const QString& path);

    const std::optional<TExercise>& Exercise() const { return exercise_; }
    TExercisePanel& Panel() const { return *panel_; }
    // Whether a check is under way.
    bool Checking() const;

    // The folder Help → Examples lists: the installed one beside the program, else the
    // source tree's; tests name their own.
    QString ExampleFolder() const { return exampleFolder_; }
    void SetExampleFolder(const QString& folder) { exampleFolder_ = folder; }
    // The example programs in the folder, by file name.
    QStringList ExamplePrograms() const;

private:
    void ConnectCommands();
    void ChooseAndOpen();
    void NewFromExercise();
    void Checked(const TProgramCheck& check);
    void FillExamplesMenu();
    void UpdateActions();

    TParts parts_;
    TExercisePanel* panel_ = nullptr;
    std::unique_ptr<TExerciseCheck> check_;
    std::optional<TExercise> exercise_;
    QString exercisePath_;
    QString exampleFolder_;
    // The case whose input the latest case run was started with.
    QString caseRunName_;
};
