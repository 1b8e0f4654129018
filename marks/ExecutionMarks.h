#pragma once
// The executing-line marks of the program editor and the listing pane. A run shows them only
// when it executes the listing of the editor's current text: both texts must be as the last
// successful translation left them when the run starts, and the first change of either
// text afterwards ends the marks for that run. The last mark stays after the run ends, so
// that a student sees where it stopped; the next run or translation clears it.
// While the run is paused the student follows it step by step, so the marked lines are
// scrolled into view; a running run only moves the marks and leaves the scrolling to the
// student.

#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

class TCodeEditor;

class TExecutionMarks : public QObject {
    Q_OBJECT
public:
    TExecutionMarks(TCodeEditor& program, TCodeEditor& listing, QObject* parent = nullptr);

    // After a successful translation, once the listing pane holds its listing: the program
    // line (from 1) of each listing line.
    void Translated(std::vector<std::size_t> programLines);
    // The listing pane lost its translation (another program was loaded): no marks until
    // the next one.
    void Forget();
    // A run starts from the listing pane's text.
    void RunStarted();
    // Whether the run started last shows marks (until either text changes).
    bool Showing() const;
    // Whether both texts are as the last successful translation left them: a run started now
    // would show marks.
    bool TranslationCurrent() const;
    // The program line (from 0) the listing line (from 0) was translated from; -1 without one.
    int ProgramLineOf(int listingLine) const;
    // The current run fetched the opcode at this address.
    void ShowAddress(std::int64_t address);
    // The current run was paused or resumed.
    void SetPaused(bool paused);

private:
    void Stop();

    TCodeEditor& program_;
    TCodeEditor& listing_;
    std::vector<std::size_t> programLines_;
    QString programText_;
    QString listingText_;
    bool translated_ = false;
    bool paused_ = false;
};
