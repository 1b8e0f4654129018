#pragma once
// The register panel: a second register list, titled "Registers", that the student shows beside
// the pages to watch the registers together with the program and the output while a run is
// paused. The window feeds its list as it feeds the Memory page's, so both show the same.
//
// The panel's own show/hide action is its View menu entry, "Registers" (Ctrl+Shift+R): checked
// while the panel shows, whether it was shown from the menu, with the keys, or closed with its
// own close button.

#include <QDockWidget>

class TRegisterListView;

class TRegisterDock : public QDockWidget {
    Q_OBJECT
public:
    explicit TRegisterDock(QWidget* parent = nullptr);

    TRegisterListView* List = nullptr;
};
