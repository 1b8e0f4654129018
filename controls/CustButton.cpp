#include "controls/CustButton.h"

#include "controls/ClassicFont.h"
#include "controls/CustButtonAccessible.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <iterator>
#include <tuple>
#include <vector>

namespace {

enum class TLine { None, Raised, Sunken };

TLine LineOf(TBevelCut cut)
{
    switch (cut) {
    case TBevelCut::bvLowered:
        return TLine::Sunken;
    case TBevelCut::bvRaised:
        return TLine::Raised;
    case TBevelCut::bvNone:
    case TBevelCut::bvSpace:
        break;
    }
    return TLine::None;
}

struct TLineColours {
    QColor topLeft;
    QColor bottomRight;
};

// Line colours as palette roles, above-and-left / below-and-right:
//   raised outer Midlight / Shadow, raised inner Light / Dark,
//   sunken outer Dark / Light,      sunken inner Shadow / Midlight.
// The soft kind exchanges the above-and-left colours of the outer and the inner line; the flat
// kind draws Dark only. Dark rather than Mid is the shade, because Dark is what qDrawShadePanel
// and qDrawWinButton shade with (QPalette derives it from Button).
TLineColours OuterLine(TLine line, TBevelKind kind, const QPalette& pal)
{
    if (kind == TBevelKind::bkFlat)
        return {pal.color(QPalette::Dark), pal.color(QPalette::Dark)};
    const bool soft = kind == TBevelKind::bkSoft;
    if (line == TLine::Raised)
        return {pal.color(soft ? QPalette::Light : QPalette::Midlight), pal.color(QPalette::Shadow)};
    return {pal.color(soft ? QPalette::Shadow : QPalette::Dark), pal.color(QPalette::Light)};
}

// An inner line without an outer one lies on the outermost pixel ring (PaintFrame insets each
// line by its index); the flat kind then gives it Dark so that the frame still shows.
TLineColours InnerLine(TLine line, bool alone, TBevelKind kind, const QPalette& pal)
{
    if (kind == TBevelKind::bkFlat) {
        const QColor c = pal.color(alone ? QPalette::Dark : QPalette::Button);
        return {c, c};
    }
    const bool soft = kind == TBevelKind::bkSoft;
    if (line == TLine::Raised)
        return {pal.color(soft ? QPalette::Midlight : QPalette::Light), pal.color(QPalette::Dark)};
    return {pal.color(soft ? QPalette::Dark : QPalette::Shadow), pal.color(QPalette::Midlight)};
}

// Top and left first, so that the bottom and right lines own the two mixed corners.
void DrawRectLines(QPainter& p, const QRect& r, const TLineColours& c, TBevelEdges edges)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    if (edges & beLeft)
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), c.topLeft);
    if (edges & beTop)
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), c.topLeft);
    if (edges & beRight)
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), c.bottomRight);
    if (edges & beBottom)
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c.bottomRight);
}

} // namespace

TCustButton::TCustButton(QWidget* parent)
    : QWidget(parent)
    , canvasFont_(ClassicFont())
{
    InstallCustButtonAccessibility();
    // Every pixel is painted by paintEvent, in the parent's colour where nothing else goes.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(75, 25);
    update();
}

QString TCustButton::Caption() const
{
    return caption_;
}

void TCustButton::SetCaption(const QString& caption)
{
    const bool changed = caption != caption_;
    caption_ = caption;
    UpdateAccelerator();
    update();
    if (changed) {
        // The caption is the accessible name: a screen reader hears "Pause" become "Resume".
        QAccessibleEvent nameChanged(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&nameChanged);
    }
}

bool TCustButton::Down() const
{
    return isDown_;
}

void TCustButton::SetDown(bool down)
{
    ChangeState(down);
}

template <typename T>
void TCustButton::SetUpBevel(T TBevelSet::*field, T value)
{
    up_.*field = value;
    if (frame_.*field == value)
        return;
    frame_.*field = value;
    update();
}

void TCustButton::SetUpBevelInner(TBevelCut cut)
{
    SetUpBevel(&TBevelSet::inner, cut);
}

void TCustButton::SetUpBevelOuter(TBevelCut cut)
{
    SetUpBevel(&TBevelSet::outer, cut);
}

void TCustButton::SetUpBevelKind(TBevelKind kind)
{
    SetUpBevel(&TBevelSet::kind, kind);
}

void TCustButton::SetUpBevelEdges(TBevelEdges edges)
{
    SetUpBevel(&TBevelSet::edges, edges & beAllEdges);
}

void TCustButton::SetDownBevelInner(TBevelCut cut)
{
    down_.inner = cut;
}

void TCustButton::SetDownBevelOuter(TBevelCut cut)
{
    down_.outer = cut;
}

void TCustButton::SetDownBevelKind(TBevelKind kind)
{
    down_.kind = kind;
}

void TCustButton::SetDownBevelEdges(TBevelEdges edges)
{
    down_.edges = edges & beAllEdges;
}

void TCustButton::SetBevelWidth(int width)
{
    width = std::max(width, 1);
    if (width == bevelWidth_)
        return;
    bevelWidth_ = width;
    update();
}

void TCustButton::SetBorderWidth(int width)
{
    width = std::max(width, 0);
    if (width == borderWidth_)
        return;
    borderWidth_ = width;
    update();
}

int TCustButton::FrameThickness() const
{
    int t = 0;
    if (frame_.inner != TBevelCut::bvNone)
        t += bevelWidth_;
    if (frame_.outer != TBevelCut::bvNone)
        t += bevelWidth_;
    return t;
}

QRect TCustButton::ClientRect() const
{
    int left = 0;
    int top = 0;
    int right = width();
    int bottom = height();
    if (frame_.kind != TBevelKind::bkNone) {
        const int t = FrameThickness();
        left += (frame_.edges & beLeft) ? t : 0;
        top += (frame_.edges & beTop) ? t : 0;
        right -= (frame_.edges & beRight) ? t : 0;
        bottom -= (frame_.edges & beBottom) ? t : 0;
    }
    left += borderWidth_;
    top += borderWidth_;
    right = std::max(left, right - borderWidth_);
    bottom = std::max(top, bottom - borderWidth_);
    return QRect(left, top, right - left, bottom - top);
}

QSize TCustButton::sizeHint() const
{
    return QSize(75, 25);
}

QChar TCustButton::AcceleratorOf(const QString& caption)
{
    QChar accelerator;
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        ++i; // a doubled "&" stands for itself; any other character after "&" is marked
        if (caption[i] != u'&')
            accelerator = caption[i];
    }
    return accelerator;
}

QKeySequence TCustButton::AcceleratorKey() const
{
    const QChar accelerator = AcceleratorOf(caption_);
    if (accelerator.isNull())
        return {};
    // Qt's key codes for Latin-1 characters are their upper-case code points, which also makes
    // the comparison independent of letter case.
    const auto key = static_cast<Qt::Key>(accelerator.toUpper().unicode());
    return QKeySequence(QKeyCombination(Qt::AltModifier, key));
}

void TCustButton::UpdateAccelerator()
{
    for (int& id : acceleratorIds_) {
        if (id != 0)
            releaseShortcut(id);
        id = 0;
    }
    const QKeySequence alt = AcceleratorKey();
    if (alt.isEmpty())
        return;
    // The button matches the key, not the character it types: Shift and Ctrl change the
    // character but not the key, so Alt+Shift+X and Alt+Ctrl+X click as Alt+X does.
    const Qt::Key key = alt[0].key();
    const Qt::KeyboardModifiers extras[] = {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier,
                                            Qt::ShiftModifier | Qt::ControlModifier};
    static_assert(std::size(extras) == std::tuple_size_v<decltype(acceleratorIds_)>);
    for (std::size_t i = 0; i < acceleratorIds_.size(); ++i) {
        const QKeySequence sequence(QKeyCombination(Qt::AltModifier | extras[i], key));
        acceleratorIds_[i] = grabShortcut(sequence, Qt::WindowShortcut);
    }
}

bool TCustButton::IsAcceleratorShortcut(int shortcutId) const
{
    return shortcutId != 0
        && std::find(acceleratorIds_.begin(), acceleratorIds_.end(), shortcutId) != acceleratorIds_.end();
}

void TCustButton::ChangeState(bool down)
{
    const bool pressedChanged = down != isDown_;
    isDown_ = down;
    const TBevelSet& set = down ? down_ : up_;
    // Only a real frame change repaints, so with identical sets the caption keeps its place.
    if (frame_ != set) {
        frame_ = set;
        update();
    }
    if (pressedChanged) {
        QAccessible::State pressed;
        pressed.pressed = true;
        QAccessibleStateChangeEvent stateChanged(this, pressed);
        QAccessible::updateAccessibility(&stateChanged);
    }
}

void TCustButton::Click()
{
    emit OnClick();
}

void TCustButton::ClickAsMouse()
{
    if (!CanFocus())
        return;
    const bool wasDown = isDown_;
    QPointer<TCustButton> self(this);
    ChangeState(true);
    Click();
    if (self)
        ChangeState(wasDown);
}

bool TCustButton::CanFocus() const
{
    // isVisible and isEnabled already account for every ancestor up to the window.
    return isVisible() && isEnabled();
}

bool TCustButton::TakeFocusForPress()
{
    if (hasFocus())
        return true;
    setFocus(Qt::MouseFocusReason);
    // In a window that is not active yet, the button still becomes the window's focus child.
    return hasFocus() || window()->focusWidget() == this;
}

void TCustButton::StartPress(bool clickCandidate)
{
    clickCandidate_ = clickCandidate;
    pressActive_ = true;
    pointerInside_ = true;
    ChangeState(true);
    repress_ = true;
}

void TCustButton::SetPointerInside(bool inside)
{
    if (inside == pointerInside_)
        return;
    pointerInside_ = inside;
    if (inside)
        PointerEntered();
    else
        PointerLeft();
}

void TCustButton::PointerLeft()
{
    if (!isDown_)
        return;
    ChangeState(false);
    repress_ = true;
}

void TCustButton::PointerEntered()
{
    if (!repress_)
        return;
    repress_ = false;
    ChangeState(true);
}

bool TCustButton::IsDialogKey(const QKeyEvent& event)
{
    const int key = event.key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape)
        return false;
    return (event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
}

bool TCustButton::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // Enter and Escape belong to the focused button, ahead of any window shortcut.
        if (IsDialogKey(*static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
    } else if (event->type() == QEvent::Shortcut) {
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (IsAcceleratorShortcut(shortcut->shortcutId())) {
            if (CanFocus())
                Click();
            return true;
        }
    }
    return QWidget::event(event);
}

void TCustButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintFrame(painter);
    PaintCaption(painter);
    if (hasFocus())
        PaintFocusRect(painter);
}

void TCustButton::PaintFrame(QPainter& painter) const
{
    const QPalette& pal = palette();
    painter.fillRect(rect(), pal.color(backgroundRole()));
    if (frame_.kind == TBevelKind::bkNone)
        return;

    const int t = FrameThickness();
    QRect r = ClientRect().adjusted(-borderWidth_, -borderWidth_, borderWidth_, borderWidth_);
    r.adjust((frame_.edges & beLeft) ? -t : 0, (frame_.edges & beTop) ? -t : 0,
             (frame_.edges & beRight) ? t : 0, (frame_.edges & beBottom) ? t : 0);

    const TLine outer = LineOf(frame_.outer);
    const TLine inner = LineOf(frame_.inner);
    std::vector<TLineColours> lines; // outermost first
    if (outer != TLine::None)
        lines.push_back(OuterLine(outer, frame_.kind, pal));
    if (inner != TLine::None)
        lines.push_back(InnerLine(inner, outer == TLine::None, frame_.kind, pal));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int inset = static_cast<int>(i);
        DrawRectLines(painter, r.adjusted(inset, inset, -inset, -inset), lines[i], frame_.edges);
    }
}

void TCustButton::PaintCaption(QPainter& painter) const
{
    const QRect client = ClientRect();
    if (client.isEmpty() || caption_.isEmpty())
        return;
    const QColor face = palette().color(backgroundRole());
    const QFontMetrics metrics(canvasFont_);
    const int d = isDown_ ? 1 : 0;
    const int x = client.left() + client.width() / 2 - metrics.horizontalAdvance(caption_) / 2 + d;
    const int y = client.top() + client.height() / 2 - metrics.height() / 2 + d;

    painter.save();
    painter.setClipRect(client);
    painter.setFont(canvasFont_);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(face);
    // drawText at a point takes the caption literally: "&" is a character, not an underline.
    painter.drawText(QPoint(x, y + metrics.ascent()), caption_);
    painter.restore();
}

void TCustButton::PaintFocusRect(QPainter& painter) const
{
    const QRect f = ClientRect().adjusted(1, 1, -1, -1);
    if (f.width() <= 0 || f.height() <= 0)
        return;
    // Every other pixel is inverted, each exactly once, so corners are not inverted back.
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const auto invert = [&painter](int x, int y) {
        if ((x + y) % 2 == 0)
            painter.fillRect(QRect(x, y, 1, 1), Qt::white);
    };
    for (int x = f.left(); x <= f.right(); ++x) {
        invert(x, f.top());
        if (f.bottom() != f.top())
            invert(x, f.bottom());
    }
    for (int y = f.top() + 1; y < f.bottom(); ++y) {
        invert(f.left(), y);
        if (f.right() != f.left())
            invert(f.right(), y);
    }
    painter.restore();
}

void TCustButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (!TakeFocusForPress())
        return;
    StartPress(true);
}

void TCustButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    if (!TakeFocusForPress())
        return;
    QPointer<TCustButton> self(this);
    emit OnDblClick();
    if (self)
        StartPress(false);
}

void TCustButton::mouseMoveEvent(QMouseEvent* event)
{
    // The pressed button keeps the mouse grab; following the pointer here makes the drag-off and
    // drag-back rules independent of how the platform reports enter and leave during a grab.
    if (pressActive_ && (event->buttons() & Qt::LeftButton))
        SetPointerInside(rect().contains(event->position().toPoint()));
    QWidget::mouseMoveEvent(event);
}

void TCustButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool click = clickCandidate_ && ClientRect().contains(event->position().toPoint());
    pressActive_ = false;
    clickCandidate_ = false;
    if (click) {
        QPointer<TCustButton> self(this);
        Click(); // still in the down look while the handler runs
        if (!self)
            return;
    }
    ChangeState(false);
    repress_ = false;
}

void TCustButton::enterEvent(QEnterEvent* event)
{
    SetPointerInside(true);
    QWidget::enterEvent(event);
}

void TCustButton::leaveEvent(QEvent* event)
{
    SetPointerInside(false);
    QWidget::leaveEvent(event);
}

void TCustButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !(event->modifiers() & (Qt::AltModifier | Qt::MetaModifier))) {
        // A repeat of a press that went to another control before the focus came here does
        // not arm the button; its first press does.
        if (!event->isAutoRepeat())
            spaceArmed_ = true;
        if (spaceArmed_)
            ChangeState(true);
        event->accept();
        return;
    }
    if (IsDialogKey(*event) && CanFocus()) {
        // Consumed, so a dialog around the button neither closes nor presses its default button.
        event->accept();
        Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TCustButton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat())
        return;
    // A release whose press this button never saw (it went to another control, or came
    // with Alt) does not click, even while a held mouse button shows the down look.
    const bool armed = spaceArmed_;
    spaceArmed_ = false;
    if (!armed || !isDown_)
        return;
    ChangeState(false);
    Click();
}

void TCustButton::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void TCustButton::focusOutEvent(QFocusEvent* event)
{
    spaceArmed_ = false; // the release will go to the control that has the focus now
    if (isDown_)
        ChangeState(false);
    update();
    QWidget::focusOutEvent(event);
}
