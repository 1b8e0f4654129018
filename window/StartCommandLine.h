#pragma once
// mirelo2's command line, read before any application object exists: --help, --version and
// usage errors are answered without a window system (an SSH session, a packaging script).
// Qt's own options (-platform, -style and the like) are accepted here and left to Qt.

#include <QString>
#include <QStringList>

#include <optional>

class TStartCommandLine {
public:
    // sysexits' EX_USAGE: an unknown option, a missing value, more than one FILE.
    static constexpr int ExitUsage = 64;

    explicit TStartCommandLine(const QStringList& arguments);

    // The exit status when the command line was answered (help or version on standard
    // output, or a usage error with the usage on standard error); nothing when the window
    // is to start.
    std::optional<int> Answered() const { return exitStatus_; }
    // The FILE to open at start; empty when none was given.
    QString File() const { return file_; }

private:
    std::optional<int> exitStatus_;
    QString file_;
};
