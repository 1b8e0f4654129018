#include "editor/TabLeavesEditor.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>

void TTabLeavesEditor::Install(QPlainTextEdit* editor)
{
    editor->installEventFilter(new TTabLeavesEditor(editor));
}

TTabLeavesEditor::TTabLeavesEditor(QPlainTextEdit* editor) : QObject(editor), editor_(editor) {}

bool TTabLeavesEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
    if (!tab || !(key->modifiers() & Qt::ControlModifier) || editor_->tabChangesFocus())
        return QObject::eventFilter(watched, event);
    // The same key without Ctrl, to an editor that lets Tab move the focus for this one
    // press: Qt's own focus chain chooses the next control.
    QKeyEvent plain(QEvent::KeyPress, key->key(), key->modifiers() & ~Qt::ControlModifier);
    editor_->setTabChangesFocus(true);
    QCoreApplication::sendEvent(editor_, &plain);
    editor_->setTabChangesFocus(false);
    return true;
}
