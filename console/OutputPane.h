#pragma once
// The output pane: the lines the running programs output, one "Value: N" per Out, below
// whatever the user typed or kept there. It stays an editable text (word wrap on, no scroll
// bars) and keeps its newest line in view as output arrives.
//
// Program output is not part of the edit history. Qt records every insertion into a document
// and has no way to add text unrecorded while keeping the earlier steps, so appending a line
// ends the user's undo history: Undo then undoes only what the user did after the latest
// output, and can never take output away or put old text back over it.
//
// Clear Output empties the pane as one edit the user can undo (until the next output arrives);
// Save Output As… writes the text to a file, UTF-8 and atomically, as programs are saved.
// Both actions belong to the pane; the Run menu shows the same two.

#include <QPlainTextEdit>
#include <QString>

class QAction;
class QContextMenuEvent;
class QMenu;

class TOutputPane : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TOutputPane(QWidget* parent = nullptr);

    // Appends one line of program output and brings it into view.
    void AppendLine(const QString& line);
    // Takes back the last `count` lines of program output (a run was stepped back), as
    // unrecorded as their appending; a pane with fewer lines is left empty.
    void RemoveLastLines(std::size_t count);
    void ClearOutput();
    // Asks for a file (a name without suffix gets ".txt") and saves to it; false when the
    // dialog was cancelled or the save failed.
    bool SaveOutputAs();
    // Without asking: saves the text to path, each line ending in a line break. A failure
    // goes to the error box and returns false.
    bool SaveTo(const QString& path);

    // The context menu: Qt's standard editing commands, then the two output commands. The
    // caller owns it.
    QMenu* CreateContextMenu();

    QAction* ClearAction = nullptr;
    QAction* SaveAsAction = nullptr;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void CreateActions();
    QString ChooseFile();
    void ScrollToNewest();

    // The file saved last, where the next Save Output As… starts.
    QString lastPath_;
};
