#include "window/StartCommandLine.h"

#include "common/ApplicationNames.h"

#include <QCommandLineParser>

#include <cstdio>

namespace {

struct TQtOption {
    const char* name;
    const char* value;   // nullptr: a switch
    const char* description;
};

// The options QGuiApplication and QApplication take out of the command line themselves.
constexpr TQtOption QtOptions[] = {
    {"platform", "name[:options]", "Window system plugin to use, e.g. xcb, wayland, offscreen"},
    {"platformpluginpath", "path", "Folder to load window system plugins from"},
    {"platformtheme", "theme", "Platform theme to use"},
    {"plugin", "plugin", "Additional plugin to load"},
    {"qwindowgeometry", "geometry", "Geometry of the first window"},
    {"qwindowicon", "icon", "Icon of the windows"},
    {"qwindowtitle", "title", "Title of the first window"},
    {"reverse", nullptr, "Lays out right to left"},
    {"session", "session", "Session to restore"},
    {"display", "display", "X11 display to use"},
    {"geometry", "geometry", "Geometry of the main window (X11)"},
    {"style", "style", "Widget style to use"},
    {"stylesheet", "file", "Style sheet to apply"},
    {"widgetcount", nullptr, "Reports the widgets left at exit"},
    {"qmljsdebugger", "port", "QML debugger to connect to"},
    {"nograb", nullptr, "Never grabs the mouse or keyboard (X11)"},
    {"dograb", nullptr, "Grabs the mouse and keyboard even under a debugger (X11)"},
    {"sync", nullptr, "Runs X11 synchronously, for debugging"},
};

void AddQtOptions(QCommandLineParser& parser, bool shown)
{
    for (const TQtOption& qt : QtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name),
                                  QString::fromLatin1(qt.description),
                                  qt.value ? QString::fromLatin1(qt.value) : QString());
        if (!shown)
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// The parser of mirelo2's options; Qt's are listed only by --help-all.
void Describe(QCommandLineParser& parser, bool showQtOptions)
{
    parser.setApplicationDescription(
        QStringLiteral("Write programs for the Mirelo processor, translate them into machine "
                       "code and watch them run."));
    // "-platform xcb", as Qt writes its options, is one option with a value, not "-p -l ...".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Program file to open"),
                                 QStringLiteral("[FILE]"));
    AddQtOptions(parser, showQtOptions);
}

int Print(std::FILE* stream, const QString& text, int status)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    return status;
}

} // namespace

TStartCommandLine::TStartCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    Describe(parser, false);
    if (!parser.parse(arguments)) {
        exitStatus_ = Print(stderr, parser.errorText() + u'\n' + parser.helpText(), ExitUsage);
    } else if (parser.isSet(QStringLiteral("help-all"))) {
        QCommandLineParser all;
        Describe(all, true);
        all.parse(arguments);
        exitStatus_ = Print(stdout, all.helpText(), 0);
    } else if (parser.isSet(QStringLiteral("help"))) {
        exitStatus_ = Print(stdout, parser.helpText(), 0);
    } else if (parser.isSet(QStringLiteral("version"))) {
        exitStatus_ = Print(
            stdout, QStringLiteral("%1 %2\n").arg(ApplicationTitle(), ApplicationVersion()), 0);
    } else if (parser.positionalArguments().size() > 1) {
        exitStatus_ = Print(stderr, QStringLiteral("Give at most one FILE.\n") + parser.helpText(),
                            ExitUsage);
    } else if (!parser.positionalArguments().isEmpty()) {
        file_ = parser.positionalArguments().constFirst();
    }
}
