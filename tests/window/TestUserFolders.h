#pragma once
// Window tests never touch the user's own settings or data: before anything reads them, the
// settings, data and cache folders of the test process point into a temporary folder of its
// own, removed when the process ends. Include in one file per test program and call
// IsolateUserFolders() through Q_CONSTRUCTOR_FUNCTION, so it runs before main().

#include <QByteArray>
#include <QTemporaryDir>

inline QString TestUserFolder()
{
    static QTemporaryDir folder;
    return folder.path();
}

inline void IsolateUserFolders()
{
    const QByteArray root = TestUserFolder().toUtf8();
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CACHE_HOME", root + "/cache");
}
