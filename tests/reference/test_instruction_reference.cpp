// The instruction reference window: its rows come from the encoding, every "written as" line
// translates to the bytes the row shows, and the filter field keeps the rows a student looks
// for, driven with real key events.

#include "reference/InstructionReference.h"
#include "reference/InstructionReferenceModel.h"
#include "translator/Encoding.h"
#include "translator/InstructionTable.h"
#include "translator/Translation.h"

#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

using Opcodes = QList<int>;

namespace {

const TEncoding& FormWithOpcode(int opcode)
{
    const TEncoding* form = EncodingOf(static_cast<std::uint8_t>(opcode));
    Q_ASSERT(form);
    return *form;
}

// The opcodes of the rows the table shows, top to bottom.
Opcodes ShownOpcodes(const QTableView& table)
{
    const auto* proxy = qobject_cast<const QSortFilterProxyModel*>(table.model());
    Opcodes opcodes;
    for (int row = 0; row < proxy->rowCount(); ++row) {
        const int source = proxy->mapToSource(proxy->index(row, 0)).row();
        opcodes << InstructionEncoding[static_cast<std::size_t>(source)].Opcode;
    }
    return opcodes;
}

// Real values for the placeholders of a "written as" line, and the listing digits each byte
// placeholder then stands for.
const QHash<QString, QString> OperandValues = {
    {QStringLiteral("c"), QStringLiteral("5")},    {QStringLiteral("c1"), QStringLiteral("1")},
    {QStringLiteral("c2"), QStringLiteral("2")},   {QStringLiteral("$r"), QStringLiteral("$6")},
    {QStringLiteral("$r1"), QStringLiteral("$7")}, {QStringLiteral("$r2"), QStringLiteral("$8")},
    {QStringLiteral("&a"), QStringLiteral("&10")}, {QStringLiteral("&a1"), QStringLiteral("&11")},
    {QStringLiteral("&a2"), QStringLiteral("&12")},
};
const QHash<QString, QString> ByteValues = {
    {QStringLiteral("cc"), QStringLiteral("05")}, {QStringLiteral("c1"), QStringLiteral("01")},
    {QStringLiteral("c2"), QStringLiteral("02")}, {QStringLiteral("rr"), QStringLiteral("06")},
    {QStringLiteral("r1"), QStringLiteral("07")}, {QStringLiteral("r2"), QStringLiteral("08")},
    {QStringLiteral("aa"), QStringLiteral("0a")}, {QStringLiteral("a1"), QStringLiteral("0b")},
    {QStringLiteral("a2"), QStringLiteral("0c")},
};

// The line with every placeholder operand replaced by its value; empty for an unknown one.
QString FilledLine(const QString& written)
{
    const qsizetype space = written.indexOf(QLatin1Char(' '));
    if (space < 0 || written.startsWith(QLatin1String("dd ")))
        return written;
    QStringList operands = written.mid(space + 1).split(QLatin1Char(','));
    for (QString& operand : operands) {
        if (!OperandValues.contains(operand))
            return {};
        operand = OperandValues.value(operand);
    }
    return written.left(space + 1) + operands.join(QLatin1Char(','));
}

// The listing line the byte layout promises for the filled line.
QString FilledBytes(const QString& layout)
{
    QStringList bytes = layout.split(QLatin1Char(' '));
    for (qsizetype i = 1; i < bytes.size(); ++i)
        bytes[i] = ByteValues.value(bytes[i], QStringLiteral("??"));
    return bytes.join(QString());
}

} // namespace

class TestInstructionReference : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void showsEveryRowOfTheEncoding();
    void everyWrittenFormTranslatesToItsBytes();
    void rowTexts_data();
    void rowTexts();
    void opcodeFilterText_data();
    void opcodeFilterText();
    void typedFilterKeepsMatchingRows_data();
    void typedFilterKeepsMatchingRows();
    void clearingTheFilterShowsAllRows();
    void keyboardAndReuse();

private:
    std::unique_ptr<QWidget> owner_;
    TInstructionReference* window_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* count_ = nullptr;
};

void TestInstructionReference::init()
{
    owner_ = std::make_unique<QWidget>();
    window_ = TInstructionReference::ShowFor(owner_.get());
    QVERIFY(QTest::qWaitForWindowExposed(window_));
    filter_ = window_->findChild<QLineEdit*>(QStringLiteral("filter"));
    table_ = window_->findChild<QTableView*>(QStringLiteral("forms"));
    count_ = window_->findChild<QLabel*>(QStringLiteral("count"));
    QVERIFY(filter_ && table_ && count_);
}

void TestInstructionReference::cleanup()
{
    owner_.reset(); // deletes the reference window with it
    window_ = nullptr;
}

void TestInstructionReference::showsEveryRowOfTheEncoding()
{
    const int rows = static_cast<int>(InstructionEncoding.size());
    QCOMPARE(table_->model()->rowCount(), rows);
    Opcodes inEncodingOrder;
    for (const TEncoding& form : InstructionEncoding)
        inEncodingOrder << form.Opcode;
    QCOMPARE(ShownOpcodes(*table_), inEncodingOrder);
    QCOMPARE(count_->text(), QStringLiteral("%1 forms").arg(rows));
}

// Guards the placeholders and the byte layout of all rows at once: a line as the reference
// writes it, its placeholders filled in, must translate to the bytes the reference shows.
void TestInstructionReference::everyWrittenFormTranslatesToItsBytes()
{
    TInstructionTable table;
    FillInstructionTable(table);
    for (const TEncoding& form : InstructionEncoding) {
        const QString written = StudentForm(form);
        const QString line = FilledLine(written);
        QVERIFY2(!line.isEmpty(), qPrintable(written));
        const std::vector<std::string> listing = Translate(table, {line.toStdString()});
        QCOMPARE(listing.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(listing.front()), FilledBytes(ByteLayout(form)));
    }
}

void TestInstructionReference::rowTexts_data()
{
    QTest::addColumn<int>("opcode");
    QTest::addColumn<QString>("mnemonic");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("opcodeText");
    QTest::addColumn<QString>("bytes");

    QTest::addRow("Stop, no operand") << 0 << "Stop" << "stop" << "00h (0)" << "00";
    QTest::addRow("constant") << 17 << "Add" << "add c" << "11h (17)" << "11 cc";
    QTest::addRow("register") << 19 << "Add" << "add $r" << "13h (19)" << "13 rr";
    QTest::addRow("memory") << 21 << "Add" << "add &a" << "15h (21)" << "15 aa";
    QTest::addRow("two constants numbered") << 16 << "Add" << "add c1,c2" << "10h (16)"
                                            << "10 c1 c2";
    QTest::addRow("two kinds not numbered") << 48 << "Div" << "div c,$r" << "30h (48)"
                                            << "30 cc rr";
    QTest::addRow("mixed case mnemonic lower-cased") << 53 << "iDiv" << "idiv &a1,&a2"
                                                     << "35h (53)" << "35 a1 a2";
    QTest::addRow("memory then register") << 115 << "Mov" << "mov &a,$r" << "73h (115)"
                                          << "73 aa rr";
    QTest::addRow("S form of Not written as data") << 97 << "Not" << "dd 97" << "61h (97)"
                                                   << "61";
    QTest::addRow("S form of XOr written as data") << 102 << "XOr" << "dd 102" << "66h (102)"
                                                   << "66";
    QTest::addRow("opcode above 9fh") << 243 << "Out" << "out c" << "f3h (243)" << "f3 cc";
}

void TestInstructionReference::rowTexts()
{
    QFETCH(int, opcode);
    QFETCH(QString, mnemonic);
    QFETCH(QString, written);
    QFETCH(QString, opcodeText);
    QFETCH(QString, bytes);

    const QAbstractItemModel* model = table_->model();
    const int row = static_cast<int>(ShownOpcodes(*table_).indexOf(opcode));
    QVERIFY(row >= 0);
    const auto cell = [&](int column) { return model->index(row, column).data().toString(); };
    QCOMPARE(cell(TInstructionReferenceModel::MnemonicColumn), mnemonic);
    QCOMPARE(cell(TInstructionReferenceModel::FormColumn), written);
    QCOMPARE(cell(TInstructionReferenceModel::OpcodeColumn), opcodeText);
    QCOMPARE(cell(TInstructionReferenceModel::BytesColumn), bytes);
    QCOMPARE(cell(TInstructionReferenceModel::EffectColumn),
             QString::fromLatin1(FormWithOpcode(opcode).Summary.data(),
                                 static_cast<qsizetype>(FormWithOpcode(opcode).Summary.size())));
}

void TestInstructionReference::opcodeFilterText_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("opcode");
    QTest::addColumn<bool>("matches");

    QTest::addRow("bare digits as the listing shows them") << "30" << 48 << true;
    QTest::addRow("bare digits also decimal") << "30" << 30 << true;
    QTest::addRow("bare digits not another opcode") << "30" << 130 << false;
    QTest::addRow("0x prefix") << "0x30" << 48 << true;
    QTest::addRow("0x prefix only hexadecimal") << "0x30" << 30 << false;
    QTest::addRow("h suffix") << "30h" << 48 << true;
    QTest::addRow("h suffix only hexadecimal") << "30h" << 30 << false;
    QTest::addRow("decimal") << "48" << 48 << true;
    QTest::addRow("three decimal digits") << "240" << 240 << true;
    QTest::addRow("three decimal digits not hexadecimal") << "240" << 0x40 << false;
    QTest::addRow("hexadecimal letters") << "f0" << 240 << true;
    QTest::addRow("upper case") << "0XF3" << 243 << true;
    QTest::addRow("upper case h") << "0A5H" << 165 << true;
    QTest::addRow("blanks around") << " 16 " << 22 << true;
    QTest::addRow("zero") << "0" << 0 << true;
    QTest::addRow("dollar marks a register, not hex") << "$30" << 48 << false;
    QTest::addRow("prefix without digits") << "0x" << 0 << false;
    QTest::addRow("h alone") << "h" << 0 << false;
    QTest::addRow("beyond a byte") << "0x100" << 0 << false;
    QTest::addRow("decimal beyond a byte") << "256" << 0 << false;
    QTest::addRow("word") << "add" << 0xad << false;
}

void TestInstructionReference::opcodeFilterText()
{
    QFETCH(QString, filter);
    QFETCH(int, opcode);
    QFETCH(bool, matches);
    QCOMPARE(OpcodeMatches(filter, opcode), matches);
}

void TestInstructionReference::typedFilterKeepsMatchingRows_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Opcodes>("shown");

    QTest::addRow("mnemonic keeps Div and iDiv") << "div" << Opcodes{48, 49, 50, 51, 52, 53};
    QTest::addRow("case ignored") << "DiV" << Opcodes{48, 49, 50, 51, 52, 53};
    QTest::addRow("opcode with 0x") << "0x30" << Opcodes{48};
    QTest::addRow("opcode as listed") << "30" << Opcodes{48};
    QTest::addRow("opcode with h") << "30h" << Opcodes{48};
    QTest::addRow("opcode in decimal") << "147" << Opcodes{147};
    QTest::addRow("bare text both ways") << "16" << Opcodes{16, 22};
    QTest::addRow("form text") << "$r1,$r2" << Opcodes{18, 34, 50, 51, 67, 83, 90, 103, 112,
                                                        129, 148, 151, 161};
    QTest::addRow("description") << "complement" << Opcodes{97, 98};
    QTest::addRow("S form by its data line") << "dd 1" << Opcodes{102};
    QTest::addRow("nothing matches") << "zzz" << Opcodes{};
}

void TestInstructionReference::typedFilterKeepsMatchingRows()
{
    QFETCH(QString, typed);
    QFETCH(Opcodes, shown);

    QTest::keyClicks(filter_, typed);
    QCOMPARE(filter_->text(), typed);
    QCOMPARE(ShownOpcodes(*table_), shown);
    QCOMPARE(count_->text(), QStringLiteral("%1 of %2 forms")
                                 .arg(shown.size())
                                 .arg(InstructionEncoding.size()));
}

void TestInstructionReference::clearingTheFilterShowsAllRows()
{
    QTest::keyClicks(filter_, QStringLiteral("xch"));
    QCOMPARE(ShownOpcodes(*table_), (Opcodes{128, 129, 130, 131}));

    QTest::keyClick(filter_, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(filter_, Qt::Key_Backspace);
    QVERIFY(filter_->text().isEmpty());
    QCOMPARE(table_->model()->rowCount(), static_cast<int>(InstructionEncoding.size()));
    QCOMPARE(count_->text(), QStringLiteral("%1 forms").arg(InstructionEncoding.size()));
}

// Focus starts in the filter, Escape hides the window, and asking again shows the same one
// with the filter kept and selected, so typing replaces it.
void TestInstructionReference::keyboardAndReuse()
{
    QCOMPARE(window_->windowTitle(), QStringLiteral("Instruction reference"));
    QVERIFY(window_->isWindow());
    QVERIFY(!filter_->accessibleName().isEmpty());
    QVERIFY(!table_->accessibleName().isEmpty());
    QCOMPARE(filter_->placeholderText(), QStringLiteral("Filter"));
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QTRY_COMPARE(QApplication::focusWidget(), filter_);

    QTest::keyClicks(filter_, QStringLiteral("jmp"));
    QTest::keyClick(filter_, Qt::Key_Escape);
    QTRY_VERIFY(!window_->isVisible());

    QCOMPARE(TInstructionReference::ShowFor(owner_.get()), window_);
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QTRY_COMPARE(QApplication::focusWidget(), filter_);
    QCOMPARE(filter_->selectedText(), QStringLiteral("jmp"));
    QTest::keyClicks(filter_, QStringLiteral("xor"));
    QCOMPARE(filter_->text(), QStringLiteral("xor"));
    QCOMPARE(ShownOpcodes(*table_).size(), 7);
}

QTEST_MAIN(TestInstructionReference)
#include "test_instruction_reference.moc"
