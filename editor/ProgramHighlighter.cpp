#include "editor/ProgramHighlighter.h"

#include "editor/EditorColours.h"

#include <QEvent>
#include <QPlainTextEdit>

namespace {

std::size_t IndexOf(TSyntaxKind kind)
{
    return static_cast<std::size_t>(kind);
}

} // namespace

TProgramHighlighter::TProgramHighlighter(QPlainTextEdit* editor)
    : QSyntaxHighlighter(editor->document()), editor_(editor)
{
    FillInstructionTable(table_);
    UpdateFormats(editor->palette());
    editor->installEventFilter(this);
}

QTextCharFormat TProgramHighlighter::Format(TSyntaxKind kind) const
{
    return formats_[IndexOf(kind)];
}

void TProgramHighlighter::UpdateFormats(const QPalette& palette)
{
    const TEditorColours colours = TEditorColours::From(palette);
    const auto format = [this](TSyntaxKind kind, const QColor& colour, bool bold, bool italic) {
        QTextCharFormat& target = formats_[IndexOf(kind)];
        target = QTextCharFormat();
        target.setForeground(colour);
        if (bold)
            target.setFontWeight(QFont::Bold);
        target.setFontItalic(italic);
    };
    format(TSyntaxKind::Mnemonic, colours.Mnemonic, true, false);
    format(TSyntaxKind::Register, colours.Register, false, false);
    format(TSyntaxKind::Constant, colours.Constant, false, false);
    format(TSyntaxKind::Label, colours.Label, true, false);
    format(TSyntaxKind::Name, colours.Label, false, true);
    format(TSyntaxKind::Inert, colours.Inert, false, false);
    format(TSyntaxKind::InertMnemonic, colours.Inert, true, false);
    format(TSyntaxKind::Comment, colours.Comment, false, true);
}

void TProgramHighlighter::highlightBlock(const QString& text)
{
    for (const TSyntaxSpan& span : ProgramLineSyntax(text, table_))
        setFormat(span.Start, span.Length, formats_[IndexOf(span.Kind)]);
}

bool TProgramHighlighter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == editor_ && event->type() == QEvent::PaletteChange) {
        UpdateFormats(editor_->palette());
        rehighlight();
    }
    return QSyntaxHighlighter::eventFilter(watched, event);
}
