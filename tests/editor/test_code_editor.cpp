// The program editor and the listing pane: gutter labels and widths, line marks and when they
// go, the executing mark leaving cursor and focus alone, breakpoints and how they follow edits,
// the syntax colours of program lines and their readability in light and dark themes.

#include "editor/CodeEditor.h"
#include "editor/EditorColours.h"
#include "editor/ProgramHighlighter.h"
#include "translator/InstructionTable.h"
#include "translator/Translation.h"

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

using TMode = TCodeEditor::TGutterMode;

QStringList GutterLabels(TCodeEditor& editor)
{
    QStringList labels;
    for (int line = 0; line < editor.blockCount(); ++line)
        labels << editor.GutterLabel(line);
    return labels;
}

// The addresses the text loads at, computed straight from its lines.
QStringList ExpectedAddresses(const QString& listing)
{
    QStringList labels;
    int address = 0;
    for (const QString& line : listing.split(QLatin1Char('\n'))) {
        labels << QString::number(address, 16).toUpper().rightJustified(2, QLatin1Char('0'));
        address += static_cast<int>(line.size() / 2);
    }
    return labels;
}

double Luminance(const QColor& c)
{
    const auto linear = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool Near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3
        && std::abs(a.blue() - b.blue()) <= 3;
}

QPalette MakePalette(const QColor& base, const QColor& text, const QColor& highlight)
{
    QPalette palette;
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::Window, base);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Highlight, highlight);
    }
    return palette;
}

// The vertical middle of a line in viewport (and gutter) coordinates.
int LineY(const TCodeEditor& editor, int line)
{
    return editor.cursorRect(QTextCursor(editor.document()->findBlockByNumber(line))).center().y();
}

QString Lines(int count, const QString& line)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << line;
    return lines.join(QLatin1Char('\n'));
}

// Kind of the highlighter format at a column of a line, -1 where the text keeps its format.
int KindAt(const TProgramHighlighter& highlighter, const QTextBlock& block, int column)
{
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        if (column < range.start || column >= range.start + range.length)
            continue;
        for (int kind = 0; kind < static_cast<int>(kSyntaxKindCount); ++kind)
            if (highlighter.Format(static_cast<TSyntaxKind>(kind)) == range.format)
                return kind;
        return -2; // a format the highlighter does not hand out
    }
    return -1;
}

enum class TAction { Type, SetText, Undo, MoveCursor, SelectAll, Rehighlight, Palette, Resize };

} // namespace

Q_DECLARE_METATYPE(TAction)
Q_DECLARE_METATYPE(TMode)

class TestCodeEditor : public QObject {
    Q_OBJECT

private slots:
    void listingAddresses_data();
    void listingAddresses();
    void addressesAfterEdit_data();
    void addressesAfterEdit();
    void lineOfAddress_data();
    void lineOfAddress();
    void largeListingEditKeepsAddresses();
    void gutterWidthFollowsDigits_data();
    void gutterWidthFollowsDigits();
    void marksAndTextChanges_data();
    void marksAndTextChanges();
    void executingMarkLeavesCursorAndFocus_data();
    void executingMarkLeavesCursorAndFocus();
    void executingMarksStayOffAfterTextChange();
    void marksArePainted_data();
    void marksArePainted();
    void gutterToolTipShowsMarkTexts();
    void breakpointsFollowEdits_data();
    void breakpointsFollowEdits();
    void breakpointOnlyWhereBytesAre_data();
    void breakpointOnlyWhereBytesAre();
    void gutterClickTogglesBreakpoint_data();
    void gutterClickTogglesBreakpoint();
    void highlightFormats_data();
    void highlightFormats();
    void dimmedLinesAreThoseThatEmitNothing_data();
    void dimmedLinesAreThoseThatEmitNothing();
    void coloursReadInEveryTheme_data();
    void coloursReadInEveryTheme();
    void paletteChangeRecolours();
};

// ---- addresses -----------------------------------------------------------------------------

void TestCodeEditor::listingAddresses_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QStringList>("addresses");
    QTest::addRow("empty") << QString() << QStringList{QStringLiteral("00")};
    QTest::addRow("sample listing")
        << QStringLiteral("110a\n810102\nf001\n16\nf003\na10102\n931005\n00")
        << QStringList{QStringLiteral("00"), QStringLiteral("02"), QStringLiteral("05"),
                       QStringLiteral("07"), QStringLiteral("08"), QStringLiteral("0A"),
                       QStringLiteral("0D"), QStringLiteral("10")};
    QTest::addRow("odd lengths drop their last character")
        << QStringLiteral("123\n4\n56789\nab")
        << QStringList{QStringLiteral("00"), QStringLiteral("01"), QStringLiteral("01"),
                       QStringLiteral("03")};
    QTest::addRow("blank lines give no bytes")
        << QStringLiteral("\n\n16\n\n00")
        << QStringList{QStringLiteral("00"), QStringLiteral("00"), QStringLiteral("00"),
                       QStringLiteral("01"), QStringLiteral("01")};
    QTest::addRow("any characters pair up") << QStringLiteral("zz z\n  \nxx")
        << QStringList{QStringLiteral("00"), QStringLiteral("02"), QStringLiteral("03")};
    QTest::addRow("addresses past 255") << (QString(600, QLatin1Char('0')) + QStringLiteral("\n00"))
        << QStringList{QStringLiteral("00"), QStringLiteral("12C")};
}

void TestCodeEditor::listingAddresses()
{
    QFETCH(QString, listing);
    QFETCH(QStringList, addresses);
    TCodeEditor editor;
    editor.SetGutterMode(TMode::ByteAddresses);
    editor.setPlainText(listing);
    QCOMPARE(GutterLabels(editor), addresses);
}

void TestCodeEditor::addressesAfterEdit_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QString>("inserted");
    const QString sample = QStringLiteral("110a\n810102\nf001\n16\nf003\na10102\n931005\n00");
    QTest::addRow("byte added in the middle") << sample << 14 << 0 << QStringLiteral("aa");
    QTest::addRow("one character makes a line odd") << sample << 14 << 0 << QStringLiteral("a");
    QTest::addRow("line split in two") << sample << 7 << 0 << QStringLiteral("\n");
    QTest::addRow("line break removed") << sample << 11 << 1 << QString();
    QTest::addRow("lines removed") << sample << 5 << 12 << QString();
    QTest::addRow("first line emptied") << sample << 0 << 4 << QString();
    QTest::addRow("lines pasted at the end") << sample << 41 << 0 << QStringLiteral("\n1234\n56");
    QTest::addRow("second-to-last line grows") << sample << 34 << 0 << QStringLiteral("aa");
    QTest::addRow("line separator inside a line")
        << sample << 7 << 0 << QString(QChar(QChar::LineSeparator));
}

void TestCodeEditor::addressesAfterEdit()
{
    QFETCH(QString, listing);
    QFETCH(int, position);
    QFETCH(int, removed);
    QFETCH(QString, inserted);
    TCodeEditor editor;
    editor.SetGutterMode(TMode::ByteAddresses);
    editor.setPlainText(listing);
    QCOMPARE(GutterLabels(editor), ExpectedAddresses(listing)); // every address read once

    QTextCursor cursor(editor.document());
    cursor.setPosition(position);
    cursor.setPosition(position + removed, QTextCursor::KeepAnchor);
    cursor.insertText(inserted);

    // Per block, where its first line starts when the text is loaded; a line separator
    // inside a block reads as a line break there.
    QStringList expected;
    int address = 0;
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
        expected << QString::number(address, 16).toUpper().rightJustified(2, QLatin1Char('0'));
        for (const QString& part : block.text().split(QChar(QChar::LineSeparator)))
            address += static_cast<int>(part.size() / 2);
    }
    QCOMPARE(GutterLabels(editor), expected);
    QCOMPARE(editor.LineOfAddress(address), -1);
}

void TestCodeEditor::lineOfAddress_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("line");
    // Lines: 2 bytes, 3 bytes, none, 1 byte, none.
    QTest::addRow("first byte") << 0 << 0;
    QTest::addRow("operand byte of the first line") << 1 << 0;
    QTest::addRow("first byte of the second line") << 2 << 1;
    QTest::addRow("last byte of the second line") << 4 << 1;
    QTest::addRow("a line without bytes is skipped") << 5 << 3;
    QTest::addRow("past the end") << 6 << -1;
    QTest::addRow("negative") << -1 << -1;
}

void TestCodeEditor::lineOfAddress()
{
    QFETCH(int, address);
    QFETCH(int, line);
    TCodeEditor editor;
    editor.setPlainText(QStringLiteral("110a\n810102\n\nf0\n"));
    QCOMPARE(editor.LineOfAddress(address), line);
}

void TestCodeEditor::largeListingEditKeepsAddresses()
{
    TCodeEditor editor;
    editor.SetGutterMode(TMode::ByteAddresses);
    editor.setPlainText(Lines(10000, QStringLiteral("16")));
    QCOMPARE(editor.GutterLabel(9999), QStringLiteral("270F"));

    // Edits near the top, after the far addresses were read once.
    QTextCursor cursor(editor.document()->findBlockByNumber(10));
    cursor.insertText(QStringLiteral("abcd"));
    QCOMPARE(editor.GutterLabel(9999), QStringLiteral("2711"));
    cursor = QTextCursor(editor.document()->findBlockByNumber(5000));
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor = QTextCursor(editor.document()->findBlockByNumber(3));
    cursor.insertText(QStringLiteral("1\n2"));
    QCOMPARE(GutterLabels(editor), ExpectedAddresses(editor.toPlainText()));
    QCOMPARE(editor.LineOfAddress(10000), 9999);
    QCOMPARE(editor.LineOfAddress(10001), -1);
}

// ---- gutter width --------------------------------------------------------------------------

void TestCodeEditor::gutterWidthFollowsDigits_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("grows");
    const int lines = static_cast<int>(TMode::LineNumbers);
    const int bytes = static_cast<int>(TMode::ByteAddresses);
    QTest::addRow("9 to 10 lines") << lines << Lines(9, {}) << Lines(10, {}) << false;
    QTest::addRow("99 to 100 lines") << lines << Lines(99, {}) << Lines(100, {}) << true;
    QTest::addRow("999 to 1000 lines") << lines << Lines(999, {}) << Lines(1000, {}) << true;
    QTest::addRow("9999 to 10000 lines") << lines << Lines(9999, {}) << Lines(10000, {}) << true;
    QTest::addRow("100 to 999 lines") << lines << Lines(100, {}) << Lines(999, {}) << false;
    QTest::addRow("255 to 256 bytes")
        << bytes << QString(510, QLatin1Char('a')) << QString(514, QLatin1Char('a')) << true;
    QTest::addRow("many empty lines add no bytes") << bytes << Lines(2, {}) << Lines(5000, {})
                                                   << false;
}

void TestCodeEditor::gutterWidthFollowsDigits()
{
    QFETCH(int, mode);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(bool, grows);
    TCodeEditor editor;
    editor.SetGutterMode(static_cast<TMode>(mode));
    editor.resize(300, 200);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.setPlainText(before);
    const int narrow = editor.GutterWidth();
    editor.setPlainText(after);
    const int width = editor.GutterWidth();
    QCOMPARE(width > narrow, grows);
    QCOMPARE(width >= narrow, true);

    // The text starts right of the gutter, and the widest label fits beside the sign.
    QTRY_VERIFY(editor.viewport()->geometry().left() >= width);
    const QWidget* gutter = editor.findChild<QWidget*>(QStringLiteral("Gutter"));
    QVERIFY(gutter);
    QCOMPARE(gutter->width(), width);
    const QFontMetrics metrics = editor.fontMetrics();
    const int last = editor.blockCount() - 1;
    QVERIFY(metrics.height() + metrics.horizontalAdvance(editor.GutterLabel(last)) <= width);
}

// ---- marks ---------------------------------------------------------------------------------

void TestCodeEditor::marksAndTextChanges_data()
{
    QTest::addColumn<TAction>("action");
    QTest::addColumn<bool>("cleared");
    QTest::addRow("typing a character") << TAction::Type << true;
    QTest::addRow("new text") << TAction::SetText << true;
    QTest::addRow("undoing an earlier edit") << TAction::Undo << true;
    QTest::addRow("moving the cursor") << TAction::MoveCursor << false;
    QTest::addRow("selecting everything") << TAction::SelectAll << false;
    QTest::addRow("highlighting again") << TAction::Rehighlight << false;
    QTest::addRow("a new palette") << TAction::Palette << false;
    QTest::addRow("resizing") << TAction::Resize << false;
}

void TestCodeEditor::marksAndTextChanges()
{
    QFETCH(TAction, action);
    QFETCH(bool, cleared);
    TCodeEditor editor;
    auto* highlighter = new TProgramHighlighter(&editor);
    editor.setPlainText(QStringLiteral("add ah\nxch $1,$2\n:start\nset 1\ninc"));
    editor.textCursor().insertText(QStringLiteral(" ")); // something to undo
    editor.SetErrorMark(1, QStringLiteral("error"));
    editor.AddWarningMark(2, QStringLiteral("warning"));
    editor.BeginExecutionMarks();
    editor.SetExecutingLine(3);
    QVERIFY(editor.ToggleBreakpoint(4));
    QCOMPARE(editor.extraSelections().size(), 2);
    QSignalSpy dropped(&editor, &TCodeEditor::ExecutionMarksDropped);
    QSignalSpy breakpoints(&editor, &TCodeEditor::BreakpointsChanged);

    switch (action) {
    case TAction::Type: QTest::keyClick(&editor, Qt::Key_X); break;
    case TAction::SetText: editor.setPlainText(QStringLiteral("stop")); break;
    case TAction::Undo: editor.undo(); break;
    case TAction::MoveCursor: QTest::keyClick(&editor, Qt::Key_Down); break;
    case TAction::SelectAll: editor.selectAll(); break;
    case TAction::Rehighlight: highlighter->rehighlight(); break;
    case TAction::Palette:
        editor.setPalette(MakePalette(Qt::black, Qt::white, QColor(40, 130, 220)));
        break;
    case TAction::Resize: editor.resize(400, 50); break;
    }

    QCOMPARE(editor.ErrorLine(), cleared ? -1 : 1);
    QCOMPARE(editor.WarningLines(), cleared ? QList<int>{} : QList<int>{2});
    QCOMPARE(editor.ExecutingLine(), cleared ? -1 : 3);
    // The selections follow once the change is over.
    QTRY_COMPARE(editor.extraSelections().size(), cleared ? 0 : 2);
    QCOMPARE(dropped.count(), cleared ? 1 : 0);
    // Only new text takes the breakpoints with it.
    const bool newText = action == TAction::SetText;
    QCOMPARE(editor.BreakpointLines(), newText ? QList<int>{} : QList<int>{4});
    QCoreApplication::sendPostedEvents(&editor, QEvent::MetaCall); // the refresh after a change
    QCOMPARE(breakpoints.count(), newText ? 1 : 0);
    editor.ClearBreakpoints(); // says so only when there were any
    QCOMPARE(breakpoints.count(), 1);
    QCOMPARE(editor.ExecutionMarksAllowed(), !cleared);
}

void TestCodeEditor::executingMarkLeavesCursorAndFocus_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<bool>("reveal");
    QTest::addColumn<bool>("scrolls");
    QTest::addRow("visible line") << 5 << false << false;
    QTest::addRow("line below the view") << 150 << false << false;
    QTest::addRow("line below the view, revealed") << 150 << true << true;
    QTest::addRow("visible line, revealed") << 5 << true << false;
}

void TestCodeEditor::executingMarkLeavesCursorAndFocus()
{
    QFETCH(int, line);
    QFETCH(bool, reveal);
    QFETCH(bool, scrolls);
    QWidget window;
    auto* field = new QLineEdit(&window);
    auto* editor = new TCodeEditor(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(field);
    layout->addWidget(editor);
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor->setPlainText(Lines(200, QStringLiteral("add ah")));
    window.resize(300, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());

    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(10);
    cursor.setPosition(17, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    const int scroll = editor->verticalScrollBar()->value();
    QSignalSpy moved(editor, &QPlainTextEdit::cursorPositionChanged);
    QSignalSpy changed(editor->document(), &QTextDocument::contentsChange);

    editor->BeginExecutionMarks();
    editor->SetExecutingLine(line, reveal);
    QCOMPARE(editor->ExecutingLine(), line);
    QCOMPARE(editor->textCursor().anchor(), 10);
    QCOMPARE(editor->textCursor().position(), 17);
    QCOMPARE(moved.count(), 0);
    QCOMPARE(changed.count(), 0);
    QVERIFY(field->hasFocus());
    QCOMPARE(QApplication::focusWidget(), field);
    QCOMPARE(editor->verticalScrollBar()->value() != scroll, scrolls);
    if (reveal) {
        const int first = editor->cursorForPosition(QPoint(0, 0)).blockNumber();
        QVERIFY(first <= line);
        QVERIFY(LineY(*editor, line) < editor->viewport()->height());
    }
}

void TestCodeEditor::executingMarksStayOffAfterTextChange()
{
    TCodeEditor editor;
    editor.setPlainText(Lines(5, QStringLiteral("inc")));
    editor.SetExecutingLine(1);
    QCOMPARE(editor.ExecutingLine(), -1); // not before a run allows them

    editor.BeginExecutionMarks();
    editor.SetExecutingLine(1);
    QCOMPARE(editor.ExecutingLine(), 1);
    editor.SetExecutingLine(7); // no such line: the mark goes
    QCOMPARE(editor.ExecutingLine(), -1);
    editor.SetExecutingLine(2);

    QSignalSpy dropped(&editor, &TCodeEditor::ExecutionMarksDropped);
    QTest::keyClick(&editor, Qt::Key_Return);
    QCOMPARE(dropped.count(), 1);
    QCOMPARE(editor.ExecutingLine(), -1);
    editor.SetExecutingLine(3);
    QCOMPARE(editor.ExecutingLine(), -1);
    QTest::keyClick(&editor, Qt::Key_Backspace);
    QCOMPARE(dropped.count(), 1); // said once per run

    editor.BeginExecutionMarks(); // the next run
    editor.SetExecutingLine(3);
    QCOMPARE(editor.ExecutingLine(), 3);
    editor.StopExecutionMarks();
    QCOMPARE(editor.ExecutingLine(), -1);
    editor.SetExecutingLine(4);
    QCOMPARE(editor.ExecutingLine(), -1);
    QCOMPARE(dropped.count(), 1);
}

void TestCodeEditor::marksArePainted_data()
{
    QTest::addColumn<bool>("error");
    QTest::addColumn<int>("mode");
    QTest::addRow("error mark, line numbers") << true << static_cast<int>(TMode::LineNumbers);
    QTest::addRow("executing mark, line numbers") << false << static_cast<int>(TMode::LineNumbers);
    QTest::addRow("executing mark, addresses") << false << static_cast<int>(TMode::ByteAddresses);
}

void TestCodeEditor::marksArePainted()
{
    QFETCH(bool, error);
    QFETCH(int, mode);
    TCodeEditor editor;
    editor.SetGutterMode(static_cast<TMode>(mode));
    editor.setPlainText(QStringLiteral("110a\n810102\nf001\n16"));
    editor.resize(300, 200);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    const TEditorColours colours = TEditorColours::From(editor.palette());
    if (error) {
        editor.SetErrorMark(2, QStringLiteral("'1x' is not a valid integer value"));
    } else {
        editor.BeginExecutionMarks();
        editor.SetExecutingLine(2);
    }
    const QColor mark = error ? colours.ErrorLine : colours.ExecutingLine;

    QWidget* gutter = editor.findChild<QWidget*>(QStringLiteral("Gutter"));
    QVERIFY(gutter);
    const QImage text = editor.viewport()->grab().toImage();
    const QImage side = gutter->grab().toImage();
    const int right = editor.viewport()->width() - 3;
    // Past the end of the text, where only the line's background shows.
    QVERIFY(Near(text.pixelColor(right, LineY(editor, 2)), mark));
    QVERIFY(Near(text.pixelColor(right, LineY(editor, 1)), editor.palette().color(QPalette::Base)));
    QVERIFY(Near(side.pixelColor(1, LineY(editor, 2)), mark));
    QVERIFY(Near(side.pixelColor(1, LineY(editor, 1)), colours.GutterBackground));

    editor.ClearMarks();
    const QImage cleared = editor.viewport()->grab().toImage();
    QVERIFY(Near(cleared.pixelColor(right, LineY(editor, 2)), editor.palette().color(QPalette::Base)));
}

void TestCodeEditor::gutterToolTipShowsMarkTexts()
{
    TCodeEditor editor;
    editor.setPlainText(QStringLiteral("set 5,\nset 300\ninc\nstop"));
    editor.resize(300, 200);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.SetErrorMark(0, QStringLiteral("'5,' is not a valid integer value"));
    editor.AddWarningMark(1, QStringLiteral("first"));
    editor.AddWarningMark(1, QStringLiteral("second"));
    editor.ToggleBreakpoint(1);
    editor.ToggleBreakpoint(3);
    QWidget* gutter = editor.findChild<QWidget*>(QStringLiteral("Gutter"));
    QVERIFY(gutter);

    const auto hover = [&](int line) {
        const QPoint at(2, LineY(editor, line));
        QHelpEvent event(QEvent::ToolTip, at, gutter->mapToGlobal(at));
        QApplication::sendEvent(gutter, &event);
    };
    hover(1);
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("Breakpoint\nfirst\nsecond"));
    hover(0);
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("'5,' is not a valid integer value"));
    hover(3);
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("Breakpoint"));
    hover(2);
    QTRY_VERIFY(!QToolTip::isVisible());
    QCOMPARE(editor.MarkText(1), QStringLiteral("first\nsecond")); // the status bar's text
}

// ---- breakpoints ---------------------------------------------------------------------------

void TestCodeEditor::breakpointsFollowEdits_data()
{
    QTest::addColumn<QList<int>>("marked");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QList<int>>("expected");
    const auto row = [](const char* name, QList<int> marked, int position, int removed,
                        const char* inserted, QList<int> expected) {
        QTest::addRow("%s", name) << marked << position << removed << QString::fromLatin1(inserted)
                                  << expected;
    };
    // Lines "inc", "set 5", "add ah", "out $1", "stop" start at 0, 4, 10, 17, 24.
    row("line break at the end of the line above", {2}, 9, 0, "\n", {3});
    row("line break at the start of the line", {2}, 10, 0, "\n", {3});
    row("lines pasted at the start of the line", {2}, 10, 0, "x\ny\n", {4});
    row("line split inside keeps it on its first part", {2}, 13, 0, "\n", {2});
    row("line above deleted", {2}, 4, 6, "", {1});
    row("line deleted with its breakpoint", {1, 3}, 4, 6, "", {2});
    row("line joined into the one above", {1, 2}, 9, 1, "", {1});
    row("typing inside the line", {2}, 13, 0, "x", {2});
    row("line emptied keeps it", {2}, 10, 6, "", {2});
}

void TestCodeEditor::breakpointsFollowEdits()
{
    QFETCH(QList<int>, marked);
    QFETCH(int, position);
    QFETCH(int, removed);
    QFETCH(QString, inserted);
    QFETCH(QList<int>, expected);
    TCodeEditor editor;
    TProgramHighlighter highlighter(&editor);
    editor.setPlainText(QStringLiteral("inc\nset 5\nadd ah\nout $1\nstop"));
    for (const int line : marked)
        QVERIFY(editor.ToggleBreakpoint(line));
    QSignalSpy changed(&editor, &TCodeEditor::BreakpointsChanged);
    QTextCursor cursor(editor.document());
    cursor.setPosition(position);
    cursor.setPosition(position + removed, QTextCursor::KeepAnchor);
    cursor.insertText(inserted);

    QCOMPARE(editor.BreakpointLines(), expected);
    QCOMPARE(editor.HasBreakpoint(expected.value(0, 0)), !expected.isEmpty());
    QCoreApplication::sendPostedEvents(&editor, QEvent::MetaCall); // the refresh after a change
    QCOMPARE(changed.count(), expected == marked ? 0 : 1);
    // Undo may lose a breakpoint whose line it takes out and puts back, but adds none.
    editor.undo();
    for (const int line : editor.BreakpointLines())
        QVERIFY(marked.contains(line));
}

void TestCodeEditor::breakpointOnlyWhereBytesAre_data()
{
    QTest::addColumn<TMode>("mode");
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("holds");
    const auto row = [](const char* name, TMode mode, const QString& line, bool holds) {
        QTest::addRow("%s", name) << mode << line << holds;
    };
    const TMode program = TMode::LineNumbers;
    row("instruction", program, QStringLiteral("  inc $1"), true);
    row("data name", program, QStringLiteral("DD count"), true);
    row("data with commas only", program, QStringLiteral("dd ,"), false);
    row("blank line", program, QStringLiteral(" \t "), false);
    row("comment", program, QStringLiteral("  ; inc $1"), false);
    row("label before an instruction", program, QStringLiteral(":loop inc $1"), false);
    row("instruction after a line separator", program,
        QStringLiteral(":a") + QChar(QChar::LineSeparator) + QStringLiteral("inc"), true);
    row("listing byte", TMode::ByteAddresses, QStringLiteral("16"), true);
    row("listing character short of a byte", TMode::ByteAddresses, QStringLiteral("1"), false);
}

void TestCodeEditor::breakpointOnlyWhereBytesAre()
{
    QFETCH(TMode, mode);
    QFETCH(QString, line);
    QFETCH(bool, holds);
    TCodeEditor editor;
    editor.SetGutterMode(mode);
    editor.setPlainText(QStringLiteral("16\n") + line);
    QSignalSpy refused(&editor, &TCodeEditor::BreakpointRefused);
    QSignalSpy changed(&editor, &TCodeEditor::BreakpointsChanged);

    editor.MoveCursorToLine(1);
    QCOMPARE(editor.ToggleBreakpointAtCursor(), holds);
    QCOMPARE(editor.BreakpointLines(), holds ? QList<int>{1} : QList<int>{});
    QCOMPARE(changed.count(), holds ? 1 : 0);
    QCOMPARE(refused.count(), holds ? 0 : 1);
    if (!holds) {
        QCOMPARE(refused.at(0).at(0).toInt(), 1);
        QCOMPARE(refused.at(0).at(1).toString(),
                 QStringLiteral("Line 2 gives no bytes, so it cannot hold a breakpoint"));
    }
}

void TestCodeEditor::gutterClickTogglesBreakpoint_data()
{
    QTest::addColumn<TMode>("mode");
    QTest::addColumn<bool>("onLabel");
    QTest::addRow("line numbers, sign column") << TMode::LineNumbers << false;
    QTest::addRow("line numbers, on the number") << TMode::LineNumbers << true;
    QTest::addRow("addresses, on the address") << TMode::ByteAddresses << true;
}

void TestCodeEditor::gutterClickTogglesBreakpoint()
{
    QFETCH(TMode, mode);
    QFETCH(bool, onLabel);
    TCodeEditor editor;
    editor.SetGutterMode(mode);
    editor.setPlainText(QStringLiteral("16\n\n1600")); // bytes in either mode, none, bytes
    editor.resize(300, 200);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QWidget* gutter = editor.findChild<QWidget*>(QStringLiteral("Gutter"));
    QVERIFY(gutter);
    QSignalSpy refused(&editor, &TCodeEditor::BreakpointRefused);
    QSignalSpy changed(&editor, &TCodeEditor::BreakpointsChanged);
    const auto click = [&](int line, Qt::MouseButton button = Qt::LeftButton) {
        const int y = line < 3 ? LineY(editor, line) : LineY(editor, 2) + 40;
        QTest::mouseClick(gutter, button, {}, QPoint(onLabel ? gutter->width() - 3 : 2, y));
    };

    click(0);
    click(2);
    click(0);
    click(1);
    click(2, Qt::RightButton);
    click(3); // below the last line
    QCOMPARE(editor.BreakpointLines(), QList<int>{2});
    QCOMPARE(changed.count(), 3);
    QCOMPARE(refused.count(), 1);
    // The disc fills the sign column's middle on the marked line only.
    const TEditorColours colours = TEditorColours::From(editor.palette());
    const QImage side = gutter->grab().toImage();
    const int middle = editor.fontMetrics().height() / 2;
    QVERIFY(Near(side.pixelColor(middle, LineY(editor, 2)), colours.BreakpointSign));
    QVERIFY(Near(side.pixelColor(middle, LineY(editor, 0)), colours.GutterBackground));
}

// ---- highlighting --------------------------------------------------------------------------

void TestCodeEditor::highlightFormats_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("kind");
    const auto row = [](const char* name, const char* line, int column, int kind) {
        QTest::addRow("%s", name) << QString::fromLatin1(line) << column << kind;
    };
    constexpr int none = -1;
    constexpr int mnemonic = static_cast<int>(TSyntaxKind::Mnemonic);
    constexpr int reg = static_cast<int>(TSyntaxKind::Register);
    constexpr int constant = static_cast<int>(TSyntaxKind::Constant);
    constexpr int label = static_cast<int>(TSyntaxKind::Label);
    constexpr int name = static_cast<int>(TSyntaxKind::Name);
    constexpr int inert = static_cast<int>(TSyntaxKind::Inert);
    constexpr int inertMnemonic = static_cast<int>(TSyntaxKind::InertMnemonic);
    constexpr int comment = static_cast<int>(TSyntaxKind::Comment);
    row("mnemonic", "add ah", 0, mnemonic);
    row("hexadecimal name is a constant", "add ah", 4, constant);
    row("capitals and indent", "  ADD AH", 2, mnemonic);
    row("capital hexadecimal constant", "  ADD AH", 6, constant);
    row("first register", "xch $1,$2", 4, reg);
    row("second register", "xch $1,$2", 7, reg);
    row("comma keeps the text format", "xch $1,$2", 6, none);
    row("blank after comma makes a constant", "cmp $1, $2", 8, constant);
    row("label operand", "jin :stop,:start", 4, label);
    row("second label operand", "jin :stop,:start", 10, label);
    row("label definition", ":start", 0, label);
    row("text after a label emits nothing", ":start jmp", 7, inert);
    row("data name as memory", "mov $1,count", 7, name);
    row("data name in brackets", "add [count]", 4, name);
    row("memory address is a number", "mov &10,5", 4, constant);
    row("name ending in h is a number", "jmp each", 4, constant);
    row("stray comma stays in the operand", "set 5,", 5, constant);
    row("data keyword", "dd count,5", 0, mnemonic);
    row("data name definition", "dd count,5", 3, name);
    row("data value", "dd count,5", 9, constant);
    row("unnamed data value", "DD 7", 3, constant);
    row("second item after a value is ignored", "dd 7,9", 5, inert);
    row("data value after a blank is no number", "dd x, 5", 6, none);
    row("three data items emit nothing", "dd a,1,2", 0, inertMnemonic);
    row("unknown mnemonic", "nop", 0, inert);
    row("form without a row", "jmp :a,:b", 0, inertMnemonic);
    row("operands of a form without a row", "jmp :a,:b", 4, inert);
    row("not needs an operand", "not", 0, inertMnemonic);
    row("three operands are ignored", "inc 1,2,3", 4, inert);
    row("the line still emits its bare form", "inc 1,2,3", 0, mnemonic);
    row("a tab does not separate", "add\tah", 0, inert);
    row("a tab before the blank is trimmed", "add\t ah", 0, mnemonic);
    row("blank line", "   ", 1, none);
    row("several blanks before the operands", "set   5", 6, constant);
    row("blanks around the line", "  xch   $1,$2  ", 8, reg);
    row("second operand of a line with blanks around", "  xch   $1,$2  ", 11, reg);
    row("leading tab", "\tinc", 1, mnemonic);
    row("label after blanks", "  :start", 2, label);
    row("label and mnemonic on one line", ":loop inc $1", 0, label);
    row("mnemonic after a label emits nothing", ":loop inc $1", 6, inert);
    row("operand after a label emits nothing", ":loop inc $1", 10, inert);
    row("a tab does not separate dd", "dd\tx,5", 0, inert);
    row("a tab after the blank is trimmed from data", "dd \tx,5", 4, name);
    row("blank before a data comma", "dd count ,5", 3, name);
    row("blank before a data comma keeps the text format", "dd count ,5", 8, none);
    row("leading comma in data is dropped", "dd ,5", 4, constant);
    row("commas alone give no data items", "dd ,", 0, inertMnemonic);
    row("comment", "; reads a number", 0, comment);
    row("comment to its end", "; reads 1x", 9, comment);
    row("comment after blanks", " \t; set 1x", 2, comment);
    row("blanks before a comment keep the text format", " \t; set 1x", 1, none);
    row("semicolon after a mnemonic is an operand", "add ;x", 4, constant);
    row("semicolon inside the first word", "inc;x", 0, inert);
}

void TestCodeEditor::highlightFormats()
{
    QFETCH(QString, line);
    QFETCH(int, column);
    QFETCH(int, kind);
    TCodeEditor editor;
    TProgramHighlighter highlighter(&editor);
    editor.setPlainText(QStringLiteral("stop\n") + line);
    const QTextBlock block = editor.document()->findBlockByNumber(1);
    QCOMPARE(KindAt(highlighter, block, column), kind);
    QCOMPARE(KindAt(highlighter, editor.document()->firstBlock(), 0),
             static_cast<int>(TSyntaxKind::Mnemonic));
}

void TestCodeEditor::dimmedLinesAreThoseThatEmitNothing_data()
{
    QTest::addColumn<QString>("line");
    for (const char* line : {"nop", "not", "not 5", "jmp :a,:b", "inc 1,2,3", "add\tah", "add ah",
                             "cmp $1, $2", "mov $1,$2,$3", "xch $1", "xch 5,6", "set &5", "out 7",
                             "in 7", "page", "reset", "idiv [a],[b]", "jig &1,&2", "mov :x,$1",
                             "set   5", "add\t ah", "dd\tx,5", "dd ,5", "inc ,", "xch $1,,$2"})
        QTest::addRow("%s", line) << QString::fromLatin1(line);
}

// The translator is the judge of whether a line emits bytes.
void TestCodeEditor::dimmedLinesAreThoseThatEmitNothing()
{
    QFETCH(QString, line);
    TInstructionTable table;
    FillInstructionTable(table);
    const std::vector<std::string> listing = Translate(table, {line.toStdString()});
    QCOMPARE(listing.size(), std::size_t{1});
    const bool emitsNothing = listing.front().empty();

    TCodeEditor editor;
    TProgramHighlighter highlighter(&editor);
    editor.setPlainText(line);
    const int kind = KindAt(highlighter, editor.document()->firstBlock(), 0);
    const bool dimmed = kind == static_cast<int>(TSyntaxKind::Inert)
        || kind == static_cast<int>(TSyntaxKind::InertMnemonic);
    QCOMPARE(dimmed, emitsNothing);
}

// ---- colours -------------------------------------------------------------------------------

void TestCodeEditor::coloursReadInEveryTheme_data()
{
    QTest::addColumn<QPalette>("palette");
    QTest::addRow("light") << MakePalette(Qt::white, Qt::black, QColor(48, 140, 198));
    QTest::addRow("dark") << MakePalette(QColor(30, 30, 30), QColor(224, 224, 224),
                                         QColor(42, 130, 218));
    QTest::addRow("light, orange highlight")
        << MakePalette(QColor(250, 250, 245), QColor(20, 20, 20), QColor(242, 140, 40));
    QTest::addRow("dark, grey highlight")
        << MakePalette(QColor(45, 45, 48), QColor(200, 200, 200), QColor(90, 90, 90));
    QTest::addRow("application palette") << QApplication::palette();
}

void TestCodeEditor::coloursReadInEveryTheme()
{
    QFETCH(QPalette, palette);
    const TEditorColours colours = TEditorColours::From(palette);
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    const QList<QColor> syntax{colours.Mnemonic, colours.Register, colours.Constant, colours.Label};
    for (const QColor& colour : syntax) {
        QVERIFY2(Contrast(colour, base) >= 4.5, qPrintable(colour.name()));
        QVERIFY2(Contrast(colour, colours.ExecutingLine) >= 3.5, qPrintable(colour.name()));
        QVERIFY2(Contrast(colour, colours.ErrorLine) >= 3.5, qPrintable(colour.name()));
    }
    // The three coloured kinds tell apart from each other and from plain text.
    const QList<QColor> coloured{colours.Register, colours.Constant, colours.Label, text};
    for (int i = 0; i < coloured.size(); ++i)
        for (int j = i + 1; j < coloured.size(); ++j)
            QVERIFY2(!Near(coloured[i], coloured[j]),
                     qPrintable(coloured[i].name() + QLatin1Char(' ') + coloured[j].name()));
    // Dimmed text reads, but less than text.
    QVERIFY(Contrast(colours.Inert, base) >= 1.8);
    QVERIFY(Contrast(colours.Inert, base) < Contrast(text, base));
    // Comments read as easily as the marks in the gutter, and apart from dimmed code.
    QVERIFY(Contrast(colours.Comment, base) >= 3.5);
    QVERIFY(!Near(colours.Comment, colours.Inert));
    // Marked lines stand out from the others.
    QVERIFY(!Near(colours.ExecutingLine, base));
    QVERIFY(!Near(colours.ErrorLine, base));
    QVERIFY(!Near(colours.ErrorLine, colours.ExecutingLine));
    for (const QColor& sign :
         {colours.ErrorSign, colours.WarningSign, colours.ExecutingSign, colours.BreakpointSign})
        QVERIFY2(Contrast(sign, colours.GutterBackground) >= 3.0, qPrintable(sign.name()));
    QVERIFY(Contrast(colours.GutterText, colours.GutterBackground) >= 3.5);
}

void TestCodeEditor::paletteChangeRecolours()
{
    TCodeEditor editor;
    TProgramHighlighter highlighter(&editor);
    editor.setPlainText(QStringLiteral("xch $1,$2"));
    editor.resize(300, 100);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    const QPalette dark = MakePalette(QColor(30, 30, 30), QColor(224, 224, 224), QColor(42, 130, 218));
    editor.setPalette(dark);

    const TEditorColours colours = TEditorColours::From(dark);
    QCOMPARE(highlighter.Format(TSyntaxKind::Register).foreground().color(), colours.Register);
    QCOMPARE(highlighter.Format(TSyntaxKind::Comment).foreground().color(), colours.Comment);
    QVERIFY(highlighter.Format(TSyntaxKind::Comment).fontItalic());
    QCOMPARE(KindAt(highlighter, editor.document()->firstBlock(), 4),
             static_cast<int>(TSyntaxKind::Register));
    QWidget* gutter = editor.findChild<QWidget*>(QStringLiteral("Gutter"));
    QVERIFY(gutter);
    QVERIFY(Near(gutter->grab().toImage().pixelColor(1, 1), colours.GutterBackground));
}

QTEST_MAIN(TestCodeEditor)
#include "test_code_editor.moc"
