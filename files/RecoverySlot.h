#pragma once
// One window's recovery slot: a file in the application's data folder that holds the
// program editor's text while it has unsaved changes, so that a window killed with the
// process (or by a power cut) loses at most the last second or so of typing.
//
// A slot is a pair of files in the recovery folder: "<id>.recovery", the text written
// atomically, and "<id>.lock", a QLockFile held for as long as the slot's owner lives. At
// start, TakeAbandoned() adopts only slots whose lock is stale: its owner process is gone or
// the machine has restarted since. A slot whose owner still runs, in this process or
// another, is never taken, however old its lock.
//
// The window writes its text at most WriteDelay after a change (steady typing is written
// every WriteDelay) and calls Remove() on a normal close, a save or a discard.

#include "files/ProgramFile.h"

#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

class QLockFile;

// What a slot holds: the program's file (empty for a program never saved) and its text.
struct TRecoveredProgram {
    QString FilePath;
    TProgramText Program;

    bool operator==(const TRecoveredProgram&) const = default;
};

class TRecoverySlot {
public:
    // Quiet time after the last change before the text is written.
    static constexpr std::chrono::milliseconds WriteDelay{1000};

    // The recovery folder under the user's data folder (QStandardPaths::AppDataLocation).
    static QString DefaultFolder();

    // Takes a new slot in folder (created if needed) and locks it. When the folder cannot
    // be written, the slot is not locked and Write() reports why.
    explicit TRecoverySlot(const QString& folder = DefaultFolder());
    // Releases the lock; the text file stays unless Remove() was called, so a window torn
    // down without its normal close still leaves its text to be offered.
    ~TRecoverySlot();
    TRecoverySlot(const TRecoverySlot&) = delete;
    TRecoverySlot& operator=(const TRecoverySlot&) = delete;

    // Locks and returns every slot in folder whose owner did not close normally and which
    // holds text, oldest first; each stays locked (so no other starting window offers it)
    // until the returned object goes. Stale locks without text are cleared on the way.
    static std::vector<std::unique_ptr<TRecoverySlot>> TakeAbandoned(
        const QString& folder = DefaultFolder());

    bool IsLocked() const;
    QString TextPath() const;

    // Writes atomically; returns an empty string on success, else a message naming the
    // recovery file and the reason.
    QString Write(const TRecoveredProgram& program);

    // What the slot holds; nothing when no text was written or the file cannot be read.
    std::optional<TRecoveredProgram> Read() const;

    // Removes the text file (the lock stays until the slot goes).
    void Remove();

private:
    // Adopts an existing slot by its id; locked only if the lock was stale or missing.
    TRecoverySlot(const QString& folder, const QString& id);

    QString textPath_;
    std::unique_ptr<QLockFile> lock_;
    QString lockError_;
};
