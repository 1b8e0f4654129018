#include "SessionTestSupport.h"

#include "emulator/emuthread.h"
#include "session/RunSession.h"

#include <QCoreApplication>
#include <QTest>

bool WaitUntilParked(const TRunSession& session, int timeoutMs)
{
    return QTest::qWaitFor([&session] {
        const TEmulationThread* worker = session.CurrentWorker();
        return worker && worker->WaitingOn() == TEmulationThread::TWait::Resume;
    }, timeoutMs);
}

void DeliverQueuedCalls()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}
