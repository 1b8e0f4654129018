#include "editor/EditorColours.h"

#include "common/Tints.h"

#include <QPalette>

#include <algorithm>
#include <cmath>

namespace {

double Linear(double channel)
{
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour)
{
    return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF())
        + 0.0722 * Linear(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The hue as it is when it already stands out against the background, otherwise the first
// blend towards the text colour that does; the text colour itself when none does.
QColor Readable(const QColor& hue, const QColor& background, const QColor& text, double wanted)
{
    for (int step = 0; step <= 10; ++step) {
        const QColor candidate = Blend(hue, text, step / 10.0);
        if (Contrast(candidate, background) >= wanted)
            return candidate;
    }
    return text;
}

// A saturated colour of this hue, light on a dark background and dark on a light one.
QColor Tint(int hue, const QColor& background)
{
    const bool dark = background.lightness() < 128;
    return QColor::fromHsl(hue % 360, 200, dark ? 175 : 85);
}

} // namespace

TEditorColours TEditorColours::From(const QPalette& palette)
{
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    const QColor text = palette.color(QPalette::Active, QPalette::Text);
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    // A grey highlight has no hue; blue is the usual one.
    const int hue = highlight.hslHue() < 0 ? 210 : highlight.hslHue();
    // Marked line backgrounds stay close to the base so the syntax colours keep reading.
    const double textContrast = 5.5;

    TEditorColours colours;
    colours.GutterBackground = Blend(base, text, 0.06);
    colours.GutterText = Readable(Blend(text, base, 0.5), colours.GutterBackground, text, 3.5);
    colours.ErrorLine = Blend(base, QColor(230, 40, 40), 0.22);
    colours.ErrorSign = Readable(QColor(220, 30, 30), colours.GutterBackground, text, 3.0);
    colours.WarningSign = Readable(Tint(38, base), colours.GutterBackground, text, 3.0);
    colours.ExecutingLine = Blend(base, highlight, 0.28);
    colours.ExecutingSign = Readable(highlight, colours.GutterBackground, text, 3.0);
    // The red every debugger gives breakpoints, lighter on a dark gutter.
    const QColor breakpointRed =
        base.lightness() < 128 ? QColor(0xef, 0x53, 0x50) : QColor(0xd3, 0x2f, 0x2f);
    colours.BreakpointSign = Readable(breakpointRed, colours.GutterBackground, text, 3.0);

    colours.Mnemonic = text;
    colours.Register = Readable(Tint(hue, base), base, text, textContrast);
    colours.Constant = Readable(Tint(hue + 120, base), base, text, textContrast);
    colours.Label = Readable(Tint(hue + 240, base), base, text, textContrast);
    colours.Inert = Blend(text, base, 0.5);
    // A comment is prose for the reader, so it keeps more contrast than dimmed code does.
    colours.Comment = Readable(Blend(text, base, 0.4), base, text, 3.5);
    return colours;
}
