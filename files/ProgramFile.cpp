#include "files/ProgramFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

const QByteArray Utf8Mark("\xEF\xBB\xBF", 3);

QString OpenError(const QString& fileName, const QString& reason)
{
    return QStringLiteral("Could not open %1: %2").arg(ShownPath(fileName), reason);
}

QString SaveError(const QString& fileName, const QString& reason)
{
    return QStringLiteral("Could not save %1: %2").arg(ShownPath(fileName), reason);
}

TProgramRead Refusal(QString error)
{
    return TProgramRead{std::nullopt, std::move(error)};
}

TProgramRead TooLarge(const QString& fileName, qint64 size)
{
    return Refusal(
        OpenError(fileName, QStringLiteral("it is larger than 4 MiB (%1 bytes)").arg(size)));
}

// 1-based line of a byte offset, counting line breaks as decoding does.
qsizetype LineOf(const QByteArray& bytes, qsizetype offset)
{
    qsizetype line = 1;
    for (qsizetype i = 0; i < offset; ++i) {
        const bool loneCr = bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n');
        if (bytes[i] == '\n' || loneCr)
            ++line;
    }
    return line;
}

// The text with every line break as "\n", and the style of the first break.
TProgramText WithPlainBreaks(const QString& decoded)
{
    TProgramText program;
    std::optional<TLineBreak> first;
    QString& text = program.Text;
    text.reserve(decoded.size());
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        const QChar ch = decoded[i];
        if (ch == u'\r') {
            const bool pair = i + 1 < decoded.size() && decoded[i + 1] == u'\n';
            if (!first)
                first = pair ? TLineBreak::CrLf : TLineBreak::Cr;
            if (pair)
                ++i;
            text += u'\n';
        } else {
            if (ch == u'\n' && !first)
                first = TLineBreak::Lf;
            text += ch;
        }
    }
    program.LineBreak = first.value_or(TLineBreak::Lf);
    return program;
}

// The bytes as UTF-8 when they are valid UTF-8 (a leading U+FEFF kept as a character).
std::optional<QString> AsUtf8(QByteArrayView bytes)
{
    // Stateless: a sequence cut off at the end is an error, not a wait for more bytes.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// Replaces the whole content of an open file; true only when every byte reached the file.
bool Rewrite(QFile& file, const QByteArray& bytes)
{
    return file.seek(0) && file.resize(0) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

TProgramRead DecodeProgram(const QByteArray& bytes, const QString& fileName)
{
    if (bytes.size() > MaxProgramFileBytes)
        return TooLarge(fileName, bytes.size());
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0)
        return Refusal(OpenError(
            fileName, QStringLiteral("it holds a NUL byte on line %1, so it is not a text file")
                          .arg(LineOf(bytes, nul))));

    const bool marked = bytes.startsWith(Utf8Mark);
    const QByteArrayView body = QByteArrayView(bytes).sliced(marked ? Utf8Mark.size() : 0);
    if (const std::optional<QString> utf8 = AsUtf8(body)) {
        TProgramText program = WithPlainBreaks(*utf8);
        program.ByteOrderMark = marked;
        return TProgramRead{std::move(program), {}};
    }
    return TProgramRead{WithPlainBreaks(QString::fromLatin1(bytes)), {}};
}

QByteArray EncodeProgram(const TProgramText& program)
{
    QString text = program.Text;
    if (program.LineBreak == TLineBreak::CrLf)
        text.replace(u'\n', QStringLiteral("\r\n"));
    else if (program.LineBreak == TLineBreak::Cr)
        text.replace(u'\n', u'\r');
    QByteArray bytes = program.ByteOrderMark ? Utf8Mark : QByteArray();
    bytes += text.toUtf8();
    return bytes;
}

TProgramRead ReadProgramFile(const QString& path)
{
    // Checked before opening: opening a pipe or a device for reading could block or never end.
    const QFileInfo info(path);
    if (info.isDir())
        return Refusal(OpenError(path, QStringLiteral("it is a folder, not a file")));
    if (info.exists() && !info.isFile())
        return Refusal(OpenError(path, QStringLiteral("it is not a regular file")));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Refusal(OpenError(path, file.errorString()));
    if (file.size() > MaxProgramFileBytes)
        return TooLarge(path, file.size());
    // One byte more than allowed, so a file that grows while it is read is still refused.
    const QByteArray bytes = file.read(MaxProgramFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return Refusal(OpenError(path, file.errorString()));
    return DecodeProgram(bytes, path);
}

TProgramRead ReadProgramStream(QFileDevice& stream, const QString& name)
{
    QByteArray bytes;
    // A pipe hands over what it has, not what was asked for: read on until it ends.
    while (bytes.size() <= MaxProgramFileBytes) {
        const QByteArray chunk = stream.read(MaxProgramFileBytes + 1 - bytes.size());
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (stream.error() != QFileDevice::NoError)
        return Refusal(OpenError(name, stream.errorString()));
    if (bytes.size() > MaxProgramFileBytes)
        return Refusal(OpenError(name, QStringLiteral("it is larger than 4 MiB")));
    return DecodeProgram(bytes, name);
}

QString SaveProgramFile(const QString& path, const TProgramText& program)
{
    const QFileInfo info(path);
    if (info.isDir())
        return SaveError(path, QStringLiteral("a folder of that name is in the way"));
    // QSaveFile writes a temporary file next to the target and renames it over the target
    // only in commit(); without a commit its destructor removes the temporary file, so on any
    // failure the old file stays.
    QSaveFile file(path);
    const QByteArray bytes = EncodeProgram(program);
    if (!file.open(QIODevice::WriteOnly)) {
        // No temporary file beside it (a folder the user may not write to), but the file
        // itself may still be writable.
        if (info.isFile() && info.isWritable())
            return RewriteProgramFile(path, program);
        return SaveError(path, file.errorString());
    }
    if (file.write(bytes) != bytes.size() || !file.commit())
        return SaveError(path, file.errorString());
    return {};
}

QString RewriteProgramFile(const QString& path, const TProgramText& program)
{
    QFile file(path);
    // ExistingOnly: this way never creates a file, it only rewrites one that is there.
    // Unbuffered: a failed write leaves nothing queued that could land after the old bytes.
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered))
        return SaveError(path, file.errorString());
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return SaveError(path, file.errorString());
    if (Rewrite(file, EncodeProgram(program)))
        return {};
    const QString reason = file.errorString();
    // The old bytes fit where the new ones could not go; put them back so what stays is the
    // old file and not a half-written new one.
    Rewrite(file, old);
    return SaveError(path, reason);
}

QString ShownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QStringList ProgramFileFilters()
{
    return {QStringLiteral("Mirelo programs (*.mir)"), QStringLiteral("All files (*)")};
}
