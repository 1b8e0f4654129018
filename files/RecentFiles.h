#pragma once
// The "Open Recent" list: the last eight program files, most recent first, kept in the
// application's settings so that every window and every later start sees the same list.
// Every call reads the settings afresh, so a menu built when it is about to show is current
// even when another window changed the list.

#include <QString>
#include <QStringList>

class QSettings;

class TRecentFiles {
public:
    static constexpr int MaxCount = 8;

    // The settings must outlive this object; the application's QSettings in the program,
    // a file of its own in tests.
    explicit TRecentFiles(QSettings& settings);

    // Most recent first, at most MaxCount, as stored (canonical paths where the file existed).
    QStringList Files() const;

    // Puts the file first; an entry naming the same file (after resolving links and "..")
    // goes, and the oldest entries beyond MaxCount drop off.
    void Add(const QString& path);

    // Removes every entry naming the same file as path.
    void Remove(const QString& path);

    void Clear();

    // For an entry the user chose: drops it when its file is gone and returns true then, so
    // the caller can say so instead of opening.
    bool DropIfGone(const QString& path);

private:
    void Store(const QStringList& files);

    QSettings& settings_;
};
