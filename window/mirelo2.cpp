// Start-up: the application, its title, the command line, the main window, the hidden input
// dialog, the offer of unsaved programs left behind, the FILE to open, the loop.
#include "common/ApplicationNames.h"
#include "console/Unit2.h"
#include "document/ProgramDocument.h"
#include "document/RecoveryController.h"
#include "window/mirelo_main.h"
#include "window/StartCommandLine.h"

#include <QApplication>
#include <QStringList>

#include <memory>
#include <optional>

#ifndef MIRELO_APP_ID
#error "MIRELO_APP_ID must name the desktop entry"
#endif

int main(int argc, char* argv[])
{
    // Answered before the application connects to any display; the core application only
    // gives the usage its program name.
    std::optional<TStartCommandLine> commandLine;
    {
        const QCoreApplication core(argc, argv);
        commandLine.emplace(QCoreApplication::arguments());
    }
    if (const std::optional<int> status = commandLine->Answered())
        return *status;

    QApplication application(argc, argv);
    NameApplication();
    QApplication::setApplicationVersion(ApplicationVersion());
    // Lets Wayland and X11 shells match the window to its installed desktop entry and icon.
    QApplication::setDesktopFileName(QStringLiteral(MIRELO_APP_ID));
    const QString startFile = commandLine->File();

    auto form1 = std::make_unique<TForm1>();
    auto form2 = std::make_unique<TForm2>();
    form1->SetInputDialog(form2.get());
    form1->show();
    // Texts of windows that did not close normally come first; a FILE given as well is then
    // opened through the unsaved-changes question, so a restored text is never lost unasked.
    form1->Recovery().OfferAbandoned(form1.get());
    if (!startFile.isEmpty())
        form1->Document().OpenAtStart(startFile);

    const int result = QApplication::exec();
    // Runs still going are brought down while the dialog they may wait on still exists.
    form1.reset();
    return result;
}
