#pragma once
// Shared helpers for the window tests: a main window with its input dialog, clicks on the
// bevel buttons, and a watcher that records and closes the next error box.

#include "SessionTestSupport.h"
#include "console/Unit2.h"
#include "controls/CustButton.h"
#include "session/RunSession.h"
#include "window/mirelo_main.h"
#include "window/WindowCommands.h"

#include <QMessageBox>
#include <QTimer>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>

struct TWorkbench {
    // Shown, with the dialog attached, workers pacing at the given step delay.
    explicit TWorkbench(std::chrono::milliseconds stepDelay = std::chrono::milliseconds(0));
    ~TWorkbench();

    std::unique_ptr<TForm1> form;
    std::unique_ptr<TForm2> dialog;
};

void Click(TCustButton* button);

// Sets the listing pane and presses "Emulate".
void EmulateListing(TForm1& form, const QString& listing);

QStringList RegisterLines(const TForm1& form);
// The lines of the register panel's list.
QStringList PanelRegisterLines(const TForm1& form);
QStringList OutputLines(const TForm1& form);

// Waits until the run started last has ended.
bool WaitForCurrentRunEnd(const TForm1& form, int timeoutMs = 5000);

// What an error box showed; filled in when the box appeared and was closed.
struct TSeenBox {
    bool seen = false;
    QString title;
    // The title of the box's platform window, as Qt hands it to the window system.
    QString platformTitle;
    QString text;
    QString informativeText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;
    // Called once the box shows, before it is answered: what the window shows behind it.
    std::function<void()> whileOpen;
};

// Polls for the next modal QMessageBox, records it into `seen` and presses its OK button.
void CloseNextErrorBox(TSeenBox& seen);

// Polls for the next modal QMessageBox, records it into `seen` and clicks the given button
// with the mouse. The watcher goes once it has answered; the caller may delete it before.
QTimer* AnswerNextBox(TSeenBox& seen, QMessageBox::StandardButton answer);

// As AnswerNextBox, but answers with a key pressed on the box (Enter takes its default button).
QTimer* AnswerNextBoxByKey(TSeenBox& seen, Qt::Key key);

// Polls for the next modal file dialog, types the path into its file name field and presses
// Enter; `seen` is set once it has.
QTimer* AnswerNextFileDialog(const QString& path, bool& seen);
