#include "QtWindowThread.h"

#include <QMetaObject>
#include <QObject>

TQtWindowThread::TQtWindowThread(QObject& context) : context_(context) {}

void TQtWindowThread::Post(std::function<void()> call)
{
    // A queued call never waits here, so a worker posting while the window's thread is busy
    // (even inside a modal dialog) cannot deadlock: the call simply runs at the next event.
    QMetaObject::invokeMethod(&context_, std::move(call), Qt::QueuedConnection);
}
