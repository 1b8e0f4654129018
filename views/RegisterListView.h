#pragma once
// The register list: one line per register, R1 first, the current register marked with " *".
// Lines too long for the list are cut at its right edge; it never scrolls sideways.
// A line whose value differs from the previous refresh of the same run (for its first, from
// the run's start) has the change tint behind it until the next refresh; the
// current-register mark moving is no change.
// The values are written in the base chosen for the list (signed decimal until one is
// chosen); choosing another rewrites the lines at once and leaves the tints as they were,
// since no value changed. The list's context menu offers the choices it is given.

#include "emulator/RegisterFile.h"
#include "emulator/RegisterText.h"

#include <QList>
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
    // The width of a line: the widest register line of any base, with its mark, fits.
    int LineWidth() const;

    TRegisterBase Base() const { return base_; }
    // Rewrites the lines shown, if any, with the same values and mark.
    void SetBase(TRegisterBase base);
    // The entries of the context menu; they belong to the caller.
    void SetBaseActions(const QList<QAction*>& actions);
    // The context menu, with the entries given to SetBaseActions. The caller owns it.
    QMenu* CreateContextMenu() const;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Writes the lines of the values and mark shown last, in the current base.
    void WriteLines();
    void SetTinted(int line, bool tinted);

    TRegisterBase base_ = TRegisterBase::SignedDecimal;
    QList<QAction*> baseActions_;
    TRegisterFile shown_{};
    std::uint8_t shownCurrent_ = 0;
    bool anyShown_ = false;
    TRegisterFile previous_{};
    bool compare_ = false; // a refresh of this run came before
    std::array<bool, std::tuple_size_v<TRegisterFile>> tinted_{};
};
