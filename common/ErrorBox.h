#pragma once
// The application's standard error message box, shown for every error that leaves a command
// of a window or a button of the input dialog.

#include <QString>

class QWidget;

// The message as the box shows it: a final period is added when the last character's code
// is above that of the period, so "... value" reads "... value." but "ends." stays as it is.
QString ErrorBoxText(const QString& message);

// Shows the box (caption "Mirelo", error icon, one OK button) and returns when it is closed.
void ShowErrorBox(QWidget* parent, const QString& message);

// The same box for a failed save: a default "Save As…" button beside Cancel. True when
// "Save As…" was chosen.
bool ShowSaveErrorBox(QWidget* parent, const QString& message);
