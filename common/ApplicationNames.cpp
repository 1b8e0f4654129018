#include "common/ApplicationNames.h"

#include <QGuiApplication>

#ifndef MIRELO_VERSION
#error "MIRELO_VERSION must name the build's version"
#endif

QString ApplicationTitle()
{
    return QStringLiteral("Mirelo");
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
