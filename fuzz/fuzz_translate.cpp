// Any program text either translates into a listing of hexadecimal byte text or is refused
// with one of the translator's two errors; nothing else may come out of it. Every line the
// translation reports (a failure's, a warning's, a listing line's origin) lies inside the
// program, and the byte map covers the listing exactly.

#include "FuzzInput.h"
#include "translator/InstructionTable.h"
#include "translator/strutils2.h"
#include "translator/Translation.h"

#include <string>

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

void CheckLine(const char* what, std::size_t line, std::size_t lines)
{
    if (line < 1 || line > lines)
        Fail(what, std::to_string(line) + " of " + std::to_string(lines));
}

// The failure is the exception Translate throws, with the same message.
void CheckFailure(const TTranslationFailure& failure, std::size_t lines)
{
    CheckLine("failure line outside the program", failure.Line, lines);
    try {
        std::rethrow_exception(failure.Error);
    } catch (const EConvertError& error) {
        if (failure.Message != error.what())
            Fail("failure message differs", failure.Message);
    } catch (const ERangeError& error) {
        if (failure.Message != error.what())
            Fail("failure message differs", failure.Message);
    } catch (...) {
        Fail("failure is neither error", failure.Message);
    }
}

void CheckListing(const TTranslation& translation, std::size_t lines)
{
    const std::vector<std::string>& listing = translation.Listing;
    // At most one listing line per program line, each made of whole bytes.
    if (listing.size() > lines)
        Fail("more listing lines than program lines", std::to_string(listing.size()));
    if (translation.ProgramLines.size() != listing.size())
        Fail("not one program line per listing line", std::to_string(listing.size()));
    std::size_t bytes = 0;
    for (std::size_t k = 0; k < listing.size(); ++k) {
        const std::string& line = listing[k];
        if (line.size() % 2 != 0)
            Fail("odd listing line", line);
        for (const char c : line)
            if (!IsHexDigit(c))
                Fail("listing line is not hexadecimal", line);
        CheckLine("listing line from outside the program", translation.ProgramLines[k], lines);
        if (k > 0 && translation.ProgramLines[k] <= translation.ProgramLines[k - 1])
            Fail("listing lines out of program order", line);
        bytes += line.size() / 2;
    }
    const std::vector<TByteOrigin> origins = translation.ByteOrigins();
    if (origins.size() != bytes)
        Fail("byte map does not cover the listing", std::to_string(origins.size()));
    for (const TByteOrigin& origin : origins) {
        if (origin.ListingLine < 1 || origin.ListingLine > listing.size()
            || origin.ProgramLine != translation.ProgramLines[origin.ListingLine - 1])
            Fail("byte map names another line", std::to_string(origin.ListingLine));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> program = SplitLines(AsText(data, size));
    const TTranslation translation = TranslateProgram(Table(), program);
    for (std::size_t k = 0; k < translation.Warnings.size(); ++k) {
        CheckLine("warning line outside the program", translation.Warnings[k].Line,
                  program.size());
        if (k > 0 && translation.Warnings[k].Line < translation.Warnings[k - 1].Line)
            Fail("warnings out of line order", translation.Warnings[k].Message);
    }
    if (translation.Failure) {
        CheckFailure(*translation.Failure, program.size());
        if (!translation.Listing.empty())
            Fail("listing despite a failure", translation.Listing.front());
        return 0;
    }
    CheckListing(translation, program.size());
    return 0;
}
