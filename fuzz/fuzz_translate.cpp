// Any program text either translates into a listing of hexadecimal byte text or is refused
// with one of the translator's two errors; nothing else may come out of it.

#include "FuzzInput.h"
#include "InstructionTable.h"
#include "Translation.h"
#include "strutils2.h"

#include <cstdlib>
#include <cstdio>

namespace {

const TInstructionTable& Table()
{
    static const TInstructionTable table = [] {
        TInstructionTable t;
        FillInstructionTable(t);
        return t;
    }();
    return table;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

[[noreturn]] void Fail(const char* what, const std::string& line)
{
    std::fprintf(stderr, "%s: '%s'\n", what, line.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> program = SplitLines(AsText(data, size));
    std::vector<std::string> listing;
    try {
        listing = Translate(Table(), program);
    } catch (const EConvertError&) {
        return 0;
    } catch (const ERangeError&) {
        return 0;
    }
    // At most one listing line per program line, each made of whole bytes.
    if (listing.size() > program.size())
        Fail("more listing lines than program lines", std::to_string(listing.size()));
    for (const std::string& line : listing) {
        if (line.size() % 2 != 0)
            Fail("odd listing line", line);
        for (const char c : line)
            if (!IsHexDigit(c))
                Fail("listing line is not hexadecimal", line);
    }
    return 0;
}
