// Start-up: the application, its title, the command line, the main window, the hidden input
// dialog, the offer of unsaved programs left behind, the FILE to open, the loop.
#include "ApplicationNames.h"
#include "ProgramDocument.h"
#include "RecoveryController.h"
#include "Unit2.h"
#include "mirelo_main.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <memory>

#ifndef MIRELO_APP_ID
#error "MIRELO_APP_ID must name the desktop entry"
#endif

namespace {

// Reads --help and --version (both print and exit) and the optional FILE; returns FILE's
// path, empty when none was given.
QString ReadCommandLine(const QApplication& application)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Write programs for the Mirelo processor, translate them into machine "
                       "code and watch them run."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Program file to open"),
                                 QStringLiteral("[FILE]"));
    parser.process(application);

    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fputs("Give at most one FILE.\n", stderr);
        std::fputs(qPrintable(parser.helpText()), stderr);
        std::exit(1);
    }
    return files.isEmpty() ? QString() : files.constFirst();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    NameApplication();
    QApplication::setApplicationVersion(ApplicationVersion());
    // Lets Wayland and X11 shells match the window to its installed desktop entry and icon.
    QApplication::setDesktopFileName(QStringLiteral(MIRELO_APP_ID));

    const QString startFile = ReadCommandLine(application);

    auto form1 = std::make_unique<TForm1>();
    auto form2 = std::make_unique<TForm2>();
    form1->SetInputDialog(form2.get());
    form1->show();
    // Texts of windows that did not close normally come first; a FILE given as well is then
    // opened through the unsaved-changes question, so a restored text is never lost unasked.
    form1->Recovery().OfferAbandoned(form1.get());
    if (!startFile.isEmpty())
        form1->Document().OpenGuarded(startFile);

    const int result = QApplication::exec();
    // Runs still going are brought down while the dialog they may wait on still exists.
    form1.reset();
    return result;
}
