#pragma once
// Keeps a window's unsaved program in its recovery slot: the text is written at most
// TRecoverySlot::WriteDelay after a change, and removed once the document no longer differs
// from its file (the text typed back, saved, or replaced after Discard) or the window closes
// normally. At start, OfferAbandoned() offers the texts of windows that did not close normally
// (Restore / Discard).
//
// The slot (and its lock file) is taken at the first write, so a window never changed leaves
// nothing behind.

#include "files/RecoverySlot.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class QWidget;
class TProgramDocument;

class TRecoveryController : public QObject {
    Q_OBJECT
public:
    TRecoveryController(TProgramDocument& document, QString folder = TRecoverySlot::DefaultFolder(),
                        QObject* parent = nullptr);
    ~TRecoveryController() override;

    // Offers each abandoned text, newest first, until one is restored into the document;
    // Discard removes a text for good, while one not offered (or whose box was closed without
    // an answer) stays for a later start. Returns whether a text was restored.
    bool OfferAbandoned(QWidget* parent);

    // The window closes normally: its text goes.
    void Remove();
    // Writes now whatever is pending.
    void WriteNow();

    // The recovery file of this window; empty before its first write.
    QString TextPath() const;
    bool WritePending() const { return timer_.isActive(); }

signals:
    // A write failed; the message names the recovery file and the reason. Given once per
    // different message, so a folder that stays unwritable does not repeat it on every change.
    void WriteFailed(const QString& message);

private:
    void Changed();

    TProgramDocument& document_;
    QString folder_;
    std::unique_ptr<TRecoverySlot> slot_;
    QTimer timer_;
    QString lastError_;
};
