#pragma once
// The button bar under the pages: the five command buttons at their designed places, left to
// right as they are read and reached with Tab.

#include <QWidget>

class TCustButton;

class TButtonBar : public QWidget {
    Q_OBJECT
public:
    explicit TButtonBar(QWidget* parent = nullptr);

    TCustButton* CustButton1 = nullptr; // Translate
    TCustButton* CustButton2 = nullptr; // Translate & Emulate
    TCustButton* CustButton3 = nullptr; // Emulate
    TCustButton* CustButton4 = nullptr; // Pause / Resume
    TCustButton* CustButton5 = nullptr; // Stop
};
