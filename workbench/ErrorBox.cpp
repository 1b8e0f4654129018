#include "ErrorBox.h"

#include "ErrorText.h"

#include <QMessageBox>

QString ApplicationTitle()
{
    return QStringLiteral("Mirelo");
}

QString ErrorBoxText(const QString& message)
{
    return QString::fromStdString(WithFinalPeriod(message.toStdString()));
}

void ShowErrorBox(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), ErrorBoxText(message),
                    QMessageBox::Ok, parent);
    // Modal for the whole application like the box it stands for; the window stays usable
    // afterwards, and hook calls of running workers are still served while it is open.
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
