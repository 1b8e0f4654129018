#include "editor/TabTypesBlanks.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>

void TTabTypesBlanks::Install(QPlainTextEdit* editor)
{
    editor->installEventFilter(new TTabTypesBlanks(editor));
}

TTabTypesBlanks::TTabTypesBlanks(QPlainTextEdit* editor) : QObject(editor), editor_(editor) {}

int TTabTypesBlanks::BlanksAt(const QString& lineBeforeCursor)
{
    int column = 0;
    for (const QChar c : lineBeforeCursor)
        column = c == QLatin1Char('\t') ? (column / TabWidth + 1) * TabWidth : column + 1;
    return TabWidth - column % TabWidth;
}

bool TTabTypesBlanks::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || editor_->tabChangesFocus() || editor_->isReadOnly())
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Tab || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QObject::eventFilter(watched, event);
    TypeBlanks();
    return true;
}

void TTabTypesBlanks::TypeBlanks()
{
    // Counted from where a selection starts: typing replaces it, as with any character.
    const int start = editor_->textCursor().selectionStart();
    const QTextBlock line = editor_->document()->findBlock(start);
    const int blanks = BlanksAt(line.text().left(start - line.position()));
    editor_->insertPlainText(QString(blanks, QLatin1Char(' ')));
}
