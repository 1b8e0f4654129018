#pragma once
// The register list: one line per register, R1 first, the current register marked with " *".
// Lines too long for the list are cut at its right edge; it never scrolls sideways.
// A line whose value differs from the previous refresh of the same run (for its first, from
// the run's start) has the change tint behind it until the next refresh; the
// current-register mark moving is no change.

#include "emulator/RegisterFile.h"

#include <QListWidget>

#include <array>
#include <cstdint>

class TRegisterListView : public QListWidget {
    Q_OBJECT
public:
    explicit TRegisterListView(QWidget* parent = nullptr);

    // Leaves exactly one line per register, whatever the list held before.
    void ShowRegisters(const TRegisterFile& registers, std::uint8_t current);
    // A new run, whose registers start as `start`: clears the tints, and the next refresh
    // tints what its step changed from that start. Until the first BeginRun a refresh has
    // nothing to compare with.
    void BeginRun(const TRegisterFile& start);
    // Whether the latest refresh tinted this line.
    bool LineChanged(int line) const;

private:
    void SetTinted(int line, bool tinted);

    TRegisterFile previous_{};
    bool compare_ = false; // a refresh of this run came before
    std::array<bool, std::tuple_size_v<TRegisterFile>> tinted_{};
};
