#include "common/TextPane.h"

#include <QPlainTextEdit>

QPlainTextEdit* NewTextPane(QWidget* parent, bool wrap, Qt::ScrollBarPolicy scrollBars)
{
    auto* editor = new QPlainTextEdit(parent);
    SetUpTextPane(editor, wrap, scrollBars);
    return editor;
}

void SetUpTextPane(QPlainTextEdit* editor, bool wrap, Qt::ScrollBarPolicy scrollBars)
{
    editor->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    editor->setHorizontalScrollBarPolicy(scrollBars);
    editor->setVerticalScrollBarPolicy(scrollBars);
}
