#include "views/RegisterListView.h"

#include "common/Tints.h"

#include <QContextMenuEvent>
#include <QMenu>

#include <algorithm>

TRegisterListView::TRegisterListView(QWidget* parent) : QListWidget(parent)
{
    setSortingEnabled(false);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A splitter would otherwise keep the list at its size hint, wider than designed.
    setMinimumWidth(1);
}

void TRegisterListView::ShowRegisters(const TRegisterFile& registers, std::uint8_t current)
{
    const int lineCount = static_cast<int>(registers.size());
    // After the first refresh the list already has one line per register; rewriting their
    // texts gives the same lines without rebuilding the list every step.
    if (count() != lineCount) {
        clear();
        tinted_.fill(false);
        for (int i = 0; i < lineCount; ++i)
            (new QListWidgetItem(this))->setSizeHint(QSize(LineWidth(), 13));
    }
    shown_ = registers;
    shownCurrent_ = current;
    anyShown_ = true;
    WriteLines();
    for (int i = 0; i < lineCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        SetTinted(i, compare_ && registers[at] != previous_[at]);
    }
    previous_ = registers;
    compare_ = true;
}

void TRegisterListView::SetBase(TRegisterBase base)
{
    if (base == base_)
        return;
    base_ = base;
    // Before the first refresh there are no values to write again.
    if (anyShown_)
        WriteLines();
}

void TRegisterListView::WriteLines()
{
    const std::vector<std::string> lines = RegisterLines(shown_, shownCurrent_, base_);
    const int lineCount = std::min(count(), static_cast<int>(lines.size()));
    for (int i = 0; i < lineCount; ++i) {
        const QString line = QString::fromStdString(lines[static_cast<std::size_t>(i)]);
        QListWidgetItem* listed = item(i);
        if (listed->text() != line)
            listed->setText(line);
    }
}

void TRegisterListView::SetBaseActions(const QList<QAction*>& actions)
{
    baseActions_ = actions;
}

QMenu* TRegisterListView::CreateContextMenu() const
{
    auto* menu = new QMenu();
    menu->addActions(baseActions_);
    return menu;
}

void TRegisterListView::contextMenuEvent(QContextMenuEvent* event)
{
    if (baseActions_.isEmpty()) {
        QListWidget::contextMenuEvent(event);
        return;
    }
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TRegisterListView::BeginRun(const TRegisterFile& start)
{
    previous_ = start;
    compare_ = true;
    // Lines beyond the registers (left by someone else) were never tinted.
    const int lines = std::min(count(), static_cast<int>(tinted_.size()));
    for (int i = 0; i < lines; ++i)
        SetTinted(i, false);
}

int TRegisterListView::LineWidth() const
{
    // The widest line in every base.
    return fontMetrics().horizontalAdvance(QStringLiteral("R15: -2147483648 *")) + 4;
}

bool TRegisterListView::LineChanged(int line) const
{
    return line >= 0 && line < std::min(count(), static_cast<int>(tinted_.size())) &&
           tinted_[static_cast<std::size_t>(line)];
}

void TRegisterListView::SetTinted(int line, bool tinted)
{
    bool& shown = tinted_[static_cast<std::size_t>(line)];
    if (shown == tinted)
        return; // touching the item would repaint its line for nothing
    shown = tinted;
    item(line)->setBackground(tinted ? QBrush(ChangeTint(palette(), QPalette::Active))
                                     : QBrush());
}
