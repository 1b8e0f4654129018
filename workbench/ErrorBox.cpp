#include "ErrorBox.h"

#include "ApplicationNames.h"
#include "ErrorText.h"

#include <QMessageBox>

QString ErrorBoxText(const QString& message)
{
    return QString::fromStdString(WithFinalPeriod(message.toStdString()));
}

void ShowErrorBox(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), ErrorBoxText(message),
                    QMessageBox::Ok, parent);
    // Application-modal: no window takes input until the box is closed, and the window is
    // usable again afterwards. The box runs its own event loop, so hook calls of running
    // workers are still served while it is open.
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
