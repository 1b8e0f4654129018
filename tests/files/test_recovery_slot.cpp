// Recovery slots: what a window writes comes back whole, a normal close leaves nothing, and
// at start only slots whose owner is gone are offered, never one of a window still running
// (in this process or another). Other owners are this test program started again as a helper
// that holds a slot until its input closes or it is killed.

#include "files/RecoverySlot.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <iostream>
#include <string>

namespace {

const QString HolderSwitch = QStringLiteral("--hold-recovery-slot");

const TRecoveredProgram HeldByHelper{QStringLiteral("/home/student/loop.mir"),
                                     {QStringLiteral("add ah\nstop\n"), TLineBreak::CrLf, false}};

// The helper: takes a slot in folder, writes unless told "empty", prints the slot's text path
// and holds the slot until its standard input closes, then closes normally.
int HoldSlot(const QString& folder, bool write)
{
    TRecoverySlot slot(folder);
    if (write && !slot.Write(HeldByHelper).isEmpty())
        return 2;
    std::cout << slot.TextPath().toStdString() << std::endl;
    for (std::string line; std::getline(std::cin, line);) {
    }
    slot.Remove();
    return 0;
}

// Starts a helper holding a slot in folder and waits until it has taken it.
bool StartHolder(QProcess& holder, const QString& folder, bool write)
{
    holder.start(QCoreApplication::applicationFilePath(),
                 {HolderSwitch, folder, write ? QStringLiteral("write") : QStringLiteral("empty")});
    while (!holder.canReadLine())
        if (!holder.waitForReadyRead(30000))
            return false;
    return true;
}

QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestRecoverySlot : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void writeAndRead_data();
    void writeAndRead();
    void normalCloseLeavesNothing();
    void onlySlotOfDestroyedWindowOfferedOnce();
    void killedHelperOfferedLiveOneNot();
    void killedHelperWithoutTextLeavesNothing();
    void unwritableFolderReported();
};

void TestRecoverySlot::initTestCase()
{
    // Nothing here may reach the user's real data folder, not even through a default folder.
    QStandardPaths::setTestModeEnabled(true);
}

void TestRecoverySlot::writeAndRead_data()
{
    QTest::addColumn<QString>("filePath");
    QTest::addColumn<QString>("text");
    QTest::addColumn<TLineBreak>("lineBreak");

    QTest::addRow("never saved, empty") << QString() << QString() << TLineBreak::Lf;
    QTest::addRow("blank lines in text")
        << QStringLiteral("/p/a.mir") << QStringLiteral("\n\na\n\n") << TLineBreak::CrLf;
    QTest::addRow("header-like text")
        << QStringLiteral("/p/b.mir") << QStringLiteral("mark=1\nfile=x\n") << TLineBreak::Cr;
    QTest::addRow("odd path")
        << QStringLiteral("/p/100% a=b\nc ü.mir") << QStringLiteral("ü €") << TLineBreak::Lf;
}

void TestRecoverySlot::writeAndRead()
{
    QFETCH(QString, filePath);
    QFETCH(QString, text);
    QFETCH(TLineBreak, lineBreak);

    QTemporaryDir dir;
    TRecoverySlot slot(dir.path());
    QVERIFY(slot.IsLocked());
    QVERIFY(!slot.Read());
    const TRecoveredProgram program{filePath, {text, lineBreak, true}};
    QCOMPARE(slot.Write(program), QString());
    QVERIFY(slot.Read() == program);
    // The body after the header is the editor's text as it stands, readable by hand.
    QFile file(slot.TextPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().endsWith("\n\n" + text.toUtf8()));
}

void TestRecoverySlot::normalCloseLeavesNothing()
{
    QTemporaryDir dir;
    {
        TRecoverySlot slot(dir.path());
        QCOMPARE(slot.Write(HeldByHelper), QString());
        QCOMPARE(FilesIn(dir.path()).size(), 2);
        slot.Remove();
        QVERIFY(!QFile::exists(slot.TextPath()));
    }
    QCOMPARE(FilesIn(dir.path()), QStringList());
}

void TestRecoverySlot::onlySlotOfDestroyedWindowOfferedOnce()
{
    QTemporaryDir dir;
    TRecoverySlot live(dir.path());
    QCOMPARE(live.Write(HeldByHelper), QString());
    QString textPath;
    {
        TRecoverySlot gone(dir.path());
        QCOMPARE(gone.Write(HeldByHelper), QString());
        textPath = gone.TextPath();
        QVERIFY(textPath != live.TextPath());
        QVERIFY(TRecoverySlot::TakeAbandoned(dir.path()).empty());
    }
    auto taken = TRecoverySlot::TakeAbandoned(dir.path());
    QCOMPARE(taken.size(), size_t(1));
    QCOMPARE(taken[0]->TextPath(), textPath);
    QVERIFY(taken[0]->Read() == HeldByHelper);
    // While one starting window offers it, another does not.
    QVERIFY(TRecoverySlot::TakeAbandoned(dir.path()).empty());
    taken[0]->Remove();   // discarded
    taken.clear();
    live.Remove();
    // Only the live window's lock remains, until it goes.
    QCOMPARE(FilesIn(dir.path()),
             QStringList{QFileInfo(live.TextPath()).completeBaseName() + QStringLiteral(".lock")});
}

void TestRecoverySlot::killedHelperOfferedLiveOneNot()
{
    QTemporaryDir dir;
    QProcess live;
    QProcess killed;
    QVERIFY(StartHolder(live, dir.path(), true));
    QVERIFY(StartHolder(killed, dir.path(), true));
    const QString killedText = QString::fromLocal8Bit(killed.readLine().trimmed());
    // Locks an hour old: age alone never makes a running owner's slot free.
    for (const QString& name : FilesIn(dir.path())) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadWrite | QIODevice::Append));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                 QFileDevice::FileModificationTime));
    }
    QVERIFY(TRecoverySlot::TakeAbandoned(dir.path()).empty());

    killed.kill();
    QVERIFY(killed.waitForFinished(30000));
    const auto taken = TRecoverySlot::TakeAbandoned(dir.path());
    QCOMPARE(taken.size(), size_t(1));
    QCOMPARE(taken[0]->TextPath(), killedText);
    QVERIFY(taken[0]->Read() == HeldByHelper);

    // The live helper closes normally and leaves nothing; the taken slot's files remain.
    live.closeWriteChannel();
    QVERIFY(live.waitForFinished(30000));
    QCOMPARE(live.exitCode(), 0);
    QCOMPARE(FilesIn(dir.path()).size(), 2);
    QVERIFY(QFile::exists(killedText));
}

void TestRecoverySlot::killedHelperWithoutTextLeavesNothing()
{
    QTemporaryDir dir;
    QProcess killed;
    QVERIFY(StartHolder(killed, dir.path(), false));
    QCOMPARE(FilesIn(dir.path()).size(), 1);
    killed.kill();
    QVERIFY(killed.waitForFinished(30000));
    QVERIFY(TRecoverySlot::TakeAbandoned(dir.path()).empty());
    QCOMPARE(FilesIn(dir.path()), QStringList());
}

void TestRecoverySlot::unwritableFolderReported()
{
    // A regular file where the folder should be stops root as well.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("file"));
    QVERIFY(QFile(file).open(QIODevice::WriteOnly));
    TRecoverySlot slot(file + QStringLiteral("/recovery"));
    QVERIFY(!slot.IsLocked());
    const QString error = slot.Write(HeldByHelper);
    QVERIFY2(error.startsWith(QStringLiteral("Could not write the recovery file ")),
             qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("could not be created")), qPrintable(error));
    QVERIFY(TRecoverySlot::TakeAbandoned(file).empty());
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args[1] == HolderSwitch)
        return HoldSlot(args[2], args[3] == QStringLiteral("write"));
    TestRecoverySlot test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_recovery_slot.moc"
