#include "marks/ExecutionMarks.h"

#include "editor/CodeEditor.h"

#include <utility>

TExecutionMarks::TExecutionMarks(TCodeEditor& program, TCodeEditor& listing, QObject* parent)
    : QObject(parent), program_(program), listing_(listing)
{
    // Each editor drops its own mark on a change; the other's would then point into a text
    // that no longer matches it.
    connect(&program_, &TCodeEditor::ExecutionMarksDropped, this, &TExecutionMarks::Stop);
    connect(&listing_, &TCodeEditor::ExecutionMarksDropped, this, &TExecutionMarks::Stop);
}

void TExecutionMarks::Translated(std::vector<std::size_t> programLines)
{
    Stop();
    programLines_ = std::move(programLines);
    programText_ = program_.toPlainText();
    listingText_ = listing_.toPlainText();
    translated_ = true;
}

void TExecutionMarks::Forget()
{
    Stop();
    translated_ = false;
    programLines_.clear();
}

void TExecutionMarks::RunStarted()
{
    paused_ = false;
    if (TranslationCurrent()) {
        program_.ClearExecutingLine();
        listing_.ClearExecutingLine();
        program_.BeginExecutionMarks();
        listing_.BeginExecutionMarks();
    } else {
        Stop();
    }
}

bool TExecutionMarks::TranslationCurrent() const
{
    // Comparing the texts also accepts an edit that was undone: the lines match again.
    return translated_ && program_.toPlainText() == programText_ &&
           listing_.toPlainText() == listingText_;
}

int TExecutionMarks::ProgramLineOf(int listingLine) const
{
    if (listingLine < 0 || static_cast<std::size_t>(listingLine) >= programLines_.size())
        return -1;
    return static_cast<int>(programLines_[static_cast<std::size_t>(listingLine)]) - 1;
}

bool TExecutionMarks::Showing() const
{
    return program_.ExecutionMarksAllowed() && listing_.ExecutionMarksAllowed();
}

void TExecutionMarks::ShowAddress(std::int64_t address)
{
    if (!Showing() || address > INT32_MAX)
        return;
    // Walked back to its start, the run has executed nothing: no line is marked.
    const int line = address < 0 ? -1 : listing_.LineOfAddress(static_cast<int>(address));
    if (line < 0 || static_cast<std::size_t>(line) >= programLines_.size()) {
        program_.ClearExecutingLine();
        listing_.ClearExecutingLine();
        return;
    }
    listing_.SetExecutingLine(line, paused_);
    program_.SetExecutingLine(static_cast<int>(programLines_[static_cast<std::size_t>(line)]) - 1,
                              paused_);
}

void TExecutionMarks::SetPaused(bool paused)
{
    paused_ = paused;
    if (!paused || !Showing())
        return;
    listing_.SetExecutingLine(listing_.ExecutingLine(), true);
    program_.SetExecutingLine(program_.ExecutingLine(), true);
}

void TExecutionMarks::Stop()
{
    program_.StopExecutionMarks();
    listing_.StopExecutionMarks();
}
