#include "window/RunControl.h"

#include "editor/CodeEditor.h"
#include "marks/ExecutionMarks.h"
#include "session/RunSession.h"
#include "window/ProgramPages.h"
#include "window/RunSpeedChoice.h"
#include "window/RunStatusBar.h"
#include "window/WindowCommands.h"

#include <QAction>

#include <algorithm>

namespace {

// How long a status message about a command stays before the run's own text comes back.
constexpr int MessageMs = 5000;

} // namespace

TRunControl::TRunControl(TParts parts, QObject* parent)
    : QObject(parent), parts_(std::move(parts)), program_(*parts_.Pages.Memo1),
      listing_(*parts_.Pages.Memo2)
{
    const TWindowCommands& commands = parts_.Commands;
    TRunSession& session = parts_.Session;
    speed_ = std::make_unique<TRunSpeedChoice>(*commands.SpeedGroup, parts_.Settings, session);
    connect(commands.ToggleBreakpointAction, &QAction::triggered, this,
            &TRunControl::ToggleBreakpoint);
    connect(commands.RunToCursorAction, &QAction::triggered, this, &TRunControl::RunToCursor);
    connect(commands.StepBackAction, &QAction::triggered, this, &TRunControl::StepBack);

    for (TCodeEditor* editor : {&program_, &listing_}) {
        const auto apply = [this] { ApplyBreakpoints(); };
        connect(editor, &TCodeEditor::BreakpointsChanged, this, apply);
        // An edit may move a listing line's address, or end the program's translation.
        connect(editor, &QPlainTextEdit::textChanged, this, apply);
        connect(editor, &TCodeEditor::BreakpointRefused, this, [this](int, const QString& why) {
            parts_.Status.showMessage(why, MessageMs);
        });
    }

    connect(&session, &TRunSession::HeldAtBreakpoint, this, &TRunControl::HeldAtBreakpoint);
    connect(&session, &TRunSession::ReplayedInput, this, [this](const QString& text) {
        parts_.Status.showMessage(QStringLiteral("Used the answer given before: %1").arg(text),
                                  MessageMs);
    });
    connect(&session, &TRunSession::NoEarlierStep, this, [this] {
        parts_.Status.showMessage(QStringLiteral("No earlier step kept"), MessageMs);
    });
    connect(&session, &TRunSession::RunStarted, this, &TRunControl::UpdateActions);
    connect(&session, &TRunSession::RunEnded, this, &TRunControl::UpdateActions);
    connect(&session, &TRunSession::PauseChanged, this, &TRunControl::UpdateActions);
    UpdateActions();
}

TRunControl::~TRunControl() = default;

void TRunControl::RunStarting()
{
    ApplyBreakpoints(true);
}

TCodeEditor& TRunControl::CursorEditor() const
{
    if (listing_.hasFocus())
        return listing_;
    if (program_.hasFocus())
        return program_;
    return parts_.Pages.currentIndex() == TProgramPages::PageMachinecode ? listing_ : program_;
}

bool TRunControl::ProgramBreakpointsApply() const
{
    return parts_.Session.Going() ? parts_.Marks.Showing() : parts_.Marks.TranslationCurrent();
}

void TRunControl::AddProgramLineAddresses(const QList<int>& programLines,
                                          std::vector<std::int64_t>& addresses) const
{
    if (programLines.isEmpty() || !ProgramBreakpointsApply())
        return;
    const int listingLines = listing_.document()->blockCount();
    for (int at = 0; at < listingLines; ++at) {
        if (!programLines.contains(parts_.Marks.ProgramLineOf(at)))
            continue;
        if (const int address = listing_.AddressOfLine(at); address >= 0)
            addresses.push_back(address);
    }
}

std::int64_t TRunControl::AddressOfLine(const TCodeEditor& editor, int line) const
{
    if (&editor == &listing_)
        return listing_.AddressOfLine(line);
    std::vector<std::int64_t> addresses;
    AddProgramLineAddresses({line}, addresses);
    return addresses.empty() ? -1 : addresses.front();
}

std::vector<std::int64_t> TRunControl::BreakpointAddresses() const
{
    std::vector<std::int64_t> addresses;
    for (const int line : listing_.BreakpointLines())
        if (const int address = listing_.AddressOfLine(line); address >= 0)
            addresses.push_back(address);
    AddProgramLineAddresses(program_.BreakpointLines(), addresses);
    std::sort(addresses.begin(), addresses.end());
    addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
    return addresses;
}

void TRunControl::ApplyBreakpoints(bool always)
{
    // Most edits change no address: a full-speed run need not hear of every keystroke.
    std::vector<std::int64_t> addresses = BreakpointAddresses();
    if (!always && addresses == applied_)
        return;
    applied_ = addresses;
    parts_.Session.SetBreakpoints(std::move(addresses));
}

void TRunControl::ToggleBreakpoint()
{
    CursorEditor().ToggleBreakpointAtCursor();
}

void TRunControl::RunToCursor()
{
    TCodeEditor& editor = CursorEditor();
    const int line = editor.textCursor().blockNumber();
    if (!editor.CanHoldBreakpoint(line)) {
        parts_.Status.showMessage(
            QStringLiteral("Line %1 gives no bytes, so the run cannot stop there").arg(line + 1),
            MessageMs);
        return;
    }
    const std::int64_t address = AddressOfLine(editor, line);
    if (address < 0) {
        parts_.Status.showMessage(
            QStringLiteral("Line %1 is not in the translation the run uses").arg(line + 1),
            MessageMs);
        return;
    }
    TRunSession& session = parts_.Session;
    session.SetRunTarget(address);
    if (!session.Going())
        parts_.StartRun(false);
    else if (session.Paused())
        parts_.Commands.PauseAction->trigger(); // the one way a run is resumed
}

void TRunControl::StepBack()
{
    parts_.Session.StepBack();
}

void TRunControl::HeldAtBreakpoint(std::int64_t address)
{
    parts_.Commands.ShowPauseAs(true);
    parts_.Status.ShowHeldAtBreakpoint(LineShownFor(address));
}

int TRunControl::LineShownFor(std::int64_t address) const
{
    if (address < 0 || address > INT32_MAX)
        return 0;
    const int listingLine = listing_.LineOfAddress(static_cast<int>(address));
    if (parts_.Marks.Showing())
        if (const int line = parts_.Marks.ProgramLineOf(listingLine); line >= 0)
            return line + 1;
    return listingLine + 1;
}

void TRunControl::UpdateActions()
{
    const TRunSession& session = parts_.Session;
    parts_.Commands.StepBackAction->setEnabled(session.Going() && session.Paused());
}
