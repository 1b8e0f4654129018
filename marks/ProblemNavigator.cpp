#include "marks/ProblemNavigator.h"

#include "editor/CodeEditor.h"

#include <QStatusBar>

#include <algorithm>

namespace {

// As long as the other passing messages of the status bar.
constexpr int MessageMs = 10000;

} // namespace

TProblemNavigator::TProblemNavigator(TCodeEditor& program, QStatusBar& status, QObject* parent)
    : QObject(parent), program_(program), status_(status)
{
}

void TProblemNavigator::Next()
{
    Go(true);
}

void TProblemNavigator::Previous()
{
    Go(false);
}

QList<int> TProblemNavigator::ProblemLines() const
{
    QList<int> lines = program_.WarningLines();
    if (program_.ErrorLine() >= 0)
        lines << program_.ErrorLine();
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

QString TProblemNavigator::ProblemText(int line, qsizetype index, qsizetype count,
                                       const QString& marks)
{
    QString messages = marks;
    messages.replace(QLatin1Char('\n'), QStringLiteral(" / "));
    return QStringLiteral("Line %1 (problem %2 of %3): %4")
        .arg(line + 1)
        .arg(index + 1)
        .arg(count)
        .arg(messages);
}

QString TProblemNavigator::NoProblemsText()
{
    return QStringLiteral("No problems marked; Translate marks errors and warnings");
}

qsizetype TProblemNavigator::Step(const QList<int>& lines, int cursorLine, bool forward)
{
    if (forward) {
        const auto after = std::upper_bound(lines.begin(), lines.end(), cursorLine);
        return after == lines.end() ? 0 : after - lines.begin();
    }
    const auto before = std::lower_bound(lines.begin(), lines.end(), cursorLine);
    return before == lines.begin() ? lines.size() - 1 : (before - lines.begin()) - 1;
}

void TProblemNavigator::Go(bool forward)
{
    const QList<int> lines = ProblemLines();
    if (lines.isEmpty()) {
        status_.showMessage(NoProblemsText(), MessageMs);
        return;
    }
    const qsizetype index = Step(lines, program_.textCursor().blockNumber(), forward);
    const int line = lines[index];
    emit ProgramWanted();
    program_.MoveCursorToLine(line);
    status_.showMessage(ProblemText(line, index, lines.size(), program_.MarkText(line)),
                        MessageMs);
}
