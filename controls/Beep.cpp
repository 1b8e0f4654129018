#include "controls/Beep.h"

#include <QApplication>

#include <atomic>

namespace {

std::atomic<int> beepCount{0};

std::function<void()>& Handler()
{
    static std::function<void()> handler;
    return handler;
}

} // namespace

void SystemBeep()
{
    ++beepCount;
    if (Handler())
        Handler()();
    else
        QApplication::beep();
}

int BeepCount()
{
    return beepCount.load();
}

void SetBeepHandler(std::function<void()> handler)
{
    Handler() = std::move(handler);
}
