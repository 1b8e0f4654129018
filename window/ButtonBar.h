#pragma once
// The button bar under the pages: the five run commands as bevel buttons at their designed
// places, left to right as they are read and reached with Tab. Each button shows its
// command's action: its caption, whether it can be used, and a click triggers it.

#include <QWidget>

class TCustButton;
class TWindowCommands;

class TButtonBar : public QWidget {
    Q_OBJECT
public:
    TButtonBar(const TWindowCommands& commands, QWidget* parent = nullptr);

    TCustButton* CustButton1 = nullptr; // Translate
    TCustButton* CustButton2 = nullptr; // Translate & Emulate
    TCustButton* CustButton3 = nullptr; // Emulate
    TCustButton* CustButton4 = nullptr; // Pause / Resume
    TCustButton* CustButton5 = nullptr; // Stop
};
