#pragma once
// The window's status bar: on the left what the current run is doing or how it ended, on the
// right what the last "Translate" made of the program. The run's text is worked out afresh on
// every step and every change of the run's state, but set only when it differs, so a paced
// run repaints the bar no more than its text changes.

#include "session/RunStatusText.h"

#include <QStatusBar>

class QLabel;
class TRunSession;

class TRunStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TRunStatusBar(QWidget* parent = nullptr);

    // Follows the session's current run from now on; the session must outlive this bar.
    void Watch(const TRunSession& session);
    void ShowTranslation(qsizetype lines, qsizetype bytes, qsizetype warnings = 0);
    void ShowTranslationFailure(std::size_t line);
    // The translation shown is of a program no longer in the editor.
    void ClearTranslation();
    // The current run is paused at the breakpoint of this line (from 1), until it goes on,
    // is stepped or ends.
    void ShowHeldAtBreakpoint(int line);

    QString RunText() const;
    QString TranslationText() const;

    // The facts of the session's current run as the status shows them.
    static TRunFacts FactsOf(const TRunSession& session);

private:
    void Refresh();

    // Anything that moves the run on leaves the breakpoint behind.
    void RunMoved();

    const TRunSession* session_ = nullptr;
    int heldLine_ = 0;
    QLabel* run_ = nullptr;
    QLabel* translation_ = nullptr;
};
