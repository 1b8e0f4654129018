#include "translator/ProgramLine.h"

#include "translator/strutils2.h"

namespace {

constexpr char kCommentMark = ';';

// As SplitText, but views into the text.
std::vector<std::string_view> SplitAtCommas(std::string_view text)
{
    std::vector<std::string_view> items;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != ',')
            continue;
        if (i > start)
            items.push_back(text.substr(start, i - start));
        start = i + 1;
    }
    return items;
}

TProgramLineKind KindOf(std::string_view mnemonic)
{
    if (mnemonic.empty())
        return TProgramLineKind::Blank;
    if (mnemonic.front() == ':')
        return TProgramLineKind::Label;
    if (SameIgnoringAsciiCase(mnemonic, "dd"))
        return TProgramLineKind::Data;
    return TProgramLineKind::Instruction;
}

} // namespace

TProgramLine ReadProgramLine(std::string_view line)
{
    TProgramLine parts;
    const std::string_view trimmed = TrimControls(line);
    if (!trimmed.empty() && trimmed.front() == kCommentMark) {
        parts.Kind = TProgramLineKind::Comment;
        return parts;
    }
    const std::size_t space = trimmed.find(' ');
    if (space == std::string_view::npos) {
        parts.Mnemonic = trimmed;
    } else {
        parts.Mnemonic = TrimControls(trimmed.substr(0, space));
        parts.OperandText = TrimControls(trimmed.substr(space + 1));
    }
    parts.Kind = KindOf(parts.Mnemonic);
    if (parts.Kind == TProgramLineKind::Data || parts.Kind == TProgramLineKind::Instruction)
        parts.Items = SplitAtCommas(parts.OperandText);
    return parts;
}

std::vector<std::string_view> InstructionOperands(const TProgramLine& line)
{
    if (line.Items.size() == 1)
        return {line.OperandText};
    if (line.Items.size() == 2)
        return line.Items;
    return {};
}

bool IsDataValue(std::string_view item)
{
    return !item.empty() && item.front() >= '0' && item.front() <= '9';
}
