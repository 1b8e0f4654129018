#include "controls/NumEdit.h"

#include "controls/Beep.h"
#include "translator/NumberText.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>
#include <limits>
#include <string>

namespace {

constexpr char32_t kBackspace = 8;
constexpr char32_t kLineFeed = 10;
constexpr char32_t kReturn = 13;
constexpr char32_t kEscape = 27;
constexpr char32_t kDelete = 127;

// The characters a key event types, as the field's character check sees them: Backspace,
// Enter and Escape are characters, Ctrl with a letter is a control character, and keys that
// only edit or move (Delete, arrows, Home, ...) type nothing.
std::u32string TypedCharacters(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Backspace:
        return {kBackspace};
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return {(event.modifiers() & Qt::ControlModifier) ? kLineFeed : kReturn};
    case Qt::Key_Escape:
        return {kEscape};
    case Qt::Key_Delete:
        return {};
    default:
        break;
    }
    if (event.modifiers() & Qt::ControlModifier) {
        if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
            return {static_cast<char32_t>(event.key() - Qt::Key_A + 1)};
        return {};
    }
    std::u32string typed;
    for (const char32_t ch : event.text().toUcs4())
        if (ch != kDelete)
            typed.push_back(ch);
    return typed;
}

// Recognises an action of QLineEdit's standard context menu: by its object name where Qt sets
// one, otherwise by the shortcut that Qt appends to its (translated) text.
bool IsStandardAction(const QAction& action, QKeySequence::StandardKey key, const char* name)
{
    if (action.objectName() == QLatin1String(name))
        return true;
    const QString shortcut = QKeySequence(key).toString(QKeySequence::NativeText);
    return !shortcut.isEmpty() && action.text().endsWith(QLatin1Char('\t') + shortcut);
}

QString FromCodePoints(const std::u32string& text)
{
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

TNumEdit::TNumEdit(QWidget* parent)
    : QLineEdit(parent)
{
    // Composed input and dropped text would bypass the character check, which sees one typed
    // character at a time, so both stay off.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(false);
    setText(QStringLiteral("0"));
}

std::int32_t TNumEdit::Value() const
{
    const QByteArray bytes = text().toUtf8();
    std::int32_t value = 0;
    if (!TryStrToInt(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), value))
        return minValue_;
    return value;
}

void TNumEdit::SetValue(std::int32_t value)
{
    setText(QString::number(Clamp(value)));
}

std::int32_t TNumEdit::Clamp(std::int32_t value) const
{
    if (minValue_ == maxValue_)
        return value;
    if (value < minValue_)
        return minValue_;
    if (value > maxValue_)
        return maxValue_;
    return value;
}

bool TNumEdit::CheckChar(char32_t ch)
{
    bool accepted = (ch >= U'0' && ch <= U'9') || (ch < 32 && ch != kReturn);
    if (isHex_ && ch >= U'a' && ch <= U'f')
        accepted = true;
    if (isFloat_) {
        const QList<uint> separator = QLocale().decimalPoint().toUcs4();
        // Only a single ASCII separator can pass: characters from 128 up never enter the field.
        if (separator.size() == 1 && separator.front() < 128 && ch == separator.front())
            accepted = true;
    }
    if (accepted && !editorEnabled_ && (ch >= 32 || ch == kBackspace))
        accepted = false;

    if (isSigned_ && ch == U'-') {
        QString t = text();
        int caret = cursorPosition();
        if (t.startsWith(u'-')) {
            t.remove(0, 1);
            caret = std::max(caret - 1, 0);
        } else {
            t.prepend(u'-');
            ++caret;
        }
        setText(t);
        setCursorPosition(caret);
    }
    return accepted;
}

void TNumEdit::Increase()
{
    StepBy(increment_);
}

void TNumEdit::Decrease()
{
    StepBy(-static_cast<std::int64_t>(increment_));
}

void TNumEdit::StepBy(std::int64_t delta)
{
    if (isReadOnly()) {
        SystemBeep();
        return;
    }
    // Saturate instead of wrapping: stepping past the largest number must not turn it negative.
    const std::int64_t sum = std::clamp<std::int64_t>(Value() + delta, std::numeric_limits<std::int32_t>::min(),
                                                      std::numeric_limits<std::int32_t>::max());
    SetValue(static_cast<std::int32_t>(sum));
}

void TNumEdit::PasteFromClipboard()
{
    PasteText(QGuiApplication::clipboard()->text());
}

void TNumEdit::PasteText(const QString& pasted)
{
    std::u32string accepted;
    for (const char32_t ch : pasted.toUcs4())
        if (CheckChar(ch)) // sign toggles act on the field as the minus signs are met
            accepted.push_back(ch);
    if (accepted.empty())
        return;

    const QString insert = FromCodePoints(accepted);
    QString t = text();
    int start = cursorPosition();
    if (hasSelectedText()) {
        start = selectionStart();
        t.remove(start, selectedText().size());
    }
    // A Qt line edit cannot hold more than maxLength characters, so the paste keeps only what fits.
    const qsizetype room = std::max<qsizetype>(0, maxLength() - t.size());
    const QString kept = insert.left(room);
    t.insert(start, kept);
    setText(t);
    setCursorPosition(start + static_cast<int>(kept.size()));
}

void TNumEdit::CutToClipboard()
{
    if (editorEnabled_ && !isReadOnly())
        cut();
}

bool TNumEdit::IsFieldKey(const QKeyEvent& event)
{
    const int key = event.key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

bool TNumEdit::event(QEvent* event)
{
    // Enter and Escape belong to the field: no window shortcut and no default button sees them.
    if (event->type() == QEvent::ShortcutOverride && IsFieldKey(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void TNumEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        PasteFromClipboard();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        CutToClipboard();
        event->accept();
        return;
    }

    const std::u32string typed = TypedCharacters(*event);
    if (typed.empty()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    std::u32string accepted;
    for (const char32_t ch : typed) {
        if (CheckChar(ch))
            accepted.push_back(ch);
        else
            SystemBeep();
    }
    if (IsFieldKey(*event)) {
        // An accepted Escape (or Ctrl+Enter) changes nothing in a one-line field.
        event->accept();
        return;
    }
    if (accepted.empty()) {
        event->accept();
        return;
    }
    if (accepted.size() == typed.size()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent filtered(event->type(), event->key(), event->modifiers(), FromCodePoints(accepted),
                       event->isAutoRepeat(), static_cast<quint16>(event->count()));
    QLineEdit::keyPressEvent(&filtered);
    event->accept();
}

void TNumEdit::focusInEvent(QFocusEvent* event)
{
    const Qt::FocusReason reason = event->reason();
    const bool returning = focusParked_ && (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason);
    focusParked_ = false;
    if (returning) {
        QLineEdit::focusInEvent(event);
        return;
    }
    const bool byLeftClick = reason == Qt::MouseFocusReason && (QGuiApplication::mouseButtons() & Qt::LeftButton);
    if (autoSelect_ && !byLeftClick)
        selectAll();
    // QLineEdit selects everything itself on Tab; pass the entry on under a neutral reason so
    // that AutoSelect alone decides.
    QFocusEvent entry(QEvent::FocusIn, reason == Qt::MouseFocusReason ? reason : Qt::OtherFocusReason);
    QLineEdit::focusInEvent(&entry);
}

void TNumEdit::focusOutEvent(QFocusEvent* event)
{
    const Qt::FocusReason reason = event->reason();
    QLineEdit::focusOutEvent(event);
    // A popup (the context menu) or another window taking over is not leaving the field.
    if (reason == Qt::PopupFocusReason || (reason == Qt::ActiveWindowFocusReason && window()->isVisible())) {
        focusParked_ = true;
        return;
    }
    const std::int32_t value = Value();
    if (Clamp(value) != value)
        SetValue(value);
}

void TNumEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction* action : menu->actions()) {
        if (IsStandardAction(*action, QKeySequence::Paste, "edit-paste")) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &TNumEdit::PasteFromClipboard);
            action->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
        } else if (IsStandardAction(*action, QKeySequence::Cut, "edit-cut")) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &TNumEdit::CutToClipboard);
            action->setEnabled(hasSelectedText() && editorEnabled_ && !isReadOnly());
        }
    }
    menu->popup(event->globalPos());
    event->accept();
}

void TNumEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The X11 middle-button paste would insert the selection unfiltered.
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        if (!isReadOnly()) {
            deselect();
            setCursorPosition(cursorPositionAt(event->position().toPoint()));
            PasteText(clipboard->text(QClipboard::Selection));
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}
