// Program file decoding under arbitrary bytes: the result is editor text or the clear
// refusal, never a crash. Accepted text has only "\n" breaks and no NUL, saving it and
// reading it back gives the same program, a valid UTF-8 file written with one line-break
// style comes back byte for byte, and any other file reads as Latin-1 with no byte lost.

#include "FuzzInput.h"
#include "files/ProgramFile.h"

#include <QByteArray>
#include <QUtf8StringView>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char* what, const QByteArray& bytes)
{
    std::fprintf(stderr, "%s: %s\n", what, bytes.toHex(' ').constData());
    std::abort();
}

// Whether every line break in the bytes is of the same kind ("\r\n", "\n" or a lone "\r").
bool OneBreakStyle(const QByteArray& bytes)
{
    int kinds = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            kinds |= 1;
        } else if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            kinds |= 2;
            ++i;
        } else if (bytes[i] == '\r') {
            kinds |= 4;
        }
    }
    return kinds == 0 || kinds == 1 || kinds == 2 || kinds == 4;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = AsText(data, size);
    const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    const TProgramRead read = DecodeProgram(bytes, QStringLiteral("fuzz.mir"));

    if (bytes.contains('\0') != !read.Program)
        Fail("refused other than exactly the files holding NUL", bytes);
    if (!read.Program) {
        if (!read.Error.startsWith(QStringLiteral("Could not open fuzz.mir: ")))
            Fail("refusal does not name the file", bytes);
        return 0;
    }
    if (!read.Error.isEmpty())
        Fail("accepted file with an error message", bytes);
    const TProgramText& program = *read.Program;
    if (program.Text.contains(u'\r') || program.Text.contains(QChar(0)))
        Fail("text holds a carriage return or a NUL", bytes);

    const QByteArray saved = EncodeProgram(program);
    const TProgramRead again = DecodeProgram(saved, QStringLiteral("fuzz.mir"));
    if (again.Program != read.Program)
        Fail("saving and reading back changed the program", bytes);
    if (QUtf8StringView(bytes).isValidUtf8()) {
        if (OneBreakStyle(bytes) && saved != bytes)
            Fail("a plain UTF-8 file did not save back byte for byte", bytes);
    } else if (program.ByteOrderMark ||
               program.Text.size() != bytes.size() - bytes.count(QByteArrayView("\r\n"))) {
        // Latin-1: one character per byte, a "\r\n" pair becoming one "\n"; nothing dropped.
        Fail("a file that is not UTF-8 did not read as Latin-1", bytes);
    }
    return 0;
}
