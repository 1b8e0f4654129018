#include "editor/CodeEditor.h"

#include "editor/EditorGutter.h"
#include "editor/ListingAddresses.h"
#include "translator/ListingLine.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolTip>

#include <algorithm>

namespace {

int DigitsOf(int value, int base)
{
    int digits = 1;
    for (; value >= base; value /= base)
        ++digits;
    return digits;
}

} // namespace

TCodeEditor::TCodeEditor(QWidget* parent)
    : QPlainTextEdit(parent),
      gutter_(new TEditorGutter(this)),
      addresses_(new TListingAddresses(document(), this)),
      colours_(TEditorColours::From(palette())),
      breakpoints_(document())
{
    ConnectDocument();
    UpdateGutterWidth();
}

TCodeEditor::~TCodeEditor() = default;

void TCodeEditor::ConnectDocument()
{
    connect(document(), &QTextDocument::contentsChange, this, &TCodeEditor::TextChanged);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &TCodeEditor::UpdateGutterWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &TCodeEditor::UpdateGutterArea);
}

// ---- gutter --------------------------------------------------------------------------------

void TCodeEditor::SetGutterMode(TGutterMode mode)
{
    if (mode == mode_)
        return;
    mode_ = mode;
    UpdateGutterWidth();
    gutter_->update();
}

TCodeEditor::TGutterMode TCodeEditor::GutterMode() const
{
    return mode_;
}

int TCodeEditor::GutterDigits() const
{
    if (mode_ == TGutterMode::LineNumbers)
        return std::max(2, DigitsOf(blockCount(), 10));
    // No listing gives more bytes than one line holding all its characters (line breaks left
    // out) would, which bounds the widest address without reading the lines.
    const int characters = std::max(0, document()->characterCount() - blockCount());
    const int bound = static_cast<int>(ListingLineBytes(static_cast<std::size_t>(characters)));
    return std::max(2, DigitsOf(bound, 16));
}

int TCodeEditor::GutterWidth() const
{
    const QFontMetrics metrics = fontMetrics();
    int digitWidth = 0;
    for (const QChar digit : QStringLiteral("0123456789ABCDEF"))
        digitWidth = std::max(digitWidth, metrics.horizontalAdvance(digit));
    const int signWidth = metrics.height();
    const int padding = std::max(3, metrics.horizontalAdvance(QLatin1Char(' ')));
    return signWidth + GutterDigits() * digitWidth + padding;
}

QString TCodeEditor::GutterLabel(int line) const
{
    if (!ValidLine(line))
        return {};
    if (mode_ == TGutterMode::LineNumbers)
        return QString::number(line + 1);
    return QString::number(addresses_->StartOf(line), 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

int TCodeEditor::LineOfAddress(int address) const
{
    return addresses_->LineOfAddress(address);
}

int TCodeEditor::AddressOfLine(int line) const
{
    const QTextBlock block = document()->findBlockByNumber(line);
    if (!block.isValid() || TListingAddresses::BytesOf(block) == 0)
        return -1;
    return addresses_->StartOf(line);
}

void TCodeEditor::UpdateGutterWidth()
{
    if (documentChanging_) {
        RefreshAfterChange();
        return;
    }
    const int width = GutterWidth();
    if (width != gutterWidth_) {
        // Changing the margin lays the viewport out again: only when the width really changes.
        gutterWidth_ = width;
        setViewportMargins(width, 0, 0, 0);
    }
    const QRect area = contentsRect();
    gutter_->setGeometry(QRect(area.left(), area.top(), gutterWidth_, area.height()));
}

void TCodeEditor::UpdateGutterArea(const QRect& rect, int dy)
{
    if (dy != 0)
        gutter_->scroll(0, dy);
    else
        gutter_->update(0, rect.y(), gutter_->width(), rect.height());
    if (rect.contains(viewport()->rect()))
        UpdateGutterWidth();
}

int TCodeEditor::LineAtGutterY(int y) const
{
    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    while (block.isValid() && top <= y) {
        const qreal bottom = top + blockBoundingRect(block).height();
        if (block.isVisible() && y < bottom)
            return block.blockNumber();
        block = block.next();
        top = bottom;
    }
    return -1;
}

void TCodeEditor::PaintLineSign(QPainter& painter, int line, bool breakpoint,
                                const QRectF& area) const
{
    const qreal size = area.height() * 0.55;
    const QRectF box(area.center().x() - size / 2, area.center().y() - size / 2, size, size);
    if (breakpoint) {
        // Wider than every other sign, which goes on top of it when the line has one.
        const qreal radius = area.height() * 0.4;
        painter.setPen(Qt::NoPen);
        painter.setBrush(colours_.BreakpointSign);
        painter.drawEllipse(area.center(), radius, radius);
    }
    QPainterPath sign;
    QColor colour;
    if (line == executingLine_) {
        sign.moveTo(box.topLeft());
        sign.lineTo(box.right(), box.center().y());
        sign.lineTo(box.bottomLeft());
        colour = colours_.ExecutingSign;
    } else if (line == errorLine_) {
        sign.addEllipse(box);
        colour = colours_.ErrorSign;
    } else if (warnings_.contains(line)) {
        sign.moveTo(box.center().x(), box.top());
        sign.lineTo(box.bottomRight());
        sign.lineTo(box.bottomLeft());
        colour = colours_.WarningSign;
    } else {
        return;
    }
    sign.closeSubpath();
    if (breakpoint) {
        // A rim of the gutter's colour keeps the sign apart from the disc, the red error sign
        // above all.
        painter.strokePath(sign, QPen(colours_.GutterBackground, std::max(2.0, size / 5),
                                      Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    painter.fillPath(sign, colour);
}

void TCodeEditor::PaintGutter(QPaintEvent* event)
{
    QPainter painter(gutter_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(event->rect(), colours_.GutterBackground);
    const QFontMetrics metrics = fontMetrics();
    const int lineHeight = metrics.height();
    const int padding = std::max(3, metrics.horizontalAdvance(QLatin1Char(' '))) / 2;

    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    while (block.isValid() && top <= event->rect().bottom()) {
        const qreal bottom = top + blockBoundingRect(block).height();
        const int line = block.blockNumber();
        if (block.isVisible() && bottom >= event->rect().top()) {
            const QRectF whole(0, top, gutter_->width(), bottom - top);
            if (line == executingLine_)
                painter.fillRect(whole, colours_.ExecutingLine);
            else if (line == errorLine_)
                painter.fillRect(whole, colours_.ErrorLine);
            PaintLineSign(painter, line, breakpoints_.Has(line),
                          QRectF(0, top, lineHeight, lineHeight));
            painter.setPen(colours_.GutterText);
            painter.drawText(QRectF(lineHeight, top, gutter_->width() - lineHeight - padding,
                                    lineHeight),
                             Qt::AlignRight | Qt::AlignVCenter, GutterLabel(line));
        }
        block = block.next();
        top = bottom;
    }
}

void TCodeEditor::ShowGutterToolTip(QHelpEvent* event)
{
    const int line = LineAtGutterY(event->pos().y());
    QString text = MarkText(line);
    if (HasBreakpoint(line))
        text.prepend(text.isEmpty() ? QStringLiteral("Breakpoint")
                                    : QStringLiteral("Breakpoint\n"));
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return;
    }
    QToolTip::showText(event->globalPos(), text, gutter_);
}

void TCodeEditor::ClickGutter(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int line = LineAtGutterY(static_cast<int>(event->position().y()));
    if (line >= 0)
        ToggleBreakpoint(line);
    event->accept();
}

// ---- marks ---------------------------------------------------------------------------------

bool TCodeEditor::ValidLine(int line) const
{
    return line >= 0 && line < blockCount();
}

void TCodeEditor::SetErrorMark(int line, const QString& text)
{
    if (!ValidLine(line))
        return;
    errorLine_ = line;
    errorText_ = text;
    UpdateSelections();
    gutter_->update();
}

void TCodeEditor::AddWarningMark(int line, const QString& text)
{
    if (!ValidLine(line))
        return;
    warnings_[line].append(text);
    gutter_->update();
}

int TCodeEditor::ErrorLine() const
{
    return errorLine_;
}

QList<int> TCodeEditor::WarningLines() const
{
    return warnings_.keys();
}

QString TCodeEditor::MarkText(int line) const
{
    QStringList texts;
    if (line >= 0 && line == errorLine_)
        texts << errorText_;
    texts << warnings_.value(line);
    return texts.join(QLatin1Char('\n'));
}

void TCodeEditor::MoveCursorToLine(int line)
{
    if (!ValidLine(line))
        return;
    setTextCursor(QTextCursor(document()->findBlockByNumber(line)));
    ensureCursorVisible();
}

void TCodeEditor::BeginExecutionMarks()
{
    executionAllowed_ = true;
}

void TCodeEditor::SetExecutingLine(int line, bool reveal)
{
    if (!executionAllowed_)
        return;
    if (!ValidLine(line))
        line = -1;
    if (line != executingLine_) {
        executingLine_ = line;
        UpdateSelections();
    }
    if (!reveal || line < 0)
        return;
    // The scroll bar counts visual lines; scrolling it leaves the cursor where it is.
    QScrollBar* bar = verticalScrollBar();
    const QTextBlock block = document()->findBlockByNumber(line);
    const int first = block.firstLineNumber();
    const int last = first + std::max(1, block.lineCount());
    if (first < bar->value() || last > bar->value() + bar->pageStep())
        bar->setValue(first - bar->pageStep() / 3);
}

void TCodeEditor::ClearExecutingLine()
{
    if (executingLine_ < 0)
        return;
    executingLine_ = -1;
    UpdateSelections();
}

int TCodeEditor::ExecutingLine() const
{
    return executingLine_;
}

bool TCodeEditor::ExecutionMarksAllowed() const
{
    return executionAllowed_;
}

void TCodeEditor::StopExecutionMarks()
{
    executionAllowed_ = false;
    ClearExecutingLine();
}

void TCodeEditor::ClearMarks()
{
    errorLine_ = -1;
    errorText_.clear();
    warnings_.clear();
    executingLine_ = -1;
    UpdateSelections();
    gutter_->update();
}

// ---- breakpoints ---------------------------------------------------------------------------

bool TCodeEditor::CanHoldBreakpoint(int line) const
{
    if (!ValidLine(line))
        return false;
    const QTextBlock block = document()->findBlockByNumber(line);
    if (mode_ == TGutterMode::ByteAddresses)
        return TListingAddresses::BytesOf(block) > 0;
    return ProgramLineGivesBytes(block.text());
}

bool TCodeEditor::ToggleBreakpoint(int line)
{
    if (!ValidLine(line))
        return false;
    const bool add = !breakpoints_.Has(line);
    if (add && !CanHoldBreakpoint(line)) {
        emit BreakpointRefused(
            line,
            QStringLiteral("Line %1 gives no bytes, so it cannot hold a breakpoint").arg(line + 1));
        return false;
    }
    breakpoints_.Set(line, add);
    gutter_->update();
    emit BreakpointsChanged();
    return true;
}

bool TCodeEditor::ToggleBreakpointAtCursor()
{
    return ToggleBreakpoint(textCursor().blockNumber());
}

bool TCodeEditor::HasBreakpoint(int line) const
{
    return ValidLine(line) && breakpoints_.Has(line);
}

QList<int> TCodeEditor::BreakpointLines() const
{
    return breakpoints_.Lines();
}

void TCodeEditor::ClearBreakpoints()
{
    if (!breakpoints_.Clear())
        return;
    gutter_->update();
    emit BreakpointsChanged();
}

// ---- selections ----------------------------------------------------------------------------

QTextEdit::ExtraSelection TCodeEditor::LineSelection(int line, const QColor& background) const
{
    QTextEdit::ExtraSelection selection;
    selection.format.setBackground(background);
    selection.format.setProperty(QTextFormat::FullWidthSelection, true);
    // A cursor without a selection marks its visual line from edge to edge; in a wrapped
    // line that is the first one.
    selection.cursor = QTextCursor(document()->findBlockByNumber(line));
    return selection;
}

// Extra selections repaint only the lines they cover: no layout, no highlighting.
void TCodeEditor::UpdateSelections()
{
    if (documentChanging_) {
        RefreshAfterChange();
        return;
    }
    QList<QTextEdit::ExtraSelection> selections;
    if (ValidLine(errorLine_))
        selections << LineSelection(errorLine_, colours_.ErrorLine);
    if (ValidLine(executingLine_))
        selections << LineSelection(executingLine_, colours_.ExecutingLine);
    setExtraSelections(selections);
}

void TCodeEditor::TextChanged(int position, int removed, int added)
{
    // A change of formats alone leaves the lines as they were.
    if (removed == 0 && added == 0)
        return;
    // Breakpoints live on the blocks and move as state only; whether their lines changed is
    // told once the change is over.
    breakpoints_.FollowChange(position, removed, added);
    if (breakpoints_.MayHaveAny())
        RefreshAfterChange();
    // The document is still changing while it reports the change: a reset (New, Open, Restore)
    // reports its first block while its cursor list is empty, so a cursor made or dropped now
    // is lost to it and read after it is freed, and its layout still describes the old text.
    // Until the change is over, the marks change only as state; the selections that hold
    // cursors, and the gutter's margin that lays the view out again, follow afterwards.
    const QScopedValueRollback changing(documentChanging_, true);
    const bool hadMarks = errorLine_ >= 0 || !warnings_.isEmpty() || executingLine_ >= 0;
    const bool dropped = executionAllowed_;
    executionAllowed_ = false;
    if (hadMarks)
        ClearMarks();
    if (mode_ == TGutterMode::ByteAddresses) {
        // Every address below the change may move.
        RefreshAfterChange();
    }
    if (dropped)
        emit ExecutionMarksDropped();
}

void TCodeEditor::RefreshAfterChange()
{
    if (refreshPending_)
        return;
    refreshPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            refreshPending_ = false;
            UpdateSelections();
            UpdateGutterWidth();
            gutter_->update();
            if (breakpoints_.LinesChanged())
                emit BreakpointsChanged();
        },
        Qt::QueuedConnection);
}

// ---- events --------------------------------------------------------------------------------

void TCodeEditor::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    UpdateGutterWidth();
}

void TCodeEditor::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        colours_ = TEditorColours::From(palette());
        UpdateSelections();
        gutter_->update();
    } else if (event->type() == QEvent::FontChange) {
        UpdateGutterWidth();
        gutter_->update();
    }
}
