// The Open Recent list: newest first, at most eight, one entry per file however it is
// spelled, kept in settings of the test's own.

#include "files/RecentFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A temporary folder with a settings file of its own; names are paths relative to it.
struct TRecentFixture {
    TRecentFixture()
        : settings(dir.filePath(QStringLiteral("recent.ini")), QSettings::IniFormat),
          base(QFileInfo(dir.path()).canonicalFilePath() + u'/')
    {
        QDir(dir.path()).mkdir(QStringLiteral("sub"));
    }

    // Creates the file unless its name says it is gone; "link" is a symbolic link to "a".
    QString Make(const QString& name)
    {
        const QString path = dir.filePath(name);
        if (name == QStringLiteral("link"))
            QFile::link(dir.filePath(QStringLiteral("a")), path);
        else if (!name.startsWith(QStringLiteral("gone")) && !name.contains(QStringLiteral("..")))
            QFile(path).open(QIODevice::WriteOnly);
        return path;
    }

    QStringList Names(const TRecentFiles& recent) const
    {
        QStringList names;
        // A file that is gone is listed by its absolute path, which need not be canonical.
        const QString raw = dir.path() + u'/';
        for (QString file : recent.Files()) {
            if (file.startsWith(base))
                file.remove(0, base.size());
            else if (file.startsWith(raw))
                file.remove(0, raw.size());
            names.append(file);
        }
        return names;
    }

    QTemporaryDir dir;
    QSettings settings;
    QString base;
};

QStringList Numbered(int from, int to, int step)
{
    QStringList names;
    for (int i = from; i != to + step; i += step)
        names.append(QString::number(i));
    return names;
}

} // namespace

class TestRecentFiles : public QObject {
    Q_OBJECT
private slots:
    void add_data();
    void add();
    void removeAndClear();
    void dropIfGone();
    void keptInSettings();
};

void TestRecentFiles::add_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("listed");

    const auto list = [](std::initializer_list<const char16_t*> names) {
        QStringList result;
        for (const char16_t* name : names)
            result.append(QString::fromUtf16(name));
        return result;
    };
    QTest::addRow("newest first") << list({u"a", u"b", u"c"}) << list({u"c", u"b", u"a"});
    QTest::addRow("again moves to front") << list({u"a", u"b", u"c", u"a"})
                                          << list({u"a", u"c", u"b"});
    QTest::addRow("at most eight") << Numbered(1, 10, 1) << Numbered(10, 3, -1);
    QTest::addRow("same file through ..") << list({u"a", u"b", u"sub/../a"}) << list({u"a", u"b"});
    QTest::addRow("same file through a link") << list({u"a", u"b", u"link"}) << list({u"a", u"b"});
    QTest::addRow("missing file by its path") << list({u"a", u"gone"}) << list({u"gone", u"a"});
    QTest::addRow("empty path ignored") << list({u"a", u""}) << list({u"a"});
}

void TestRecentFiles::add()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, listed);

    TRecentFixture fixture;
    TRecentFiles recent(fixture.settings);
    for (const QString& name : added)
        recent.Add(name.isEmpty() ? QString() : fixture.Make(name));
    QCOMPARE(fixture.Names(recent), listed);
}

void TestRecentFiles::removeAndClear()
{
    TRecentFixture fixture;
    TRecentFiles recent(fixture.settings);
    for (const char* name : {"a", "b", "c"})
        recent.Add(fixture.Make(QString::fromLatin1(name)));
    recent.Remove(fixture.dir.filePath(QStringLiteral("sub/../b")));
    QCOMPARE(fixture.Names(recent), (QStringList{QStringLiteral("c"), QStringLiteral("a")}));
    recent.Remove(fixture.Make(QStringLiteral("link")));
    QCOMPARE(fixture.Names(recent), QStringList{QStringLiteral("c")});
    recent.Clear();
    QCOMPARE(recent.Files(), QStringList());
}

void TestRecentFiles::dropIfGone()
{
    TRecentFixture fixture;
    TRecentFiles recent(fixture.settings);
    const QString a = fixture.Make(QStringLiteral("a"));
    const QString b = fixture.Make(QStringLiteral("b"));
    recent.Add(a);
    recent.Add(b);
    QVERIFY(!recent.DropIfGone(recent.Files().at(1)));
    QCOMPARE(recent.Files().size(), 2);
    QVERIFY(QFile::remove(a));
    QVERIFY(recent.DropIfGone(recent.Files().at(1)));
    QCOMPARE(fixture.Names(recent), QStringList{QStringLiteral("b")});
}

void TestRecentFiles::keptInSettings()
{
    TRecentFixture fixture;
    TRecentFiles(fixture.settings).Add(fixture.Make(QStringLiteral("a")));
    fixture.settings.sync();
    QSettings reopened(fixture.settings.fileName(), QSettings::IniFormat);
    QCOMPARE(fixture.Names(TRecentFiles(reopened)), QStringList{QStringLiteral("a")});

    // A hand-edited list: empty entries are skipped and the length is capped.
    QStringList edited = Numbered(1, 12, 1);
    edited.insert(1, QString());
    reopened.setValue(QStringLiteral("recentFiles"), edited);
    QCOMPARE(TRecentFiles(reopened).Files(), Numbered(1, 8, 1));
}

QTEST_GUILESS_MAIN(TestRecentFiles)
#include "test_recent_files.moc"
