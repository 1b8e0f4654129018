#pragma once
// Helpers for tests that drive a run session: waiting for its worker and for the calls it
// posted to the window's thread.

class TRunSession;

// Waits until the current run's worker is parked: paused, and blocked until it is resumed.
// A parked worker has no window call outstanding, so the views already show all it did, and
// it cannot advance however long it is left.
bool WaitUntilParked(const TRunSession& session, int timeoutMs = 5000);

// Runs the window's thread until every call already queued to it has been delivered.
void DeliverQueuedCalls();
