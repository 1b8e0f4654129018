#pragma once
// The colours of the program editor and the listing pane: gutter, line marks and syntax
// colours, all derived from the widget's palette so that light and dark themes both read
// well. Syntax colours take their hues from the palette's highlight colour and are pulled
// towards the text colour until they stand out clearly against the base colour.

#include <QColor>

class QPalette;

struct TEditorColours {
    QColor GutterBackground;
    QColor GutterText;
    QColor ErrorLine;      // background of the line a translation error points at
    QColor ErrorSign;      // gutter sign of that line
    QColor WarningSign;    // gutter sign of a line with a warning
    QColor ExecutingLine;  // background of the line whose instruction runs now
    QColor ExecutingSign;  // gutter sign of that line
    QColor BreakpointSign; // gutter disc of a line with a breakpoint

    QColor Mnemonic;
    QColor Register;
    QColor Constant;
    QColor Label;          // code labels, defined or used; data names share it
    QColor Inert;          // lines that emit nothing
    QColor Comment;        // comment lines: grey, yet easier to read than dimmed code

    static TEditorColours From(const QPalette& palette);
};
