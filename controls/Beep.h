#pragma once
// The default beep of the two controls. Every beep they sound goes through SystemBeep, so that
// tests can count beeps and silence them.

#include <functional>

// Sounds the default beep, or calls the handler installed with SetBeepHandler instead.
void SystemBeep();

// Number of SystemBeep calls since the program started.
int BeepCount();

// Replaces the sound with handler; an empty handler restores QApplication::beep().
void SetBeepHandler(std::function<void()> handler);
