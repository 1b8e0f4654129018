#pragma once
// Syntax colours for the program editor, line by line: mnemonics, register operands,
// constants, code labels and data names, dimmed text for what emits nothing, and comments. The
// colours follow the editor's palette, also when the theme changes.

#include "editor/ProgramLineSyntax.h"
#include "translator/InstructionTable.h"

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <array>

class QPlainTextEdit;

class TProgramHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    // Highlights the editor's document, with colours from the editor's palette.
    explicit TProgramHighlighter(QPlainTextEdit* editor);

    // The format text of this kind gets.
    QTextCharFormat Format(TSyntaxKind kind) const;

protected:
    void highlightBlock(const QString& text) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateFormats(const QPalette& palette);

    QPlainTextEdit* editor_;
    TInstructionTable table_;
    std::array<QTextCharFormat, kSyntaxKindCount> formats_;
};
