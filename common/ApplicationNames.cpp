#include "common/ApplicationNames.h"

#include <QGuiApplication>
#include <QMessageBox>

#ifndef MIRELO_VERSION
#error "MIRELO_VERSION must name the build's version"
#endif

QString ApplicationTitle()
{
    return QStringLiteral("Mirelo");
}

QString ApplicationTitle(const QString& subject)
{
    return QStringLiteral("%1 \u2014 %2").arg(subject, ApplicationTitle());
}

void NameApplication()
{
    QGuiApplication::setApplicationName(ApplicationTitle());
    // Empty rather than unset: both keep window titles as they are, but an unset display name
    // reads back as the application name, so only an empty one shows what titles will get.
    QGuiApplication::setApplicationDisplayName(QString());
}

QString ApplicationVersion()
{
    return QStringLiteral(MIRELO_VERSION);
}

QString AboutText()
{
    return QStringLiteral("%1 %2\n\n%1 is a teaching tool for a small invented processor: "
                          "you write a program, translate it into machine code and watch it run "
                          "one instruction at a time.")
        .arg(ApplicationTitle(), ApplicationVersion());
}

void ShowAboutBox(QWidget* window)
{
    QMessageBox::about(window, QStringLiteral("About %1").arg(ApplicationTitle()), AboutText());
}
