#pragma once
// The window's frame: the menu bar, the designed area and the status bar, with room for panels
// the student shows beside the designed area, moves to its other side, floats or closes.
//
// The designed area keeps its size whatever the panels do: a panel shown docked widens the
// window by the room it takes, and closing or floating it narrows the window by as much again
// (a maximized or full-screen window keeps its size, and the area gives the room instead).
//
// How the panels are arranged (shown or not, on which side or floating, their sizes and
// places) is kept in the settings whenever a panel is shown, closed, floated or docked, and when
// the window closes; the next window starts with the same arrangement.

#include <QHash>
#include <QList>
#include <QMainWindow>

class QDockWidget;
class QMenuBar;
class QSettings;
class QStatusBar;

class TPanelHost : public QMainWindow {
    Q_OBJECT
public:
    // A plain child of `parent`, holding the menu bar, the area and the status bar. The
    // settings must stay while the user can change the panels; the frame leaves them alone
    // once it goes.
    TPanelHost(QMenuBar& menu, QWidget& area, QStatusBar& status, QSettings& settings,
               QWidget* parent);
    ~TPanelHost() override;

    // The panel takes its place from the kept arrangement, or starts hidden on `side` when the
    // arrangement does not name it. Panels are told apart by their object names.
    void AddPanel(QDockWidget& panel, Qt::DockWidgetArea side);
    // Keeps the panels' arrangement as it is now.
    void SaveArrangement();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The room a docked panel takes beside the area: its width and the separator's.
    int RoomOf(const QDockWidget& panel) const;
    bool KeepsItsSize() const;
    void Widen(QDockWidget& panel);
    void Narrow(QDockWidget& panel);
    void ResizeWindowBy(int width);

    QSettings& settings_;
    QList<QDockWidget*> panels_;
    // What each panel docked now added to the window's width.
    QHash<const QDockWidget*, int> widened_;
};
