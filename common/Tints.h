#pragma once
// Colours the editors and the machine's views share, derived from the palette so that light
// and dark themes both read well.

#include <QColor>
#include <QPalette>

// a moved towards b by the fraction t (0 keeps a, 1 gives b); alpha is taken from a.
QColor Blend(const QColor& a, const QColor& b, double t);

// The background of a memory cell or register line that the latest step changed: a light
// share of the selection colour over the view's base, so the text stays readable in light and
// dark palettes alike and a selected cell still stands out from it.
QColor ChangeTint(const QPalette& palette, QPalette::ColorGroup group);
