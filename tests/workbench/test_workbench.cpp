// The main window's layout and its three machine views, driven without a running program
// where possible.

#include "ErrorBox.h"
#include "MemoryGridModel.h"
#include "WorkbenchTestSupport.h"

#include <QFrame>
#include <QHeaderView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(TRegisterFile)

class TestWorkbench : public QObject {
    Q_OBJECT
private slots:
    void layoutMatchesDesign_data();
    void layoutMatchesDesign();
    void pagesAndEditorsAtStart();
    void memoryGridSettings();
    void selectPageOnlyShowsVisiblePages_data();
    void selectPageOnlyShowsVisiblePages();

    void errorBoxText_data();
    void errorBoxText();

    void listingLoading_data();
    void listingLoading();
    void gridRowsFollowImageSize_data();
    void gridRowsFollowImageSize();

    void showMemoryCells_data();
    void showMemoryCells();
    void showMemoryKeepsPosition();
    void bytesBeyondGridRowsStayHidden();
    void highlightSelectsOneCellWithoutScrolling();

    void showRegisters_data();
    void showRegisters();
    void showRegistersReplacesOldLines();
    void outputAccumulates();
};

void TestWorkbench::layoutMatchesDesign_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addRow("Translate") << "CustButton1" << QRect(6, 4, 73, 25) << "Translate";
    QTest::addRow("Translate & Emulate") << "CustButton2" << QRect(82, 4, 109, 25) << "Translate & Emulate";
    QTest::addRow("Emulate") << "CustButton3" << QRect(194, 4, 59, 25) << "Emulate";
    QTest::addRow("Pause") << "CustButton4" << QRect(256, 4, 49, 25) << "Pause";
    QTest::addRow("Stop") << "CustButton5" << QRect(308, 4, 55, 25) << "Stop";
}

void TestWorkbench::layoutMatchesDesign()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    TWorkbench bench;
    TForm1& form = *bench.form;
    auto* button = form.findChild<TCustButton*>(name);
    QVERIFY(button);
    QCOMPARE(button->parentWidget(), form.Panel3);
    QCOMPARE(button->geometry(), geometry);
    QCOMPARE(button->Caption(), caption);
    QCOMPARE(button->Down(), false);
    QCOMPARE(button->UpBevelInner(), TBevelCut::bvRaised);
    QCOMPARE(button->DownBevelOuter(), TBevelCut::bvLowered);

    // The designed sizes at the designed client area of 688 x 451.
    QCOMPARE(form.size(), QSize(688, 451));
    QCOMPARE(form.Panel2->geometry(), QRect(0, 0, 373, 451));
    QCOMPARE(form.PageControl1->size(), QSize(371, 408));
    QCOMPARE(form.Panel3->size(), QSize(371, 41));
    QCOMPARE(form.Memo3->geometry(), QRect(373, 0, 315, 451));
    QCOMPARE(form.windowTitle(), QStringLiteral("Mirelo"));
}

void TestWorkbench::pagesAndEditorsAtStart()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    const QStringList names = {"Panel2", "PageControl1", "TabSheet1", "TabSheet2", "TabSheet3",
                               "TabSheet4", "Memo1", "Memo2", "Memo3", "Memo4", "StringGrid1",
                               "Splitter1", "Panel1", "ListBox1", "Panel3"};
    for (const QString& name : names)
        QVERIFY2(form.findChild<QWidget*>(name), qPrintable(name));

    QCOMPARE(form.PageControl1->count(), 4);
    const QStringList captions = {"MAsm", "Asm", "Machinecode", "Memory"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(form.PageControl1->tabText(i), captions[i]);
    QCOMPARE(form.PageControl1->widget(0), form.TabSheet4);
    QCOMPARE(form.PageControl1->widget(3), form.TabSheet3);
    QVERIFY(!form.PageControl1->isTabVisible(0));
    QCOMPARE(form.PageControl1->currentIndex(), 1);

    QCOMPARE(form.Memo4->toPlainText(), QStringLiteral("Memo4"));
    QCOMPARE(form.Memo1->toPlainText().split('\n'),
             QStringList({"add ah", "xch $1,$2", ":start", "set 1", "inc", "set 3",
                          "cmp $1,$2", "jin :stop,:start", ":stop", "stop"}));
    QVERIFY(form.Memo2->toPlainText().isEmpty());
    QVERIFY(form.Memo3->toPlainText().isEmpty());
    QCOMPARE(form.ListBox1->count(), 0);
    for (QPlainTextEdit* editor : {form.Memo1, form.Memo2}) {
        QCOMPARE(editor->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(editor->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(editor->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!editor->isReadOnly());
    }
    QCOMPARE(form.Memo3->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(form.Memo3->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(!form.Memo3->isReadOnly());
    QCOMPARE(form.InstructionTable().Rows().size(), std::size_t(92));
}

void TestWorkbench::memoryGridSettings()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.SelectPage(3);
    QTableView* grid = form.StringGrid1;
    QCOMPARE(grid->model()->columnCount(), 15);
    QCOMPARE(grid->model()->rowCount(), 5);
    QCOMPARE(grid->columnWidth(14), 15);
    QCOMPARE(grid->rowHeight(4), 15);
    QVERIFY(grid->horizontalHeader()->isHidden());
    QVERIFY(grid->verticalHeader()->isHidden());
    QVERIFY(grid->showGrid());
    QCOMPARE(grid->selectionMode(), QAbstractItemView::ContiguousSelection);
    QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!(grid->model()->flags(grid->model()->index(0, 0)) & Qt::ItemIsEditable));
    QCOMPARE(form.Panel1->width(), 61);
    QCOMPARE(form.Splitter1->widget(1), form.Panel1);
}

void TestWorkbench::selectPageOnlyShowsVisiblePages_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("expected");
    QTest::addRow("hidden MAsm page is never selected") << 0 << 1;
    QTest::addRow("Machinecode") << 2 << 2;
    QTest::addRow("Memory") << 3 << 3;
    QTest::addRow("past the last page") << 4 << 1;
    QTest::addRow("negative") << -1 << 1;
}

void TestWorkbench::selectPageOnlyShowsVisiblePages()
{
    QFETCH(int, index);
    QFETCH(int, expected);
    TWorkbench bench;
    bench.form->SelectPage(index);
    QCOMPARE(bench.form->PageControl1->currentIndex(), expected);
}

void TestWorkbench::errorBoxText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::addRow("conversion error gets its period")
        << "'1x' is not a valid integer value" << "'1x' is not a valid integer value.";
    QTest::addRow("already ends with a period") << "Done." << "Done.";
    QTest::addRow("slash is above the period") << "a/" << "a/.";
    QTest::addRow("minus is below the period") << "a-" << "a-";
    QTest::addRow("blank is below the period") << "a " << "a ";
    QTest::addRow("empty message stays empty") << "" << "";
}

void TestWorkbench::errorBoxText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(ErrorBoxText(message), shown);
}

void TestWorkbench::listingLoading_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<Bytes>("bytes");
    QTest::addRow("odd last character ignored") << "0A1" << Bytes{10};
    QTest::addRow("blank shifts the pairing") << "0A 1B" << Bytes{10, 1};
    QTest::addRow("lower and upper case digits") << "0a0A" << Bytes{10, 10};
    QTest::addRow("single character adds nothing") << "A" << Bytes{};
    QTest::addRow("pairs never span lines") << "0\nA0" << Bytes{0xA0};
    QTest::addRow("empty lines add nothing") << "ff\n\n10" << Bytes{255, 16};
    QTest::addRow("empty listing") << "" << Bytes{};
    QTest::addRow("sample program") << "110a\n810102\nf001\n16\nf003\na10102\n931005\n00"
                                    << Bytes{0x11, 0x0a, 0x81, 0x01, 0x02, 0xf0, 0x01, 0x16, 0xf0,
                                             0x03, 0xa1, 0x01, 0x02, 0x93, 0x10, 0x05, 0x00};
    QTest::addRow("non-digit counts as zero") << "g1" << Bytes{1};
    QTest::addRow("non-ASCII character is one character")
        << QString::fromUtf8("1\xC3\xA9\xE2\x82\xAC" "2") << Bytes{0x10, 0x02};
}

void TestWorkbench::listingLoading()
{
    QFETCH(QString, listing);
    QFETCH(Bytes, bytes);
    QCOMPARE(TForm1::LoadListing(listing), bytes);
}

void TestWorkbench::gridRowsFollowImageSize_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("rows");
    QTest::addRow("0 bytes") << 0 << 1;
    QTest::addRow("14 bytes") << 14 << 1;
    QTest::addRow("15 bytes") << 15 << 2;
    QTest::addRow("30 bytes") << 30 << 3;
    QTest::addRow("31 bytes") << 31 << 3;
}

void TestWorkbench::gridRowsFollowImageSize()
{
    QFETCH(int, size);
    QFETCH(int, rows);
    TWorkbench bench;
    // Stop bytes: the run ends at its first step, after the grid has been sized and filled.
    EmulateListing(*bench.form, QString(2 * size, QLatin1Char('0')));
    QCOMPARE(bench.form->PageControl1->currentIndex(), 3);
    QCOMPARE(bench.form->StringGrid1->model()->rowCount(), rows);
    const TMemoryGridModel& grid = *bench.form->MemoryGrid();
    for (int i = 0; i < rows * 15; ++i)
        QCOMPARE(grid.CellText(i % 15, i / 15), i < size ? QStringLiteral("00") : QString());
    QVERIFY(WaitForCurrentRunEnd(*bench.form));
}

void TestWorkbench::showMemoryCells_data()
{
    QTest::addColumn<Bytes>("image");
    QTest::addColumn<QStringList>("cells");
    Bytes twenty(20);
    QStringList twentyCells;
    for (int i = 0; i < 30; ++i) {
        if (i < 20) {
            twenty[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 13);
            twentyCells << QStringLiteral("%1").arg(i * 13, 2, 16, QLatin1Char('0')).toUpper();
        } else {
            twentyCells << QString();
        }
    }
    QTest::addRow("20 bytes, cells 20 to 29 empty") << twenty << twentyCells;
    QStringList thirty;
    for (int i = 0; i < 45; ++i)
        thirty << (i < 30 ? QStringLiteral("00") : QString());
    QTest::addRow("30 bytes, third row empty") << Bytes(30) << thirty;
    QTest::addRow("empty image, one empty row") << Bytes{} << QStringList(15, QString());
    QStringList values = {"0A", "FF", "00"};
    for (int i = 3; i < 15; ++i)
        values << QString();
    QTest::addRow("two uppercase hex digits") << Bytes{10, 255, 0} << values;
}

void TestWorkbench::showMemoryCells()
{
    QFETCH(Bytes, image);
    QFETCH(QStringList, cells);
    TWorkbench bench;
    TForm1& form = *bench.form;
    // A full grid first, so that blanking the cells past the image is really exercised.
    TMemoryStream full(Bytes(75, 0xEE));
    form.ShowMemory(full);
    TMemoryStream stream(image);
    form.SizeMemoryGrid(stream.Size());
    form.ShowMemory(stream);
    QAbstractItemModel* model = form.StringGrid1->model();
    QCOMPARE(model->rowCount() * 15, cells.size());
    for (int i = 0; i < cells.size(); ++i)
        QCOMPARE(model->index(i / 15, i % 15).data().toString(), cells[i]);
}

void TestWorkbench::showMemoryKeepsPosition()
{
    TWorkbench bench;
    TMemoryStream image(Bytes(40, 7));
    image.SetPosition(23);
    bench.form->SizeMemoryGrid(image.Size());
    bench.form->ShowMemory(image);
    QCOMPARE(image.Position(), std::int64_t(23));
    image.SetPosition(-4);
    bench.form->ShowMemory(image);
    QCOMPARE(image.Position(), std::int64_t(-4));
}

void TestWorkbench::bytesBeyondGridRowsStayHidden()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    TMemoryStream image(Bytes(20, 1));
    form.SizeMemoryGrid(image.Size());
    image.SetPosition(44);
    image.WriteByte(0x5A); // grows the image to 45 bytes, past the grid's two rows
    form.ShowMemory(image);
    QCOMPARE(form.StringGrid1->model()->rowCount(), 2);
    QCOMPARE(form.MemoryGrid()->CellText(14, 1), QStringLiteral("00"));
    QCOMPARE(form.MemoryGrid()->CellText(4, 1), QStringLiteral("01"));
    QCOMPARE(form.MemoryGrid()->CellText(14, 2), QString());
}

void TestWorkbench::highlightSelectsOneCellWithoutScrolling()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.SelectPage(3);
    TMemoryStream image(Bytes(15 * 400, 3));
    form.SizeMemoryGrid(image.Size());
    form.ShowMemory(image);
    QTableView* grid = form.StringGrid1;
    // A range the user selected is replaced by the next highlight.
    grid->selectionModel()->select(QItemSelection(grid->model()->index(0, 0), grid->model()->index(3, 4)),
                                   QItemSelectionModel::Select);
    const int scrolled = grid->verticalScrollBar()->value();
    form.HighlightCell(5, 300);
    QCOMPARE(grid->selectionModel()->selectedIndexes(), QModelIndexList{grid->model()->index(300, 5)});
    QCOMPARE(grid->verticalScrollBar()->value(), scrolled);
    form.HighlightCell(14, 0);
    QCOMPARE(grid->selectionModel()->selectedIndexes(), QModelIndexList{grid->model()->index(0, 14)});
    // A cell past the grid's rows (an image that grew) leaves nothing selected.
    QCOMPARE(grid->model()->rowCount(), 401);
    form.HighlightCell(0, 401);
    QVERIFY(grid->selectionModel()->selectedIndexes().isEmpty());
}

void TestWorkbench::showRegisters_data()
{
    QTest::addColumn<TRegisterFile>("registers");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("marked");
    QTest::addColumn<QString>("third");
    QTest::addColumn<QString>("last");
    TRegisterFile values{};
    values[2] = -5;
    values[14] = 2147483647;
    QTest::addRow("index 2 marks R3 only") << values << 2 << 2 << "R3: -5 *" << "R15: 2147483647";
    QTest::addRow("index 0 marks R1") << values << 0 << 0 << "R3: -5" << "R15: 2147483647";
    QTest::addRow("index 14 marks R15") << values << 14 << 14 << "R3: -5" << "R15: 2147483647 *";
    QTest::addRow("index 15 marks none") << values << 15 << -1 << "R3: -5" << "R15: 2147483647";
    QTest::addRow("index 255 marks none") << values << 255 << -1 << "R3: -5" << "R15: 2147483647";
    TRegisterFile lowest{};
    lowest[2] = -2147483647 - 1;
    QTest::addRow("lowest value") << lowest << 1 << 1 << "R3: -2147483648" << "R15: 0";
}

void TestWorkbench::showRegisters()
{
    QFETCH(TRegisterFile, registers);
    QFETCH(int, current);
    QFETCH(int, marked);
    QFETCH(QString, third);
    QFETCH(QString, last);
    TWorkbench bench;
    bench.form->ShowRegisters(registers, static_cast<std::uint8_t>(current));
    const QStringList lines = RegisterLines(*bench.form);
    QCOMPARE(lines.size(), 15);
    for (int i = 0; i < 15; ++i) {
        QVERIFY2(lines[i].startsWith(QStringLiteral("R%1: ").arg(i + 1)), qPrintable(lines[i]));
        QCOMPARE(lines[i].endsWith(QStringLiteral(" *")), i == marked);
    }
    QCOMPARE(lines[2], third);
    QCOMPARE(lines[14], last);
}

void TestWorkbench::showRegistersReplacesOldLines()
{
    TWorkbench bench;
    for (int i = 0; i < 20; ++i)
        bench.form->ListBox1->addItem(QStringLiteral("old"));
    TRegisterFile registers{};
    registers[0] = 1;
    bench.form->ShowRegisters(registers, 0);
    bench.form->ShowRegisters(registers, 0);
    QCOMPARE(RegisterLines(*bench.form).size(), 15);
    QCOMPARE(RegisterLines(*bench.form).first(), QStringLiteral("R1: 1 *"));
}

void TestWorkbench::outputAccumulates()
{
    TWorkbench bench;
    TForm1& form = *bench.form;
    form.AppendOutput("Value: 0");
    form.AppendOutput("Value: -3");
    // "Emulate" clears neither the output pane nor the register list.
    TRegisterFile registers{};
    form.ShowRegisters(registers, 0);
    EmulateListing(form, QStringLiteral("00"));
    QVERIFY(WaitForCurrentRunEnd(form));
    QCOMPARE(OutputLines(form), QStringList({"Value: 0", "Value: -3"}));
    QCOMPARE(RegisterLines(form).size(), 15);
}

QTEST_MAIN(TestWorkbench)
#include "test_workbench.moc"
