#include "files/RecoverySlot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

// The recovery file is plain text, so that a user can still copy the program out of it by
// hand: four header lines, an empty line, then the editor's text in UTF-8.
//   Mirelo recovery 1
//   file=<the program's path, percent-encoded UTF-8; empty for a program never saved>
//   breaks=lf|crlf|cr
//   mark=0|1

namespace {

const QByteArray Signature("Mirelo recovery 1");
const QString TextSuffix = QStringLiteral(".recovery");
const QString LockSuffix = QStringLiteral(".lock");

const std::pair<TLineBreak, QByteArray> BreakNames[] = {
    {TLineBreak::Lf, "lf"}, {TLineBreak::CrLf, "crlf"}, {TLineBreak::Cr, "cr"}};

QByteArray BreakName(TLineBreak lineBreak)
{
    for (const auto& [kind, name] : BreakNames)
        if (kind == lineBreak)
            return name;
    return "lf";
}

std::optional<TLineBreak> BreakNamed(const QByteArray& name)
{
    for (const auto& [kind, known] : BreakNames)
        if (known == name)
            return kind;
    return std::nullopt;
}

QByteArray Serialised(const TRecoveredProgram& recovered)
{
    return Signature + "\nfile=" + recovered.FilePath.toUtf8().toPercentEncoding("/") +
           "\nbreaks=" + BreakName(recovered.Program.LineBreak) +
           "\nmark=" + (recovered.Program.ByteOrderMark ? "1" : "0") + "\n\n" +
           recovered.Program.Text.toUtf8();
}

// The value of "name=value" on the header line, or nothing when the line is another.
std::optional<QByteArray> HeaderValue(const QByteArray& line, const QByteArray& name)
{
    if (!line.startsWith(name + '='))
        return std::nullopt;
    return line.mid(name.size() + 1);
}

std::optional<TRecoveredProgram> Parsed(const QByteArray& bytes)
{
    const qsizetype headerEnd = bytes.indexOf("\n\n");
    if (headerEnd < 0)
        return std::nullopt;
    const QList<QByteArray> header = bytes.left(headerEnd).split('\n');
    if (header.size() != 4 || header[0] != Signature)
        return std::nullopt;
    const std::optional<QByteArray> file = HeaderValue(header[1], "file");
    const std::optional<QByteArray> breaks = HeaderValue(header[2], "breaks");
    const std::optional<QByteArray> mark = HeaderValue(header[3], "mark");
    const std::optional<TLineBreak> lineBreak = breaks ? BreakNamed(*breaks) : std::nullopt;
    if (!file || !lineBreak || !mark || (*mark != "0" && *mark != "1"))
        return std::nullopt;

    TRecoveredProgram recovered;
    recovered.FilePath = QString::fromUtf8(QByteArray::fromPercentEncoding(*file));
    recovered.Program.LineBreak = *lineBreak;
    recovered.Program.ByteOrderMark = *mark == "1";
    recovered.Program.Text = QString::fromUtf8(bytes.mid(headerEnd + 2));
    return recovered;
}

QString LockFailure(QLockFile::LockError error)
{
    switch (error) {
    case QLockFile::NoError:
        return {};
    case QLockFile::LockFailedError:
        return QStringLiteral("the slot is in use by another window");
    case QLockFile::PermissionError:
        return QStringLiteral("the folder is not writable");
    case QLockFile::UnknownError:
        break;
    }
    return QStringLiteral("its lock file could not be written");
}

// Stale locks of windows that died before writing any text: nothing to offer, so they go.
void ClearStaleEmptyLocks(const QDir& folder)
{
    for (const QString& name : folder.entryList({QStringLiteral("*") + LockSuffix}, QDir::Files)) {
        const QString id = name.chopped(LockSuffix.size());
        if (folder.exists(id + TextSuffix))
            continue;
        QLockFile lock(folder.filePath(name));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0))
            lock.unlock();
    }
}

} // namespace

QString TRecoverySlot::DefaultFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return data.isEmpty() ? QString() : QDir(data).filePath(QStringLiteral("recovery"));
}

TRecoverySlot::TRecoverySlot(const QString& folder)
    : TRecoverySlot(folder, QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

TRecoverySlot::TRecoverySlot(const QString& folder, const QString& id)
{
    if (folder.isEmpty()) {
        lockError_ = QStringLiteral("there is no data folder to keep it in");
        return;
    }
    const QDir dir(folder);
    textPath_ = dir.filePath(id + TextSuffix);
    if (!dir.mkpath(QStringLiteral("."))) {
        lockError_ = QStringLiteral("the folder %1 could not be created")
                         .arg(ShownPath(folder));
        return;
    }
    lock_ = std::make_unique<QLockFile>(dir.filePath(id + LockSuffix));
    // No age limit: a window may keep its slot for days, and only a dead owner (or a
    // restart of the machine) makes the lock stale.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0))
        lockError_ = LockFailure(lock_->error());
}

TRecoverySlot::~TRecoverySlot() = default;

std::vector<std::unique_ptr<TRecoverySlot>> TRecoverySlot::TakeAbandoned(const QString& folder)
{
    std::vector<std::unique_ptr<TRecoverySlot>> taken;
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return taken;
    ClearStaleEmptyLocks(dir);
    const QStringList names = dir.entryList({QStringLiteral("*") + TextSuffix}, QDir::Files,
                                            QDir::Time | QDir::Reversed);
    for (const QString& name : names) {
        // Private constructor: make_unique cannot reach it.
        std::unique_ptr<TRecoverySlot> slot(
            new TRecoverySlot(folder, name.chopped(TextSuffix.size())));
        // The owner may have removed its text between the listing and the lock.
        if (slot->IsLocked() && slot->Read())
            taken.push_back(std::move(slot));
    }
    return taken;
}

bool TRecoverySlot::IsLocked() const
{
    return lock_ && lock_->isLocked();
}

QString TRecoverySlot::TextPath() const
{
    return textPath_;
}

QString TRecoverySlot::Write(const TRecoveredProgram& program)
{
    QString reason = lockError_;
    if (IsLocked()) {
        // Without a commit the temporary file goes with the QSaveFile, and the last text stays.
        QSaveFile file(textPath_);
        const QByteArray bytes = Serialised(program);
        if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
            return {};
        reason = file.errorString();
    }
    return QStringLiteral("Could not write the recovery file %1: %2")
        .arg(ShownPath(textPath_), reason);
}

std::optional<TRecoveredProgram> TRecoverySlot::Read() const
{
    QFile file(textPath_);
    if (textPath_.isEmpty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return Parsed(file.readAll());
}

void TRecoverySlot::Remove()
{
    // Only the slot's owner may remove its text; an unlocked slot may name another's.
    if (IsLocked())
        QFile::remove(textPath_);
}
