#include "session/RunStatusText.h"

#include "emulator/MachineFault.h"

#include <stdexcept>

namespace {

QString Counted(std::uint64_t count, const QString& one, const QString& many)
{
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? one : many);
}

QString Steps(std::uint64_t steps)
{
    return Counted(steps, QStringLiteral("step"), QStringLiteral("steps"));
}

QString EndedText(const TRunFacts& facts)
{
    using End = TEmulationThread::TRunEnd;
    switch (facts.End) {
    case End::StopByte:
        return QStringLiteral("Ended at a Stop byte after %1").arg(Steps(facts.Steps));
    case End::Reset:
        return QStringLiteral("Ended by Reset after %1").arg(Steps(facts.Steps));
    case End::EndOfImage:
        return QStringLiteral("Ended at the end of the image after %1").arg(Steps(facts.Steps));
    case End::Stopped:
        return QStringLiteral("Stopped after %1").arg(Steps(facts.Steps));
    case End::Failed:
        return QStringLiteral("Failed: %1").arg(facts.Failure);
    case End::Running:
        break;
    }
    return QStringLiteral("Ended after %1").arg(Steps(facts.Steps));
}

} // namespace

QString RunStatusText(const TRunFacts& facts)
{
    switch (facts.Phase) {
    case TRunPhase::NoRun:
        return {};
    case TRunPhase::Running:
        return facts.Steps == 0 ? QStringLiteral("Running")
                                : QStringLiteral("Running, step %1").arg(facts.Steps);
    case TRunPhase::Paused:
        if (facts.BreakpointLine > 0)
            return QStringLiteral("Paused at breakpoint on line %1 after %2")
                .arg(facts.BreakpointLine)
                .arg(Steps(facts.Steps));
        return QStringLiteral("Paused after %1").arg(Steps(facts.Steps));
    case TRunPhase::WaitingForInput:
        return QStringLiteral("Waiting for input at step %1").arg(facts.Steps);
    case TRunPhase::Ended:
        return EndedText(facts);
    }
    return {};
}

QString TranslationStatusText(qsizetype lines, qsizetype bytes, qsizetype warnings)
{
    QString text = QStringLiteral("Translated %1 into %2")
        .arg(Counted(static_cast<std::uint64_t>(lines), QStringLiteral("program line"),
                     QStringLiteral("program lines")),
             Counted(static_cast<std::uint64_t>(bytes), QStringLiteral("byte"),
                     QStringLiteral("bytes")));
    if (warnings > 0)
        text += QStringLiteral("; ") + Counted(static_cast<std::uint64_t>(warnings),
                                               QStringLiteral("warning"),
                                               QStringLiteral("warnings"));
    return text;
}

QString TranslationFailedText(std::size_t line)
{
    return QStringLiteral("Translation failed at line %1; listing unchanged").arg(line);
}

QString FailureText(const std::exception_ptr& failure, std::int64_t opcodeAddress)
{
    QString message = QStringLiteral("unknown failure");
    try {
        if (failure)
            std::rethrow_exception(failure);
    } catch (const EMachineFault& fault) {
        return QString::fromStdString(fault.what()); // names its address already
    } catch (const std::exception& error) {
        message = QString::fromStdString(error.what());
    } catch (...) {
    }
    if (opcodeAddress < 0)
        return message;
    return QStringLiteral("%1 at address %2").arg(message).arg(opcodeAddress);
}
