#include "common/ErrorBox.h"

#include "common/ApplicationNames.h"
#include "translator/ErrorText.h"

#include <QMessageBox>
#include <QPushButton>

QString ErrorBoxText(const QString& message)
{
    return QString::fromStdString(WithFinalPeriod(message.toStdString()));
}

namespace {

// Application-modal: no window takes input until the box is closed, and the window is usable
// again afterwards. The box runs its own event loop, so hook calls of running workers are
// still served while it is open.
int ExecErrorBox(QMessageBox& box)
{
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec();
}

} // namespace

void ShowErrorBox(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), ErrorBoxText(message),
                    QMessageBox::Ok, parent);
    ExecErrorBox(box);
}

bool ShowSaveErrorBox(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), ErrorBoxText(message),
                    QMessageBox::Save | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("SaveFailedBox"));
    box.button(QMessageBox::Save)->setText(QStringLiteral("Save As\u2026"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    return ExecErrorBox(box) == QMessageBox::Save;
}
