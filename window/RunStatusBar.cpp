#include "window/RunStatusBar.h"

#include "session/RunSession.h"

#include <QLabel>

TRunStatusBar::TRunStatusBar(QWidget* parent)
    : QStatusBar(parent), run_(new QLabel(this)), translation_(new QLabel(this))
{
    setObjectName(QStringLiteral("StatusBar1"));
    run_->setObjectName(QStringLiteral("RunStatus"));
    translation_->setObjectName(QStringLiteral("TranslationStatus"));
    // Ignored width: a text that grows by a digit never asks the bar for a new layout.
    run_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addWidget(run_, 1);
    addPermanentWidget(translation_);
}

void TRunStatusBar::Watch(const TRunSession& session)
{
    session_ = &session;
    // Opening the prompt changes nothing shown: a request waits from the moment it is queued.
    for (auto signal : {&TRunSession::InputQueued, &TRunSession::InputAnswered})
        connect(&session, signal, this, &TRunStatusBar::Refresh);
    for (auto signal : {&TRunSession::RunStarted, &TRunSession::Stepped})
        connect(&session, signal, this, &TRunStatusBar::RunMoved);
    connect(&session, &TRunSession::RunEnded, this, &TRunStatusBar::RunMoved);
    connect(&session, &TRunSession::PauseChanged, this, [this](bool paused) {
        if (paused)
            Refresh();
        else
            RunMoved();
    });
    Refresh();
}

void TRunStatusBar::ShowHeldAtBreakpoint(int line)
{
    heldLine_ = line;
    Refresh();
}

void TRunStatusBar::RunMoved()
{
    heldLine_ = 0;
    Refresh();
}

void TRunStatusBar::ShowTranslation(qsizetype lines, qsizetype bytes, qsizetype warnings)
{
    translation_->setText(TranslationStatusText(lines, bytes, warnings));
}

void TRunStatusBar::ShowTranslationFailure(std::size_t line)
{
    translation_->setText(TranslationFailedText(line));
}

void TRunStatusBar::ClearTranslation()
{
    translation_->clear();
}

QString TRunStatusBar::RunText() const
{
    return run_->text();
}

QString TRunStatusBar::TranslationText() const
{
    return translation_->text();
}

TRunFacts TRunStatusBar::FactsOf(const TRunSession& session)
{
    TRunFacts facts;
    const TEmulationThread* worker = session.CurrentWorker();
    if (!worker)
        return facts;
    // Finished first: the count read after it is exact.
    const bool finished = worker->Finished();
    facts.Steps = worker->StepCount();
    if (finished) {
        facts.Phase = TRunPhase::Ended;
        facts.End = worker->EndReason();
        // The machine is the worker's own until it has finished; now it may be read.
        if (facts.End == TEmulationThread::TRunEnd::Failed)
            facts.Failure =
                FailureText(worker->FatalException(), worker->Machine().OpcodeAddress());
    } else if (session.CurrentRunWaitsForInput()) {
        // Before the pause: a stepped run stays paused throughout the step that asks.
        facts.Phase = TRunPhase::WaitingForInput;
    } else if (worker->Suspended()) {
        facts.Phase = TRunPhase::Paused;
    } else {
        facts.Phase = TRunPhase::Running;
    }
    return facts;
}

void TRunStatusBar::Refresh()
{
    if (!session_)
        return;
    TRunFacts facts = FactsOf(*session_);
    if (facts.Phase == TRunPhase::Paused)
        facts.BreakpointLine = heldLine_;
    const QString text = RunStatusText(facts);
    if (text != run_->text())
        run_->setText(text);
}
