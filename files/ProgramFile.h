#pragma once
// Program files on disk: plain text, conventionally "*.mir". Reading turns any bytes a text
// editor would show into the program editor's text and remembers how the file wrote its line
// breaks; saving writes UTF-8 in that same style, atomically, so a failed save never harms
// the file that was there.
//
// Decoding rules:
// - Valid UTF-8 reads as UTF-8; anything else reads as Latin-1, which maps every byte to a
//   character, so no file is refused for its encoding. Saving always writes UTF-8.
// - A UTF-8 byte order mark at the start is taken off the text and written back on save. A
//   second mark right after it stays in the text as U+FEFF. Bytes that are not valid UTF-8
//   have no mark: "EF BB BF" then reads as three Latin-1 characters.
// - Every line break, whether "\r\n", "\n" or a lone "\r", becomes "\n" in the text. The file
//   keeps the style of its first line break; a file with none (or a new file) is "\n". A file
//   with mixed breaks is therefore saved with its first break's style throughout.
// - A file that holds a NUL byte is not text and is refused, as is one larger than 4 MiB.

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringList>

#include <optional>

enum class TLineBreak { Lf, CrLf, Cr };

struct TProgramText {
    QString Text;                           // line breaks are "\n" only
    TLineBreak LineBreak = TLineBreak::Lf;  // written for every "\n" on save
    bool ByteOrderMark = false;             // a UTF-8 byte order mark leads the saved file

    bool operator==(const TProgramText&) const = default;
};

// The program read, or the message that refuses the file (naming it and saying why).
struct TProgramRead {
    std::optional<TProgramText> Program;
    QString Error;
};

// The largest file that opens: exactly 4 MiB still does.
inline constexpr qint64 MaxProgramFileBytes = 4 * 1024 * 1024;

// Turns a file's bytes into program text by the rules above; fileName only names the file in
// a refusal.
TProgramRead DecodeProgram(const QByteArray& bytes, const QString& fileName);

// The bytes a save writes: UTF-8, the kept line-break style, the mark if the file had one.
QByteArray EncodeProgram(const TProgramText& program);

// Reads and decodes a file; refuses what is not a readable regular file or what decoding
// refuses, without reading more than one byte past the size limit.
TProgramRead ReadProgramFile(const QString& path);

// Reads a stream (standard input, a pipe) to its end by the same decoding rules; it is
// refused as soon as it passes the size limit, so input that never ends is refused too.
// name only names the stream in a refusal.
TProgramRead ReadProgramStream(QFileDevice& stream, const QString& name);

// Saves atomically: the old file stays as it was unless the whole new text reached the disk.
// When no temporary file can be made beside it (a folder the user may not write to) but the
// file itself is writable, it is rewritten in place instead (RewriteProgramFile).
// Returns an empty string on success, else "Could not save FILE: REASON".
QString SaveProgramFile(const QString& path, const TProgramText& program);

// Rewrites an existing file in place, for when the atomic way cannot start. Not atomic
// against a crash, but a write that fails (a full disk) puts the old bytes back, and only a
// write that reached the file in full counts as saved. Never creates a file.
QString RewriteProgramFile(const QString& path, const TProgramText& program);

// A file as a message names it: the whole path as given, in the system's own separators.
QString ShownPath(const QString& path);

// Name filters for the Open and Save dialogs.
QStringList ProgramFileFilters();
