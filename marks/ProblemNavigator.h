#pragma once
// Go to Next Problem and Go to Previous Problem: steps through the lines the last translation
// marked in the program editor (its error and its warnings) in line order from the cursor,
// wrapping around at either end. Each step shows the program editor with the cursor at the
// start of the line and the focus in it, and says the line's messages in the status bar, so
// that a keyboard user sees them without hovering the gutter and a screen reader reads them.

#include <QList>
#include <QObject>
#include <QString>

class QStatusBar;
class TCodeEditor;

class TProblemNavigator : public QObject {
    Q_OBJECT
public:
    // Both must outlive the navigator.
    TProblemNavigator(TCodeEditor& program, QStatusBar& status, QObject* parent = nullptr);

    void Next();
    void Previous();

    // The marked lines, each once, in line order (counted from 0).
    QList<int> ProblemLines() const;
    // What the status bar says of a problem: its line (counted from 1), its place among the
    // problems, and its messages on one line.
    static QString ProblemText(int line, qsizetype index, qsizetype count, const QString& marks);
    static QString NoProblemsText();

signals:
    // Before the cursor moves to a problem: whoever holds the editor's page shows it and gives
    // the editor the focus.
    void ProgramWanted();

private:
    // The index in `lines` to go to from the cursor's line, one way or the other.
    static qsizetype Step(const QList<int>& lines, int cursorLine, bool forward);
    void Go(bool forward);

    TCodeEditor& program_;
    QStatusBar& status_;
};
