// The change tints: the memory grid and the register list mark what the latest refresh of a
// run changed, clear the marks at the next refresh, and never touch the text.

#include "common/Tints.h"
#include "emulator/Machine.h"
#include "emulator/RegisterText.h"
#include "views/MemoryCellDelegate.h"
#include "views/MemoryGridModel.h"
#include "views/RegisterListView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(TRegisterBase)

namespace {

std::vector<std::uint8_t> BytesOf(const QByteArray& text)
{
    return {text.begin(), text.end()};
}

// A refresh of the register list: {current, index, value, index, value, ...}, other registers 0.
TRegisterFile RegistersOf(const QList<int>& refresh, std::uint8_t& current)
{
    TRegisterFile registers{};
    current = static_cast<std::uint8_t>(refresh.value(0));
    for (qsizetype i = 1; i + 1 < refresh.size(); i += 2)
        registers[static_cast<std::size_t>(refresh[i])] = refresh[i + 1];
    return registers;
}

QPalette DarkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(40, 90, 160));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

} // namespace

class TestChangeTints : public QObject {
    Q_OBJECT
private slots:
    void byteText_data();
    void byteText();
    void gridMarks_data();
    void gridMarks();
    void cellPainting_data();
    void cellPainting();
    void registerLines_data();
    void registerLines();
};

void TestChangeTints::byteText_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("text");
    QTest::addRow("zero keeps both digits") << 0x00 << QStringLiteral("00");
    QTest::addRow("one digit is padded") << 0x0A << QStringLiteral("0A");
    QTest::addRow("letters are uppercase") << 0xAB << QStringLiteral("AB");
    QTest::addRow("the largest byte") << 0xFF << QStringLiteral("FF");
}

// The grid's text and the painted cell come from this one table.
void TestChangeTints::byteText()
{
    QFETCH(int, byte);
    QFETCH(QString, text);
    QCOMPARE(TMemoryGridModel::ByteText(static_cast<std::uint8_t>(byte)), text);
    TMemoryGridModel grid;
    grid.SetRowCount(1);
    grid.SetBytes({static_cast<std::uint8_t>(byte)});
    QCOMPARE(grid.CellText(0, 0), text);
    QCOMPARE(grid.index(0, 0).data(Qt::DisplayRole).toString(), text);
}

void TestChangeTints::gridMarks_data()
{
    QTest::addColumn<QList<QByteArray>>("refreshes");
    QTest::addColumn<int>("beginRunAt"); // BeginRun() before this refresh (or after the last); -1 none
    QTest::addColumn<QList<int>>("marked");
    QTest::addColumn<int>("notices");
    const QByteArray abc("\x01\x02\x03", 3);
    const QByteArray aXc("\x01\x09\x03", 3);
    QByteArray big(600, '\0');
    QByteArray bigLater = big;
    bigLater[0] = 1;
    bigLater[300] = 2; // past the first block of the comparison
    bigLater[599] = 3;
    QTest::addRow("first refresh marks nothing") << QList<QByteArray>{abc} << -1 << QList<int>{} << 1;
    QTest::addRow("a changed byte is marked") << QList<QByteArray>{abc, aXc} << -1 << QList<int>{1} << 2;
    QTest::addRow("an unchanged refresh clears it") << QList<QByteArray>{abc, aXc, aXc} << -1 << QList<int>{} << 3;
    QTest::addRow("only the latest change stays")
        << QList<QByteArray>{abc, aXc, QByteArray("\x07\x09\x03", 3)} << -1 << QList<int>{0} << 3;
    QTest::addRow("changes in later blocks") << QList<QByteArray>{big, bigLater} << -1 << QList<int>{0, 300, 599} << 2;
    QTest::addRow("bytes the image grew by") << QList<QByteArray>{abc, abc + "\x05"} << -1 << QList<int>{3} << 2;
    QTest::addRow("a new run's first refresh marks nothing") << QList<QByteArray>{abc, aXc} << 1 << QList<int>{} << 2;
    QTest::addRow("BeginRun clears the marks at once") << QList<QByteArray>{abc, aXc} << 2 << QList<int>{} << 3;
    QTest::addRow("BeginRun without marks says nothing") << QList<QByteArray>{abc, abc} << 2 << QList<int>{} << 2;
}

void TestChangeTints::gridMarks()
{
    QFETCH(QList<QByteArray>, refreshes);
    QFETCH(int, beginRunAt);
    QFETCH(QList<int>, marked);
    QFETCH(int, notices);
    TMemoryGridModel grid;
    grid.SetRowCount(TMemoryGridModel::RowsForSize(refreshes.last().size()));
    QSignalSpy spy(&grid, &QAbstractItemModel::dataChanged);
    for (qsizetype i = 0; i < refreshes.size(); ++i) {
        if (i == beginRunAt)
            grid.BeginRun();
        grid.SetBytes(BytesOf(refreshes[i]));
    }
    if (beginRunAt == refreshes.size())
        grid.BeginRun();
    // One notice per refresh: the paced benchmark counts refreshes by them.
    QCOMPARE(spy.count(), notices);
    const QByteArray& shown = refreshes.last();
    for (int at = 0; at < grid.rowCount() * TMemoryGridModel::ColCount; ++at) {
        const int column = at % TMemoryGridModel::ColCount;
        const int row = at / TMemoryGridModel::ColCount;
        const bool expected = marked.contains(at);
        QCOMPARE(grid.CellChanged(column, row), expected);
        QCOMPARE(grid.index(row, column).data(TMemoryGridModel::ChangedRole).toBool(), expected);
        // A mark never changes the text.
        const QString text = at < shown.size()
                                 ? QStringLiteral("%1").arg(static_cast<std::uint8_t>(shown[at]), 2, 16, QLatin1Char('0')).toUpper()
                                 : QString();
        QCOMPARE(grid.CellText(column, row), text);
    }
    QCOMPARE(grid.ChangedAddresses().size(), static_cast<std::size_t>(marked.size()));
}

void TestChangeTints::cellPainting_data()
{
    QTest::addColumn<QPalette>("palette");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<int>("expected"); // the colour role behind the text; -1: the change tint
    const QPalette light = QApplication::palette();
    QTest::addRow("changed cell is tinted") << light << true << false << -1;
    QTest::addRow("unchanged cell keeps the base") << light << false << false << int(QPalette::Base);
    QTest::addRow("selection wins over the tint") << light << true << true << int(QPalette::Highlight);
    QTest::addRow("dark palette tint") << DarkPalette() << true << false << -1;
}

void TestChangeTints::cellPainting()
{
    QFETCH(QPalette, palette);
    QFETCH(bool, changed);
    QFETCH(bool, selected);
    QFETCH(int, expected);
    TMemoryGridModel grid;
    grid.SetRowCount(1);
    grid.SetBytes({0x0A});
    grid.SetBytes({static_cast<std::uint8_t>(changed ? 0x0B : 0x0A)});
    TMemoryCellDelegate delegate;
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(palette.color(QPalette::Active, QPalette::Base)); // the viewport's background
    QStyleOptionViewItem option;
    option.rect = image.rect();
    option.palette = palette;
    option.font = QApplication::font();
    option.state = QStyle::State_Enabled | QStyle::State_Active;
    if (selected)
        option.state |= QStyle::State_Selected;
    {
        QPainter painter(&image);
        delegate.paint(&painter, option, grid.index(0, 0));
    }
    const QColor tint = ChangeTint(palette, QPalette::Active);
    const QColor want = expected < 0 ? tint : palette.color(QPalette::Active, QPalette::ColorRole(expected));
    // A corner of the cell: the two digits are centred and never reach it.
    QCOMPARE(image.pixelColor(1, 1), want);
    // The tint lies between the base and the selection colour, so text stays readable on it.
    const int base = palette.color(QPalette::Active, QPalette::Base).lightness();
    const int mark = palette.color(QPalette::Active, QPalette::Highlight).lightness();
    QVERIFY(tint != palette.color(QPalette::Active, QPalette::Base));
    QVERIFY(tint.lightness() >= std::min(base, mark) && tint.lightness() <= std::max(base, mark));
}

void TestChangeTints::registerLines_data()
{
    QTest::addColumn<QList<QList<int>>>("refreshes");
    QTest::addColumn<int>("beginRunAt"); // as in gridMarks
    QTest::addColumn<int>("baseAt"); // SetBase(base) before this refresh (or after the last); -1 none
    QTest::addColumn<TRegisterBase>("base");
    QTest::addColumn<QList<int>>("tinted");
    const TRegisterBase dec = TRegisterBase::SignedDecimal;
    const TRegisterBase hex = TRegisterBase::Hexadecimal;
    const TRegisterBase unsig = TRegisterBase::UnsignedDecimal;
    QTest::addRow("first refresh tints nothing")
        << QList<QList<int>>{{0, 0, 5}} << -1 << -1 << dec << QList<int>{};
    QTest::addRow("changed values are tinted")
        << QList<QList<int>>{{0}, {0, 0, 5, 14, -1}} << -1 << -1 << dec << QList<int>{0, 14};
    QTest::addRow("the mark moving is no change")
        << QList<QList<int>>{{0, 2, 7}, {2, 2, 7}} << -1 << -1 << dec << QList<int>{};
    QTest::addRow("an unchanged refresh clears it")
        << QList<QList<int>>{{0}, {0, 1, 3}, {1, 1, 3}} << -1 << -1 << dec << QList<int>{};
    QTest::addRow("a new run's first step is measured from its start")
        << QList<QList<int>>{{0}, {0, 1, 3}} << 1 << -1 << dec << QList<int>{1};
    QTest::addRow("not from the run before")
        << QList<QList<int>>{{0, 1, 3}, {0, 4, 2}} << 1 << -1 << dec << QList<int>{4};
    QTest::addRow("BeginRun clears the tints at once")
        << QList<QList<int>>{{0}, {0, 1, 3}} << 2 << -1 << dec << QList<int>{};
    // Another base writes the same values: the tints stay those of the last step.
    QTest::addRow("a new base keeps the tints")
        << QList<QList<int>>{{0}, {3, 0, 5, 14, -1}} << -1 << 2 << hex << QList<int>{0, 14};
    QTest::addRow("a new base tints nothing")
        << QList<QList<int>>{{2, 0, 5, 1, -1}} << -1 << 1 << hex << QList<int>{};
    QTest::addRow("the refresh after a new base compares values, not texts")
        << QList<QList<int>>{{0, 1, 3, 2, -1}, {0, 1, 3, 2, -1}} << -1 << 1 << unsig
        << QList<int>{};
    QTest::addRow("chosen before the first refresh")
        << QList<QList<int>>{{14, 14, -1}} << -1 << 0 << unsig << QList<int>{};
    QTest::addRow("back to signed decimal") // from hexadecimal
        << QList<QList<int>>{{0}, {1, 1, -8}} << -1 << 2 << dec << QList<int>{1};
}

void TestChangeTints::registerLines()
{
    QFETCH(QList<QList<int>>, refreshes);
    QFETCH(int, beginRunAt);
    QFETCH(int, baseAt);
    QFETCH(TRegisterBase, base);
    QFETCH(QList<int>, tinted);
    TRegisterListView list;
    if (base == TRegisterBase::SignedDecimal && baseAt >= 0)
        list.SetBase(TRegisterBase::Hexadecimal); // so that going back is a change
    TRegisterFile registers{};
    std::uint8_t current = 0;
    for (qsizetype i = 0; i < refreshes.size(); ++i) {
        if (i == beginRunAt)
            list.BeginRun(TMachine::StartRegisters);
        if (i == baseAt)
            list.SetBase(base);
        registers = RegistersOf(refreshes[i], current);
        list.ShowRegisters(registers, current);
    }
    if (beginRunAt == refreshes.size())
        list.BeginRun(TMachine::StartRegisters);
    if (baseAt == refreshes.size())
        list.SetBase(base);
    QCOMPARE(list.Base(), base);
    const std::vector<std::string> lines = RegisterLines(registers, current, base);
    QCOMPARE(list.count(), 15);
    for (int i = 0; i < list.count(); ++i) {
        QCOMPARE(list.LineChanged(i), tinted.contains(i));
        QCOMPARE(list.item(i)->background().style() != Qt::NoBrush, tinted.contains(i));
        QCOMPARE(list.item(i)->text(), QString::fromStdString(lines[static_cast<std::size_t>(i)]));
    }
}

QTEST_MAIN(TestChangeTints)
#include "test_change_tints.moc"
