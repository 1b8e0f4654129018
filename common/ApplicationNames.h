#pragma once
// The names the running application gives itself.

#include <QString>

class QWidget;

// The application title: the main window's caption without a file, and the error box's.
QString ApplicationTitle();

// A window title about something: "subject — Mirelo".
QString ApplicationTitle(const QString& subject);

// Names the application after its title, "Mirelo", and gives it an empty display name. Qt's
// platform windows append " — " and the display name to every window title that does not
// already end with it; an empty display name ends every title, so each window shows exactly
// its own title: "Mirelo" on the main window and the error box, "Form2" on the input dialog.
void NameApplication();

// The version this build was made as, e.g. "0.1.0".
QString ApplicationVersion();

// Help → About: the version from the build and what the application is, in a box over `window`.
QString AboutText();
void ShowAboutBox(QWidget* window);
