// Program files: decoding any bytes into editor text or a clear refusal, saving in the kept
// style, and failed saves that leave the old file byte for byte as it was.

#include "files/ProgramFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

Q_DECLARE_METATYPE(TLineBreak)

namespace {

QByteArray Bytes(const char* text)
{
    return QByteArray(text);
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(),
             qPrintable(path));
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The file's identity on disk: a rename over it gives a new one.
quint64 Inode(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
#else
    Q_UNUSED(path);
    return 0;
#endif
}

} // namespace

class TestProgramFile : public QObject {
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void decodeRefuses_data();
    void decodeRefuses();
    void encode_data();
    void encode();
    void read_data();
    void read();
    void saveReplacesFile();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void saveInPlace_data();
    void saveInPlace();
};

void TestProgramFile::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<TLineBreak>("lineBreak");
    QTest::addColumn<bool>("mark");

    const auto row = [](const char* name, const QByteArray& bytes, const QString& text,
                        TLineBreak lineBreak, bool mark = false) {
        QTest::addRow("%s", name) << bytes << text << lineBreak << mark;
    };
    const auto lf = TLineBreak::Lf, crlf = TLineBreak::CrLf, cr = TLineBreak::Cr;
    row("empty file", QByteArray(), QString(), lf);
    row("no line break", Bytes("stop"), QStringLiteral("stop"), lf);
    row("lf", Bytes("add ah\nstop\n"), QStringLiteral("add ah\nstop\n"), lf);
    row("crlf", Bytes("a\r\nb\r\n"), QStringLiteral("a\nb\n"), crlf);
    row("cr only", Bytes("a\rb\r"), QStringLiteral("a\nb\n"), cr);
    row("mixed, crlf first", Bytes("a\r\nb\nc\rd"), QStringLiteral("a\nb\nc\nd"), crlf);
    row("mixed, lf first", Bytes("a\nb\r\n\r"), QStringLiteral("a\nb\n\n"), lf);
    row("utf-8", Bytes("; gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC\n"), QStringLiteral("; grüße €\n"),
        lf);
    row("latin-1 fallback", Bytes("; gr\xFC\xDF\r\n"), QStringLiteral("; grüß\n"), crlf);
    row("cut utf-8 sequence is latin-1", Bytes("a\xE2\x82"), QStringLiteral("aâ\u0082"), lf);
    row("overlong utf-8 is latin-1", Bytes("\xC0\xAF"), QStringLiteral("À¯"), lf);
    row("encoded surrogate is latin-1", Bytes("\xED\xA0\x80"), QStringLiteral("í\u00A0\u0080"),
        lf);
    row("mark", Bytes("\xEF\xBB\xBF" "add\r\n"), QStringLiteral("add\n"), crlf, true);
    row("second mark stays text", Bytes("\xEF\xBB\xBF\xEF\xBB\xBFx"), QStringLiteral("\uFEFFx"),
        lf, true);
    row("mark before latin-1 is text", Bytes("\xEF\xBB\xBF\xFC"), QStringLiteral("ï»¿ü"), lf);
    row("exactly 4 MiB", QByteArray(MaxProgramFileBytes, 'a'), QString(MaxProgramFileBytes, u'a'),
        lf);
}

void TestProgramFile::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(TLineBreak, lineBreak);
    QFETCH(bool, mark);

    const TProgramRead read = DecodeProgram(bytes, QStringLiteral("prog.mir"));
    QVERIFY2(read.Program, qPrintable(read.Error));
    QCOMPARE(read.Error, QString());
    QCOMPARE(read.Program->Text, text);
    QCOMPARE(read.Program->LineBreak, lineBreak);
    QCOMPARE(read.Program->ByteOrderMark, mark);
    // Saving what was read and reading it again gives the same program.
    QCOMPARE(DecodeProgram(EncodeProgram(*read.Program), QString()).Program, read.Program);
}

void TestProgramFile::decodeRefuses_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");

    QTest::addRow("nul alone") << QByteArray(1, '\0')
                               << QStringLiteral("it holds a NUL byte on line 1");
    QTest::addRow("nul on line 3") << QByteArray("a\nb\r\n\0c", 7) << QStringLiteral("on line 3,");
    QTest::addRow("lone cr counts") << QByteArray("a\rb\r\0", 5) << QStringLiteral("on line 3,");
    QTest::addRow("utf-16 text") << QByteArray("\xFF\xFE" "a\0", 4) << QStringLiteral("on line 1,");
    QTest::addRow("one byte over 4 MiB")
        << QByteArray(MaxProgramFileBytes + 1, 'a')
        << QStringLiteral("it is larger than 4 MiB (4194305 bytes)");
}

void TestProgramFile::decodeRefuses()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);

    const TProgramRead read = DecodeProgram(bytes, QStringLiteral("prog.mir"));
    QVERIFY(!read.Program);
    QVERIFY2(read.Error.startsWith(QStringLiteral("Could not open prog.mir: ")),
             qPrintable(read.Error));
    QVERIFY2(read.Error.contains(reason), qPrintable(read.Error));
}

void TestProgramFile::encode_data()
{
    QTest::addColumn<QByteArray>("opened");
    QTest::addColumn<QByteArray>("saved");

    QTest::addRow("cr kept") << Bytes("a\rb\r") << Bytes("a\rb\r");
    QTest::addRow("crlf and mark kept")
        << Bytes("\xEF\xBB\xBFx\r\n\r\n") << Bytes("\xEF\xBB\xBFx\r\n\r\n");
    QTest::addRow("mixed takes first style") << Bytes("a\r\nb\nc\rd") << Bytes("a\r\nb\r\nc\r\nd");
    QTest::addRow("latin-1 saved as utf-8") << Bytes("\xFC\r\n") << Bytes("\xC3\xBC\r\n");
}

void TestProgramFile::encode()
{
    QFETCH(QByteArray, opened);
    QFETCH(QByteArray, saved);
    const TProgramRead read = DecodeProgram(opened, QString());
    QVERIFY(read.Program);
    QCOMPARE(EncodeProgram(*read.Program), saved);
}

void TestProgramFile::read_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");   // empty: the file opens

    QTest::addRow("regular file") << QStringLiteral("file") << QString();
    QTest::addRow("missing") << QStringLiteral("missing") << QStringLiteral("No such file");
    QTest::addRow("folder") << QStringLiteral("folder") << QStringLiteral("it is a folder");
    QTest::addRow("over 4 MiB") << QStringLiteral("large") << QStringLiteral("larger than 4 MiB");
#ifdef Q_OS_UNIX
    // Opening a pipe for reading would wait for a writer forever.
    QTest::addRow("pipe") << QStringLiteral("pipe") << QStringLiteral("it is not a regular file");
    QTest::addRow("unreadable") << QStringLiteral("unreadable")
                                << QStringLiteral("Permission denied");
#endif
}

void TestProgramFile::read()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("prog.mir"));
    if (kind == QStringLiteral("file") || kind == QStringLiteral("unreadable")) {
        WriteFile(path, "add ah\r\nstop\r\n");
    } else if (kind == QStringLiteral("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("prog.mir")));
    } else if (kind == QStringLiteral("large")) {
        WriteFile(path, "x");
        QVERIFY(QFile::resize(path, MaxProgramFileBytes + 1));
    }
#ifdef Q_OS_UNIX
    if (kind == QStringLiteral("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (kind == QStringLiteral("unreadable")) {
        if (::geteuid() == 0)
            QSKIP("root reads files whatever their permissions");
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    }
#endif

    const TProgramRead read = ReadProgramFile(path);
    if (reason.isEmpty()) {
        QVERIFY2(read.Program, qPrintable(read.Error));
        QCOMPARE(read.Program->Text, QStringLiteral("add ah\nstop\n"));
        QCOMPARE(read.Program->LineBreak, TLineBreak::CrLf);
        return;
    }
    QVERIFY(!read.Program);
    const QString shown = QDir::toNativeSeparators(path);
    const QString prefix = QStringLiteral("Could not open %1: ").arg(shown);
    QVERIFY2(read.Error.startsWith(prefix), qPrintable(read.Error));
    QVERIFY2(read.Error.contains(reason), qPrintable(read.Error));
}

void TestProgramFile::saveReplacesFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("prog.mir"));
    const TProgramText first{QStringLiteral("add ah\nstop\n"), TLineBreak::CrLf, true};
    QCOMPARE(SaveProgramFile(path, first), QString());
    QCOMPARE(FileBytes(path), Bytes("\xEF\xBB\xBF" "add ah\r\nstop\r\n"));
    QCOMPARE(SaveProgramFile(path, {QStringLiteral("ü"), TLineBreak::Lf, false}), QString());
    QCOMPARE(FileBytes(path), Bytes("\xC3\xBC"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("prog.mir")});
}

void TestProgramFile::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addRow("folder in the way") << QStringLiteral("folder");
    QTest::addRow("parent is a file") << QStringLiteral("parent file");
#ifdef Q_OS_UNIX
    // A writable file there is rewritten in place (saveInPlace); a read-only one is not.
    QTest::addRow("read-only file in read-only folder") << QStringLiteral("read-only");
    // Cuts the write short as a full disk would, and stops root as well.
    QTest::addRow("file size limit") << QStringLiteral("size limit");
    QTest::addRow("file size limit, rewritten in place") << QStringLiteral("in place limit");
#endif
}

void TestProgramFile::failedSaveKeepsOldFile()
{
    QFETCH(QString, obstacle);

    QTemporaryDir dir;
    const QByteArray old("old\r\ntext \xFC\n");
    const QString folder = dir.filePath(QStringLiteral("work"));
    QVERIFY(QDir().mkpath(folder));
    QString oldFile = folder + QStringLiteral("/prog.mir");
    QString target = oldFile;
    if (obstacle == QStringLiteral("folder")) {
        QVERIFY(QDir(folder).mkdir(QStringLiteral("prog.mir")));
        oldFile = target + QStringLiteral("/kept.mir");
    } else if (obstacle == QStringLiteral("parent file")) {
        target = oldFile + QStringLiteral("/prog.mir");
    }
    WriteFile(oldFile, old);
    const auto entries = [&folder] {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    };
    const QStringList before = entries();

    const TProgramText program{QString(64 * 1024, u'x'), TLineBreak::Lf, false};
    QString error;
#ifdef Q_OS_UNIX
    if (obstacle == QStringLiteral("read-only")) {
        if (::geteuid() == 0)
            QSKIP("root writes into read-only folders; the other rows fail for root too");
        QVERIFY(QFile::setPermissions(oldFile, QFileDevice::ReadOwner));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        error = SaveProgramFile(target, program);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    } else if (obstacle.endsWith(QStringLiteral("limit"))) {
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 4096;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        error = obstacle == QStringLiteral("size limit") ? SaveProgramFile(target, program)
                                                         : RewriteProgramFile(target, program);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    }
#endif
    if (obstacle == QStringLiteral("folder") || obstacle == QStringLiteral("parent file"))
        error = SaveProgramFile(target, program);

    const QString shown = QDir::toNativeSeparators(target);
    const QString prefix = QStringLiteral("Could not save %1: ").arg(shown);
    QVERIFY2(error.startsWith(prefix) && error.size() > prefix.size(), qPrintable(error));
    QCOMPARE(FileBytes(oldFile), old);
    // No temporary file is left behind.
    QCOMPARE(entries(), before);
}

void TestProgramFile::saveInPlace_data()
{
    QTest::addColumn<QString>("way");
#ifdef Q_OS_UNIX
    QTest::addRow("writable file in read-only folder") << QStringLiteral("read-only folder");
#endif
    QTest::addRow("rewritten in place") << QStringLiteral("rewrite");
}

// The same file (not a new one renamed over it) gets the whole new text, and nothing else
// appears in its folder.
void TestProgramFile::saveInPlace()
{
    QFETCH(QString, way);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("prog.mir"));
    WriteFile(path, QByteArray(300, 'o'));
    const quint64 inode = Inode(path);
    const TProgramText program{QStringLiteral("inc\nstop"), TLineBreak::CrLf, false};
    QString error;
#ifdef Q_OS_UNIX
    if (way == QStringLiteral("read-only folder")) {
        if (::geteuid() == 0)
            QSKIP("root writes into read-only folders; the rewrite row covers the in-place way");
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        error = SaveProgramFile(path, program);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
    }
#endif
    if (way == QStringLiteral("rewrite"))
        error = RewriteProgramFile(path, program);
    QCOMPARE(error, QString());
    QCOMPARE(FileBytes(path), Bytes("inc\r\nstop"));
    QCOMPARE(Inode(path), inode);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("prog.mir")});
    // The in-place way never makes a file that was not there.
    const QString missing = dir.filePath(QStringLiteral("new.mir"));
    QVERIFY(RewriteProgramFile(missing, program).startsWith(QStringLiteral("Could not save ")));
    QVERIFY(!QFile::exists(missing));
}

QTEST_GUILESS_MAIN(TestProgramFile)
#include "test_program_file.moc"
