#pragma once
// The pace runs go at, as the user chose it from Run → Speed: the session takes the checked
// speed at once, so the current run changes pace at its next step, and the choice is kept in
// the application's settings for the next window. A stored value this program does not know
// reads as the product's pace, 50 ms.

#include "emulator/emuthread.h"

#include <QObject>

#include <chrono>
#include <span>

class QAction;
class QActionGroup;
class QSettings;
class TRunSession;

// One entry of the Speed menu.
struct TRunSpeed {
    const char* Text;   // the menu's text, with its mnemonic
    const char* Stored; // the settings' spelling
    TRunPace Pace;
};

class TRunSpeedChoice : public QObject {
    Q_OBJECT
public:
    // Every speed, slowest first.
    static std::span<const TRunSpeed> Speeds();

    // The choices carry their index into Speeds() as data. Checks the stored speed's action
    // and hands its pace to the session. All three must outlive this object.
    TRunSpeedChoice(QActionGroup& choices, QSettings& settings, TRunSession& session,
                    QObject* parent = nullptr);

private:
    void Choose(QAction* action);

    QSettings& settings_;
    TRunSession& session_;
};
