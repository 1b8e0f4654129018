#pragma once
// A plain text editor with a gutter: the program editor shows line numbers, the listing pane
// the address of each line's first byte. Lines can carry marks: the line a translation error
// points at, lines with warnings, and the line whose instruction a run executes now. Lines that
// give bytes can carry a breakpoint, set and removed by a click in the gutter. Without marks
// and breakpoints it looks and behaves like a QPlainTextEdit apart from the gutter.
//
// Lines are counted from 0 here (block numbers); the gutter shows line numbers from 1.

#include "editor/Breakpoints.h"
#include "editor/EditorColours.h"

#include <QMap>
#include <QPlainTextEdit>

class QHelpEvent;
class QMouseEvent;
class TEditorGutter;
class TListingAddresses;

class TCodeEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    enum class TGutterMode {
        LineNumbers,    // 1, 2, 3, ...
        ByteAddresses,  // hexadecimal address of the line's first byte, two characters per byte
    };

    explicit TCodeEditor(QWidget* parent = nullptr);
    ~TCodeEditor() override;

    void SetGutterMode(TGutterMode mode);
    TGutterMode GutterMode() const;
    int GutterWidth() const;
    // What the gutter shows for this line: its number or its address.
    QString GutterLabel(int line) const;
    // In either mode: the line holding the byte at this address of the text read as a
    // listing, or -1 when the text is shorter.
    int LineOfAddress(int address) const;
    // In either mode: the address of the line's first byte of the text read as a listing, or
    // -1 when the line gives no byte.
    int AddressOfLine(int line) const;

    // Error and warning marks, cleared by the next change of the text.
    void SetErrorMark(int line, const QString& text);
    void AddWarningMark(int line, const QString& text);
    int ErrorLine() const;
    QList<int> WarningLines() const;
    // The error and warning texts of a line, one per line, as its gutter tooltip shows them.
    QString MarkText(int line) const;
    // Puts the cursor at the start of the line and scrolls it into view.
    void MoveCursorToLine(int line);

    // The executing-line mark of a run. BeginExecutionMarks allows it; a change of the text
    // removes the mark and refuses further ones until the next BeginExecutionMarks, so a
    // mark never points at a line that has changed since the run started. Setting the mark
    // touches neither the cursor nor the focus nor the text's layout; with reveal, the view
    // scrolls just enough to show the line.
    void BeginExecutionMarks();
    void SetExecutingLine(int line, bool reveal = false);
    void ClearExecutingLine();
    int ExecutingLine() const;
    bool ExecutionMarksAllowed() const;

    // Removes every mark.
    void ClearMarks();

    // Breakpoints: lines that carry one. They travel with their lines while the text is edited
    // (kept on the text blocks, so inserting or deleting lines above moves them; a line joined
    // into the one above loses its breakpoint), and go when the whole text is replaced;
    // ClearMarks leaves them alone.
    // Only a line that gives bytes can get one: in the program editor an instruction line or a
    // data line with at least one item, in the listing pane a line with at least one byte. A
    // breakpoint stays when its line is edited into one that gives none.
    bool CanHoldBreakpoint(int line) const;
    // Adds or removes the breakpoint of the line; true when it did. Adding to a line that cannot
    // hold one changes nothing, emits BreakpointRefused and returns false.
    bool ToggleBreakpoint(int line);
    bool ToggleBreakpointAtCursor(); // the cursor's line
    bool HasBreakpoint(int line) const;
    QList<int> BreakpointLines() const; // ascending
    void ClearBreakpoints();

    // For the gutter widget.
    void PaintGutter(QPaintEvent* event);
    void ShowGutterToolTip(QHelpEvent* event);
    void ClickGutter(QMouseEvent* event);

public slots:
    // Removes the executing mark and refuses further ones until BeginExecutionMarks.
    void StopExecutionMarks();

signals:
    // The text changed while executing marks were allowed: they are gone for this run.
    void ExecutionMarksDropped();
    // At once when ToggleBreakpoint adds or removes one or ClearBreakpoints removes any; after an
    // edit that moved or removed some (new text included), once control is back in the event
    // loop.
    void BreakpointsChanged();
    // ToggleBreakpoint would have added a breakpoint to a line that cannot hold one; why is a
    // sentence for the status bar.
    void BreakpointRefused(int line, const QString& why);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ConnectDocument();
    void TextChanged(int position, int removed, int added);
    void UpdateGutterWidth();
    void UpdateGutterArea(const QRect& rect, int dy);
    void UpdateSelections();
    // Brings the selections and the gutter up to date once control is back in the event loop,
    // after the change of the document under way has finished.
    void RefreshAfterChange();
    QTextEdit::ExtraSelection LineSelection(int line, const QColor& background) const;
    int GutterDigits() const;
    int LineAtGutterY(int y) const;
    void PaintLineSign(QPainter& painter, int line, bool breakpoint, const QRectF& area) const;
    bool ValidLine(int line) const;

    TEditorGutter* gutter_;
    TListingAddresses* addresses_;
    TGutterMode mode_ = TGutterMode::LineNumbers;
    TEditorColours colours_;
    int gutterWidth_ = -1;

    int errorLine_ = -1;
    QString errorText_;
    QMap<int, QStringList> warnings_;
    TBreakpoints breakpoints_;
    int executingLine_ = -1;
    bool executionAllowed_ = false;
    // Set while the document reports a change of its text; see TextChanged.
    bool documentChanging_ = false;
    bool refreshPending_ = false;
};
