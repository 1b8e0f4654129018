#pragma once
// A plain text editor with a gutter: the program editor shows line numbers, the listing pane
// the address of each line's first byte. Lines can carry marks: the line a translation error
// points at, lines with warnings, and the line whose instruction a run executes now. Without
// marks it looks and behaves like a QPlainTextEdit apart from the gutter.
//
// Lines are counted from 0 here (block numbers); the gutter shows line numbers from 1.

#include "editor/EditorColours.h"

#include <QMap>
#include <QPlainTextEdit>

class QHelpEvent;
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

    // For the gutter widget.
    void PaintGutter(QPaintEvent* event);
    void ShowGutterToolTip(QHelpEvent* event);

public slots:
    // Removes the executing mark and refuses further ones until BeginExecutionMarks.
    void StopExecutionMarks();

signals:
    // The text changed while executing marks were allowed: they are gone for this run.
    void ExecutionMarksDropped();

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
    void PaintLineSign(QPainter& painter, int line, const QRectF& area) const;
    bool ValidLine(int line) const;

    TEditorGutter* gutter_;
    TListingAddresses* addresses_;
    TGutterMode mode_ = TGutterMode::LineNumbers;
    TEditorColours colours_;
    int gutterWidth_ = -1;

    int errorLine_ = -1;
    QString errorText_;
    QMap<int, QStringList> warnings_;
    int executingLine_ = -1;
    bool executionAllowed_ = false;
    // Set while the document reports a change of its text; see TextChanged.
    bool documentChanging_ = false;
    bool refreshPending_ = false;
};
