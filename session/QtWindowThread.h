#pragma once
// Runs the worker's window calls on the Qt thread that owns a context object.

#include "emulator/WindowHooks.h"

class QObject;

class TQtWindowThread : public IWindowThread {
public:
    // The context must live on the window's thread and outlive every worker that posts here.
    explicit TQtWindowThread(QObject& context);

    // Queued to the context's event loop; calls still queued when the context is destroyed
    // are dropped by Qt.
    void Post(std::function<void()> call) override;

private:
    QObject& context_;
};
