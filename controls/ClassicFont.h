#pragma once
// The windows' and buttons' font: 8-point "MS Sans Serif" (11 pixels at 96 dots per inch).

#include <QFont>

// Where "MS Sans Serif" is missing, a face of similar width stands in for it, so that the
// captions fit the buttons they were laid out for.
QFont ClassicFont();
