#include "document/RecoveryController.h"

#include "common/ApplicationNames.h"
#include "document/ProgramDocument.h"
#include "files/ProgramFile.h"

#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace {

enum class TOfferAnswer { Restore, Discard, Later };

// Restore or Discard for one abandoned text; a box closed without either leaves the text for
// a later start.
TOfferAnswer AskRestore(QWidget* parent, const TRecoveredProgram& recovered,
                        const QDateTime& changed)
{
    const QString name = recovered.FilePath.isEmpty()
                             ? QStringLiteral("a program that was never saved")
                             : ShownPath(recovered.FilePath);
    const qsizetype lines = recovered.Program.Text.count(QLatin1Char('\n')) + 1;
    QMessageBox box(QMessageBox::Question, ApplicationTitle(QStringLiteral("Unsaved program")),
                    QStringLiteral("A %1 window closed without saving %2.").arg(ApplicationTitle(), name),
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("RestoreBox"));
    box.setInformativeText(QStringLiteral("Its text (%1 %2, last changed %3) was kept. Restore it?")
                               .arg(lines)
                               .arg(lines == 1 ? QStringLiteral("line") : QStringLiteral("lines"))
                               .arg(QLocale().toString(changed, QLocale::ShortFormat)));
    QPushButton* restore = box.addButton(QStringLiteral("Restore"), QMessageBox::AcceptRole);
    QAbstractButton* discard = box.addButton(QMessageBox::Discard);
    box.setDefaultButton(restore);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    if (box.clickedButton() == restore)
        return TOfferAnswer::Restore;
    return box.clickedButton() == discard ? TOfferAnswer::Discard : TOfferAnswer::Later;
}

} // namespace

TRecoveryController::TRecoveryController(TProgramDocument& document, QString folder,
                                         QObject* parent)
    : QObject(parent), document_(document), folder_(std::move(folder))
{
    timer_.setSingleShot(true);
    timer_.setInterval(TRecoverySlot::WriteDelay);
    connect(&timer_, &QTimer::timeout, this, &TRecoveryController::WriteNow);
    // Saving reports a change too, and a discarded text is always replaced or closed: the
    // text goes as soon as the document no longer differs from its file.
    connect(&document_, &TProgramDocument::Changed, this, &TRecoveryController::Changed);
}

TRecoveryController::~TRecoveryController() = default;

void TRecoveryController::Changed()
{
    if (!document_.IsModified()) {
        Remove();
        return;
    }
    // Not restarted by later changes: steady typing is still written every WriteDelay.
    if (!timer_.isActive())
        timer_.start();
}

void TRecoveryController::WriteNow()
{
    timer_.stop();
    if (!document_.IsModified())
        return;
    if (!slot_)
        slot_ = std::make_unique<TRecoverySlot>(folder_);
    const QString error =
        slot_->Write(TRecoveredProgram{document_.FilePath(), document_.Program()});
    if (!error.isEmpty() && error != lastError_)
        emit WriteFailed(error);
    lastError_ = error;
}

void TRecoveryController::Remove()
{
    timer_.stop();
    if (slot_)
        slot_->Remove();
}

QString TRecoveryController::TextPath() const
{
    return slot_ ? slot_->TextPath() : QString();
}

bool TRecoveryController::OfferAbandoned(QWidget* parent)
{
    std::vector<std::unique_ptr<TRecoverySlot>> abandoned = TRecoverySlot::TakeAbandoned(folder_);
    // Oldest first as taken: the newest is the one most likely wanted.
    std::reverse(abandoned.begin(), abandoned.end());
    for (const auto& slot : abandoned) {
        const std::optional<TRecoveredProgram> recovered = slot->Read();
        if (!recovered)
            continue;
        const TOfferAnswer answer =
            AskRestore(parent, *recovered, QFileInfo(slot->TextPath()).lastModified());
        if (answer == TOfferAnswer::Discard)
            slot->Remove();
        if (answer != TOfferAnswer::Restore)
            continue;
        document_.Restore(*recovered);
        // Kept in this window's own slot before the old one goes, so no moment holds neither.
        WriteNow();
        if (lastError_.isEmpty())
            slot->Remove();
        return true;
    }
    return false;
}
