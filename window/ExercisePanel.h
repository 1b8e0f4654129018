#pragma once
// The exercise panel beside the pages: the exercise's title, its task rendered from Markdown,
// and a table of its cases (name, input, expected output, result). The student closes it
// with its own button and shows it again with View → Exercise while an exercise is open.
// Double-clicking a case asks for a run of the program with that case's input.

#include "exercise/CaseCheck.h"

#include <QDockWidget>
#include <QString>

class QLabel;
class QTableWidget;
class QTextBrowser;

class TExercisePanel : public QDockWidget {
    Q_OBJECT
public:
    enum TColumn { NameColumn, InputColumn, ExpectedColumn, ResultColumn, ColumnCount };

    explicit TExercisePanel(QWidget* parent = nullptr);

    // Shows the exercise with no results.
    void ShowExercise(const TExercise& exercise);
    // Every case's result is being worked out.
    void ShowChecking();
    // One result per case, in the exercise's order.
    void ShowResults(const TProgramCheck& check);

    // What a case's row says in a column.
    QString CellText(int row, TColumn column) const;

    QLabel* Title = nullptr;
    QTextBrowser* Text = nullptr;
    QTableWidget* Cases = nullptr;

signals:
    // The student double-clicked the case at this index.
    void CaseChosen(int index);

private:
    void SetResult(int row, const QString& text, const QColor& colour);
};
