#include "editor/Breakpoints.h"

#include "translator/ProgramLine.h"

#include <QByteArray>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>

#include <string_view>

namespace {

// What a block carries when its line has a breakpoint. The document owns it and frees it with
// the block.
class TBreakpointMark : public QTextBlockUserData {};

bool Marked(const QTextBlock& block)
{
    return dynamic_cast<const TBreakpointMark*>(block.userData()) != nullptr;
}

} // namespace

TBreakpoints::TBreakpoints(QTextDocument* document) : document_(document) {}

bool TBreakpoints::Has(int line) const
{
    return Marked(document_->findBlockByNumber(line));
}

bool TBreakpoints::Set(int line, bool on)
{
    QTextBlock block = document_->findBlockByNumber(line);
    if (!block.isValid() || Marked(block) == on)
        return false;
    block.setUserData(on ? new TBreakpointMark : nullptr);
    known_ = Lines();
    return true;
}

QList<int> TBreakpoints::Lines() const
{
    QList<int> lines;
    for (QTextBlock block = document_->begin(); block.isValid(); block = block.next())
        if (Marked(block))
            lines << block.blockNumber();
    return lines;
}

bool TBreakpoints::Clear()
{
    for (QTextBlock block = document_->begin(); block.isValid(); block = block.next())
        if (Marked(block))
            block.setUserData(nullptr);
    // A replaced text may have dropped them already, unseen by LinesChanged so far.
    const bool had = !known_.isEmpty();
    known_.clear();
    return had;
}

void TBreakpoints::FollowChange(int position, int removed, int added)
{
    if (removed != 0 || added == 0 || !MayHaveAny())
        return;
    // The document keeps the block that was split at its old place, with the text before the
    // insertion point. When that was the start of the line, the line's own text now begins the
    // block where the inserted text ends.
    QTextBlock split = document_->findBlock(position);
    if (split.position() != position || !Marked(split))
        return;
    QTextBlock moved = document_->findBlock(position + added);
    if (moved == split || !moved.isValid())
        return;
    split.setUserData(nullptr);
    moved.setUserData(new TBreakpointMark);
}

bool TBreakpoints::LinesChanged()
{
    if (known_.isEmpty())
        return false;
    QList<int> lines = Lines();
    if (lines == known_)
        return false;
    known_ = std::move(lines);
    return true;
}

bool TBreakpoints::MayHaveAny() const
{
    return !known_.isEmpty();
}

bool ProgramLineGivesBytes(QStringView line)
{
    // Read as the translation reads the program text, which gets non-breaking spaces as blanks.
    for (const QStringView part : line.split(QChar::LineSeparator)) {
        const QByteArray text = part.toString().replace(QChar::Nbsp, QLatin1Char(' ')).toUtf8();
        const TProgramLine parts = ReadProgramLine(
            std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
        if (parts.Kind == TProgramLineKind::Instruction
            || (parts.Kind == TProgramLineKind::Data && !parts.Items.empty()))
            return true;
    }
    return false;
}
