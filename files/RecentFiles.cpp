#include "files/RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString Key = QStringLiteral("recentFiles");

// One spelling per file: links and ".." resolved while the file exists; a file that is gone
// keeps its cleaned absolute path, which is how it was stored when it still existed.
QString SameFileKey(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

QStringList Without(const QStringList& files, const QString& key)
{
    QStringList kept;
    for (const QString& file : files)
        if (SameFileKey(file) != key)
            kept.append(file);
    return kept;
}

} // namespace

TRecentFiles::TRecentFiles(QSettings& settings)
    : settings_(settings)
{
}

QStringList TRecentFiles::Files() const
{
    // The settings may have been edited by hand: empty entries are ignored, the length capped.
    QStringList files = settings_.value(Key).toStringList();
    files.removeAll(QString());
    return files.mid(0, MaxCount);
}

void TRecentFiles::Add(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString key = SameFileKey(path);
    QStringList files = Without(Files(), key);
    files.prepend(key);
    Store(files.mid(0, MaxCount));
}

void TRecentFiles::Remove(const QString& path)
{
    Store(Without(Files(), SameFileKey(path)));
}

void TRecentFiles::Clear()
{
    settings_.remove(Key);
}

bool TRecentFiles::DropIfGone(const QString& path)
{
    if (QFileInfo::exists(path))
        return false;
    Remove(path);
    return true;
}

void TRecentFiles::Store(const QStringList& files)
{
    if (files.isEmpty())
        settings_.remove(Key);
    else
        settings_.setValue(Key, files);
}
