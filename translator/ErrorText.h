#pragma once
// How an error's message reads where the user sees it.

#include <string>

// The message with a period appended when its last character's code lies above the
// period's, as the standard error box shows it.
std::string WithFinalPeriod(std::string message);
