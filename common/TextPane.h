#pragma once
// The window's text panes share one layout: no word wrap with the given scroll bars, or word
// wrap without.

#include <Qt>

class QPlainTextEdit;
class QWidget;

QPlainTextEdit* NewTextPane(QWidget* parent, bool wrap, Qt::ScrollBarPolicy scrollBars);
// Lays out a pane made elsewhere as NewTextPane would have made it.
void SetUpTextPane(QPlainTextEdit* editor, bool wrap, Qt::ScrollBarPolicy scrollBars);
