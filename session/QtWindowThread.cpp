#include "session/QtWindowThread.h"

#include <QMetaObject>
#include <QObject>

#include <memory>

// Qt hands a queued call to the window's thread under its own lock, which ThreadSanitizer
// cannot see (Qt is not built with it, and QMutex waits on futexes). Without saying so, every
// call would read as a race with the worker that built it. These two marks tell it that the
// worker's writes before posting happen before the call runs; they do nothing otherwise.
#if defined(__SANITIZE_THREAD__)
#define MIRELO_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define MIRELO_TSAN 1
#endif
#endif

#ifdef MIRELO_TSAN
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

namespace {

void HandOver([[maybe_unused]] void* token)
{
#ifdef MIRELO_TSAN
    __tsan_release(token);
#endif
}

void TakeOver([[maybe_unused]] void* token)
{
#ifdef MIRELO_TSAN
    __tsan_acquire(token);
#endif
}

} // namespace

TQtWindowThread::TQtWindowThread(QObject& context) : context_(context) {}

void TQtWindowThread::Post(std::function<void()> call)
{
    auto held = std::make_unique<std::function<void()>>(std::move(call));
    void* token = held.get();
    HandOver(token);
    // A queued call never waits here, so a worker posting while the window's thread is busy
    // (even inside a modal dialog) cannot deadlock: the call simply runs at the next event.
    QMetaObject::invokeMethod(
        &context_,
        [held = std::shared_ptr<std::function<void()>>(std::move(held)), token] {
            TakeOver(token);
            (*held)();
        },
        Qt::QueuedConnection);
}
