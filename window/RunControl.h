#pragma once
// What a student debugs a run with: breakpoints in the program editor and the listing pane
// (F9 or a click in the gutter), Run to Cursor, Step Back, and the pace. It turns the
// breakpoint lines into the addresses runs hold before, tells where a run held, and keeps
// Step Back usable only while the current run is paused.
//
// The program editor's breakpoints count for a run of the editor's translation only (the
// runs that show executing-line marks); the listing pane's count for every run.

#include <QList>
#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QSettings;
class TCodeEditor;
class TExecutionMarks;
class TProgramPages;
class TRunSession;
class TRunSpeedChoice;
class TRunStatusBar;
class TWindowCommands;

class TRunControl : public QObject {
    Q_OBJECT
public:
    struct TParts {
        TWindowCommands& Commands;
        TRunSession& Session;
        TProgramPages& Pages;
        TExecutionMarks& Marks;
        TRunStatusBar& Status;
        QSettings& Settings;
        // Starts a run of the listing pane, paused or not, without leaving the current page.
        std::function<void(bool paused)> StartRun;
    };

    // Every part must outlive this object.
    TRunControl(TParts parts, QObject* parent = nullptr);
    ~TRunControl() override;

    // A run is about to start: it takes the breakpoints as they are now.
    void RunStarting();

    // The addresses the current (or next) run holds before.
    std::vector<std::int64_t> BreakpointAddresses() const;

private:
    void ToggleBreakpoint();
    void RunToCursor();
    void StepBack();
    void HeldAtBreakpoint(std::int64_t address);
    // Hands the breakpoints' addresses to the session when they changed, or always for a run
    // about to start.
    void ApplyBreakpoints(bool always = false);
    void UpdateActions();

    // The editor the cursor commands act on: the one with the focus, else the page's.
    TCodeEditor& CursorEditor() const;
    // Whether program lines have addresses in the run's listing.
    bool ProgramBreakpointsApply() const;
    // Adds the address of every listing line translated from one of these program lines,
    // when program lines count for the run.
    void AddProgramLineAddresses(const QList<int>& programLines,
                                 std::vector<std::int64_t>& addresses) const;
    // The address of the line's first byte in the run's listing, or -1.
    std::int64_t AddressOfLine(const TCodeEditor& editor, int line) const;
    // The line (from 1) a student knows the address by: the program's or the listing's.
    int LineShownFor(std::int64_t address) const;

    TParts parts_;
    TCodeEditor& program_;
    TCodeEditor& listing_;
    std::unique_ptr<TRunSpeedChoice> speed_;
    std::vector<std::int64_t> applied_;
};
