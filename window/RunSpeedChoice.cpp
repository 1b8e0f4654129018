#include "window/RunSpeedChoice.h"

#include "session/RunSession.h"

#include <QAction>
#include <QActionGroup>
#include <QSettings>

using namespace std::chrono_literals;

namespace {

const QString Key = QStringLiteral("runSpeed");

constexpr TRunSpeed AllSpeeds[] = {
    {"&1 s", "1s", {1000ms, false}},
    {"&200 ms", "200ms", {200ms, false}},
    {"&50 ms", "50ms", {TEmulationThread::DefaultStepDelay, false}},
    {"1&0 ms", "10ms", {10ms, false}},
    {"1 &ms", "1ms", {1ms, false}},
    {"&No delay", "none", {0ms, true}},
};

std::size_t StoredIndex(const QString& text)
{
    for (std::size_t i = 0; i < std::size(AllSpeeds); ++i)
        if (text == QLatin1String(AllSpeeds[i].Stored))
            return i;
    for (std::size_t i = 0; i < std::size(AllSpeeds); ++i)
        if (AllSpeeds[i].Pace == TRunPace{})
            return i;
    return 0;
}

} // namespace

std::span<const TRunSpeed> TRunSpeedChoice::Speeds() { return AllSpeeds; }

TRunSpeedChoice::TRunSpeedChoice(QActionGroup& choices, QSettings& settings,
                                 TRunSession& session, QObject* parent)
    : QObject(parent), settings_(settings), session_(session)
{
    const std::size_t stored = StoredIndex(settings.value(Key).toString());
    for (QAction* action : choices.actions())
        if (action->data().toULongLong() == stored)
            action->setChecked(true);
    session_.SetPace(AllSpeeds[stored].Pace);
    connect(&choices, &QActionGroup::triggered, this, &TRunSpeedChoice::Choose);
}

void TRunSpeedChoice::Choose(QAction* action)
{
    const auto index = static_cast<std::size_t>(action->data().toULongLong());
    if (index >= std::size(AllSpeeds))
        return;
    session_.SetPace(AllSpeeds[index].Pace);
    settings_.setValue(Key, QString::fromLatin1(AllSpeeds[index].Stored));
}
