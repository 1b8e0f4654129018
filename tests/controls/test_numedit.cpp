#include "controls/Beep.h"
#include "controls/NumEdit.h"
#include "translator/NumberText.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <limits>
#include <memory>

namespace {

struct TSettings {
    bool isHex = false;
    bool isFloat = false;
    bool isSigned = false;
    bool editorEnabled = true;
    bool readOnly = false;
};

void Apply(TNumEdit& edit, const TSettings& s)
{
    edit.SetIsHex(s.isHex);
    edit.SetIsFloat(s.isFloat);
    edit.SetIsSigned(s.isSigned);
    edit.SetEditorEnabled(s.editorEnabled);
    edit.setReadOnly(s.readOnly);
}

// What Value must give for text: the number it reads as, or the fallback.
std::int32_t ExpectedValue(const QString& text, std::int32_t fallback)
{
    std::int32_t parsed = 0;
    const QByteArray bytes = text.toUtf8();
    return TryStrToInt(std::string_view(bytes.constData(), std::size_t(bytes.size())), parsed) ? parsed : fallback;
}

// Whether ch can have entered the field by typing or pasting under the given settings.
bool Admissible(char32_t ch, const TSettings& s)
{
    if (ch < 32)
        return ch != 13;
    if (!s.editorEnabled)
        return false;
    return (ch >= U'0' && ch <= U'9') || (s.isHex && ch >= U'a' && ch <= U'f')
        || (s.isFloat && QString(QChar(ch)) == QLocale().decimalPoint());
}

} // namespace

Q_DECLARE_METATYPE(TSettings)

class TestNumEdit : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void construction();
    void typedCharacters_data();
    void typedCharacters();
    void signToggle_data();
    void signToggle();
    void valueReading_data();
    void valueReading();
    void valueWritingClamps_data();
    void valueWritingClamps();
    void focusExitClamps_data();
    void focusExitClamps();
    void paste_data();
    void paste();
    void pasteBeyondMaxLengthKeepsWhatFits();
    void pasteThroughEveryRoute_data();
    void pasteThroughEveryRoute();
    void cutRule_data();
    void cutRule();
    void focusEntrySelection_data();
    void focusEntrySelection();
    void contextMenuDoesNotCountAsExit();
    void windowSwitchIsNeitherExitNorEntry();
    void enterAndEscapeStayInField();
    void increaseAndDecrease_data();
    void increaseAndDecrease();
    void randomPastesKeepFieldSound();
    void randomKeysKeepFieldSound();

private:
    int BeepsSince(int start) const { return BeepCount() - start; }
    void FocusField();

    std::unique_ptr<QWidget> window_;
    TNumEdit* edit_ = nullptr;
    QLineEdit* other_ = nullptr;
};

void TestNumEdit::initTestCase()
{
    SetBeepHandler([] {}); // counted, not sounded
}

void TestNumEdit::init()
{
    window_ = std::make_unique<QWidget>();
    window_->resize(300, 120);
    auto* layout = new QVBoxLayout(window_.get());
    edit_ = new TNumEdit(window_.get());
    other_ = new QLineEdit(window_.get());
    layout->addWidget(edit_);
    layout->addWidget(other_);
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void TestNumEdit::cleanup()
{
    window_.reset();
}

void TestNumEdit::FocusField()
{
    edit_->setFocus();
    QTRY_VERIFY(edit_->hasFocus());
}

void TestNumEdit::construction()
{
    TNumEdit fresh;
    QCOMPARE(fresh.text(), QStringLiteral("0"));
    QCOMPARE(fresh.Value(), 0);
    QCOMPARE(fresh.Increment(), 1);
    QVERIFY(fresh.EditorEnabled());
    QVERIFY(!fresh.IsFloat() && !fresh.IsHex() && !fresh.IsSigned());
    QCOMPARE(fresh.MinValue(), 0);
    QCOMPARE(fresh.MaxValue(), 0);
    QVERIFY(fresh.AutoSelect());
    QVERIFY(!fresh.isReadOnly());
}

void TestNumEdit::typedCharacters_data()
{
    QTest::addColumn<TSettings>("settings");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("beeps");

    const TSettings plain;
    const QString sep = QLocale().decimalPoint();
    TSettings hex;
    hex.isHex = true;
    TSettings flt;
    flt.isFloat = true;
    TSettings locked;
    locked.editorEnabled = false;

    QTest::addRow("digit enters") << plain << QStringLiteral("1") << int(Qt::Key_5) << QStringLiteral("5") << QStringLiteral("15") << 0;
    QTest::addRow("minus rejected when unsigned") << plain << QStringLiteral("1") << int(Qt::Key_Minus) << QStringLiteral("-") << QStringLiteral("1") << 1;
    QTest::addRow("plus rejected") << plain << QStringLiteral("1") << int(Qt::Key_Plus) << QStringLiteral("+") << QStringLiteral("1") << 1;
    QTest::addRow("separator rejected when not float") << plain << QStringLiteral("1") << 0 << sep << QStringLiteral("1") << 1;
    QTest::addRow("letter rejected") << plain << QStringLiteral("1") << int(Qt::Key_A) << QStringLiteral("a") << QStringLiteral("1") << 1;
    QTest::addRow("blank rejected") << plain << QStringLiteral("1") << int(Qt::Key_Space) << QStringLiteral(" ") << QStringLiteral("1") << 1;
    QTest::addRow("latin1 letter rejected") << plain << QStringLiteral("1") << int(Qt::Key_Eacute) << QStringLiteral("\u00e9") << QStringLiteral("1") << 1;
    QTest::addRow("non-latin digit rejected") << plain << QStringLiteral("1") << 0 << QStringLiteral("\u0663") << QStringLiteral("1") << 1;
    QTest::addRow("backspace deletes") << plain << QStringLiteral("12") << int(Qt::Key_Backspace) << QString() << QStringLiteral("1") << 0;
    QTest::addRow("enter beeps only") << plain << QStringLiteral("12") << int(Qt::Key_Return) << QStringLiteral("\r") << QStringLiteral("12") << 1;
    QTest::addRow("keypad enter beeps only") << plain << QStringLiteral("12") << int(Qt::Key_Enter) << QStringLiteral("\r") << QStringLiteral("12") << 1;
    QTest::addRow("escape changes nothing") << plain << QStringLiteral("12") << int(Qt::Key_Escape) << QStringLiteral("\x1b") << QStringLiteral("12") << 0;
    QTest::addRow("delete is not filtered") << plain << QStringLiteral("12") << int(Qt::Key_Delete) << QString() << QStringLiteral("2") << 0;
    QTest::addRow("hex lower f enters") << hex << QStringLiteral("1") << int(Qt::Key_F) << QStringLiteral("f") << QStringLiteral("1f") << 0;
    QTest::addRow("hex upper F rejected") << hex << QStringLiteral("1") << int(Qt::Key_F) << QStringLiteral("F") << QStringLiteral("1") << 1;
    QTest::addRow("hex g rejected") << hex << QStringLiteral("1") << int(Qt::Key_G) << QStringLiteral("g") << QStringLiteral("1") << 1;
    QTest::addRow("float separator enters") << flt << QStringLiteral("1") << 0 << sep << QStringLiteral("1") + sep << 0;
    QTest::addRow("editor disabled rejects digit") << locked << QStringLiteral("12") << int(Qt::Key_3) << QStringLiteral("3") << QStringLiteral("12") << 1;
    QTest::addRow("editor disabled rejects backspace") << locked << QStringLiteral("12") << int(Qt::Key_Backspace) << QString() << QStringLiteral("12") << 1;
    QTest::addRow("editor disabled still deletes with delete") << locked << QStringLiteral("12") << int(Qt::Key_Delete) << QString() << QStringLiteral("2") << 0;
}

void TestNumEdit::typedCharacters()
{
    QFETCH(TSettings, settings);
    QFETCH(QString, before);
    QFETCH(int, key);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    QFETCH(int, beeps);

    FocusField();
    Apply(*edit_, settings);
    edit_->setText(before);
    edit_->setCursorPosition(key == Qt::Key_Delete ? 0 : int(before.size()));
    const int start = BeepCount();
    QTest::sendKeyEvent(QTest::Click, edit_, Qt::Key(key), typed, {});
    QCOMPARE(edit_->text(), after);
    QCOMPARE(BeepsSince(start), beeps);
}

void TestNumEdit::signToggle_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("caretBefore");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("caretAfter");
    QTest::addColumn<int>("caretAgain");

    QTest::addRow("adds sign, caret stays between digits") << QStringLiteral("12") << 1 << QStringLiteral("-12") << 2 << 1;
    QTest::addRow("removes sign, caret stays between digits") << QStringLiteral("-12") << 2 << QStringLiteral("12") << 1 << 2;
    QTest::addRow("empty text gets lone sign") << QString() << 0 << QStringLiteral("-") << 1 << 0;
    QTest::addRow("caret never moves before the start") << QStringLiteral("-5") << 0 << QStringLiteral("5") << 0 << 1;
}

void TestNumEdit::signToggle()
{
    QFETCH(QString, before);
    QFETCH(int, caretBefore);
    QFETCH(QString, after);
    QFETCH(int, caretAfter);
    QFETCH(int, caretAgain);

    FocusField();
    edit_->SetIsSigned(true);
    edit_->setText(before);
    edit_->setCursorPosition(caretBefore);
    const int start = BeepCount();
    QTest::keyClick(edit_, Qt::Key_Minus);
    QCOMPARE(edit_->text(), after);
    QCOMPARE(edit_->cursorPosition(), caretAfter);
    QVERIFY(!edit_->hasSelectedText());
    QCOMPARE(BeepsSince(start), 1);

    // Toggling again restores the text, also on a read-only field.
    edit_->setReadOnly(true);
    QTest::keyClick(edit_, Qt::Key_Minus);
    QCOMPARE(edit_->text(), before);
    QCOMPARE(edit_->cursorPosition(), caretAgain);
    QCOMPARE(BeepsSince(start), 2);
}

void TestNumEdit::valueReading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isSigned");
    QTest::addColumn<int>("value");

    const int fallback = -7; // MinValue
    QTest::addRow("empty is min") << QString() << false << fallback;
    QTest::addRow("letters are min") << QStringLiteral("abc") << false << fallback;
    QTest::addRow("leading zeros") << QStringLiteral("007") << false << 7;
    QTest::addRow("negative unsigned field") << QStringLiteral("-5") << false << -5;
    QTest::addRow("negative signed field") << QStringLiteral("-5") << true << -5;
    QTest::addRow("not clamped") << QStringLiteral("250") << false << 250;
    QTest::addRow("lone minus is min") << QStringLiteral("-") << true << fallback;
    QTest::addRow("bare hex letters are min") << QStringLiteral("ff") << false << fallback;
    QTest::addRow("dollar hex") << QStringLiteral("$ff") << false << 255;
    QTest::addRow("0x hex pattern") << QStringLiteral("0xFFFFFFFF") << false << -1;
    QTest::addRow("decimal separator is min") << QStringLiteral("1.5") << false << fallback;
    QTest::addRow("beyond 32 bits is min") << QStringLiteral("2147483648") << false << fallback;
    QTest::addRow("lowest 32-bit number") << QStringLiteral("-2147483648") << false << std::numeric_limits<int>::min();
    QTest::addRow("trailing line feed is min") << QStringLiteral("12\n") << false << fallback;
    QTest::addRow("leading blanks allowed") << QStringLiteral("  42") << false << 42;
    QTest::addRow("non-latin digits are min") << QStringLiteral("\u0663") << false << fallback;
}

void TestNumEdit::valueReading()
{
    QFETCH(QString, text);
    QFETCH(bool, isSigned);
    QFETCH(int, value);

    edit_->SetMinValue(-7);
    edit_->SetMaxValue(100);
    edit_->SetIsSigned(isSigned);
    edit_->setText(text);
    QCOMPARE(edit_->Value(), value);
}

void TestNumEdit::valueWritingClamps_data()
{
    QTest::addColumn<int>("minValue");
    QTest::addColumn<int>("maxValue");
    QTest::addColumn<int>("written");
    QTest::addColumn<QString>("text");

    QTest::addRow("above range") << 1 << 100 << 250 << QStringLiteral("100");
    QTest::addRow("below range") << 1 << 100 << 0 << QStringLiteral("1");
    QTest::addRow("inside range") << 1 << 100 << 42 << QStringLiteral("42");
    QTest::addRow("equal zero bounds keep everything") << 0 << 0 << 555 << QStringLiteral("555");
    QTest::addRow("equal nonzero bounds keep everything") << 9 << 9 << -3 << QStringLiteral("-3");
    QTest::addRow("inverted bounds below min") << 10 << 5 << 7 << QStringLiteral("10");
    QTest::addRow("inverted bounds above min") << 10 << 5 << 12 << QStringLiteral("5");
    QTest::addRow("most negative number") << 0 << 0 << std::numeric_limits<int>::min() << QStringLiteral("-2147483648");
}

void TestNumEdit::valueWritingClamps()
{
    QFETCH(int, minValue);
    QFETCH(int, maxValue);
    QFETCH(int, written);
    QFETCH(QString, text);

    edit_->SetMinValue(minValue);
    edit_->SetMaxValue(maxValue);
    QSignalSpy changed(edit_, &QLineEdit::textChanged);
    edit_->SetValue(written);
    QCOMPARE(edit_->text(), text);
    QCOMPARE(changed.count(), 1);
}

void TestNumEdit::focusExitClamps_data()
{
    QTest::addColumn<int>("minValue");
    QTest::addColumn<int>("maxValue");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("afterExit");

    QTest::addRow("above range becomes max") << 1 << 100 << QStringLiteral("250") << QStringLiteral("100");
    QTest::addRow("below range becomes min") << 1 << 100 << QStringLiteral("0") << QStringLiteral("1");
    QTest::addRow("emptied field stays empty") << 1 << 100 << QString() << QString();
    QTest::addRow("no range keeps 555") << 0 << 0 << QStringLiteral("555") << QStringLiteral("555");
    QTest::addRow("leading zeros inside range stay") << 1 << 100 << QStringLiteral("007") << QStringLiteral("007");
}

void TestNumEdit::focusExitClamps()
{
    QFETCH(int, minValue);
    QFETCH(int, maxValue);
    QFETCH(QString, typed);
    QFETCH(QString, afterExit);

    edit_->SetMinValue(minValue);
    edit_->SetMaxValue(maxValue);
    FocusField();
    edit_->selectAll();
    QTest::keyClick(edit_, Qt::Key_Backspace);
    QTest::keyClicks(edit_, typed);
    QCOMPARE(edit_->text(), typed); // typed text stays while the field has the focus
    QString seenOnExit;
    connect(edit_, &QLineEdit::editingFinished, this, [&] { seenOnExit = edit_->text(); });
    QTest::keyClick(edit_, Qt::Key_Tab);
    QTRY_VERIFY(!edit_->hasFocus());
    QCOMPARE(edit_->text(), afterExit);
    QCOMPARE(seenOnExit, typed); // the standard exit handling runs first
}

void TestNumEdit::paste_data()
{
    QTest::addColumn<TSettings>("settings");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("caret");

    const TSettings plain;
    TSettings readOnly;
    readOnly.readOnly = true;
    TSettings locked;
    locked.editorEnabled = false;
    TSettings signedField;
    signedField.isSigned = true;
    TSettings hex;
    hex.isHex = true;

    QTest::addRow("replaces selection") << plain << QStringLiteral("1234") << 1 << 2 << QStringLiteral("9") << QStringLiteral("194") << 2;
    QTest::addRow("drops rejected characters") << plain << QString() << 0 << 0 << QStringLiteral("12a3") << QStringLiteral("123") << 3;
    QTest::addRow("keeps line feed of CRLF") << plain << QString() << 0 << 0 << QStringLiteral("5\r\n") << QStringLiteral("5\n") << 2;
    QTest::addRow("nothing acceptable keeps text") << plain << QStringLiteral("77") << 0 << 2 << QStringLiteral("abc -+.") << QStringLiteral("77") << -1;
    QTest::addRow("empty clipboard keeps text") << plain << QStringLiteral("77") << 1 << 0 << QString() << QStringLiteral("77") << 1;
    QTest::addRow("read-only field takes paste") << readOnly << QStringLiteral("1") << 1 << 0 << QStringLiteral("23") << QStringLiteral("123") << 3;
    QTest::addRow("editor disabled takes control characters only") << locked << QStringLiteral("1") << 1 << 0 << QStringLiteral("4\t5") << QStringLiteral("1\t") << 2;
    QTest::addRow("minus toggles sign then inserts") << signedField << QStringLiteral("12") << 2 << 0 << QStringLiteral("-5") << QStringLiteral("-125") << 4;
    QTest::addRow("two minus signs cancel") << signedField << QStringLiteral("12") << 0 << 0 << QStringLiteral("-3-") << QStringLiteral("312") << 1;
    QTest::addRow("hex letters of either case") << hex << QString() << 0 << 0 << QStringLiteral("aBcF") << QStringLiteral("ac") << 2;
    QTest::addRow("unicode rejected") << plain << QString() << 0 << 0 << QStringLiteral("\u0661\u00b22\U0001F600") << QStringLiteral("2") << 1;
}

void TestNumEdit::paste()
{
    QFETCH(TSettings, settings);
    QFETCH(QString, before);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, clipboard);
    QFETCH(QString, after);
    QFETCH(int, caret);

    Apply(*edit_, settings);
    edit_->setText(before);
    edit_->setSelection(selStart, selLength);
    if (selLength == 0)
        edit_->setCursorPosition(selStart);
    QGuiApplication::clipboard()->setText(clipboard);
    const int start = BeepCount();
    edit_->PasteFromClipboard();
    QCOMPARE(edit_->text(), after);
    if (caret >= 0) {
        QCOMPARE(edit_->cursorPosition(), caret);
        QVERIFY(!edit_->hasSelectedText());
    } else {
        QCOMPARE(edit_->selectedText(), before); // untouched, selection included
    }
    QCOMPARE(BeepsSince(start), 0);
}

void TestNumEdit::pasteBeyondMaxLengthKeepsWhatFits()
{
    edit_->setMaxLength(4);
    edit_->setText(QStringLiteral("12"));
    edit_->setCursorPosition(1);
    QGuiApplication::clipboard()->setText(QStringLiteral("x3456"));
    edit_->PasteFromClipboard();
    QCOMPARE(edit_->text(), QStringLiteral("1342"));
    QCOMPARE(edit_->cursorPosition(), 3);
}

void TestNumEdit::pasteThroughEveryRoute_data()
{
    QTest::addColumn<QString>("route");
    QTest::addRow("keyboard shortcut") << QStringLiteral("keys");
    QTest::addRow("shift insert") << QStringLiteral("shift-insert");
    QTest::addRow("context menu") << QStringLiteral("menu");
    QTest::addRow("program call") << QStringLiteral("program");
}

void TestNumEdit::pasteThroughEveryRoute()
{
    QFETCH(QString, route);

    FocusField();
    edit_->setText(QStringLiteral("1"));
    edit_->setCursorPosition(1);
    QGuiApplication::clipboard()->setText(QStringLiteral("2 x3"));
    const int start = BeepCount();
    if (route == QStringLiteral("keys")) {
        QTest::keyClick(edit_, Qt::Key_V, Qt::ControlModifier);
    } else if (route == QStringLiteral("shift-insert")) {
        QTest::keyClick(edit_, Qt::Key_Insert, Qt::ShiftModifier);
    } else if (route == QStringLiteral("menu")) {
        bool triggered = false;
        QTimer::singleShot(0, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* action : menu->actions())
                if (action->text().contains(QStringLiteral("Paste")) && action->isEnabled()) {
                    action->trigger();
                    triggered = true;
                }
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), edit_->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(edit_, &event);
        QTRY_VERIFY(triggered);
    } else {
        edit_->PasteFromClipboard();
    }
    QCOMPARE(edit_->text(), QStringLiteral("123"));
    QCOMPARE(BeepsSince(start), 0);
}

void TestNumEdit::cutRule_data()
{
    QTest::addColumn<TSettings>("settings");
    QTest::addColumn<bool>("cuts");

    TSettings readOnly;
    readOnly.readOnly = true;
    TSettings locked;
    locked.editorEnabled = false;
    QTest::addRow("enabled editor cuts") << TSettings{} << true;
    QTest::addRow("read-only refuses") << readOnly << false;
    QTest::addRow("editor disabled refuses") << locked << false;
}

void TestNumEdit::cutRule()
{
    QFETCH(TSettings, settings);
    QFETCH(bool, cuts);

    FocusField();
    Apply(*edit_, settings);
    edit_->setText(QStringLiteral("1234"));
    edit_->setSelection(1, 2);
    QGuiApplication::clipboard()->setText(QStringLiteral("old"));
    const int start = BeepCount();
    QTest::keyClick(edit_, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(edit_->text(), cuts ? QStringLiteral("14") : QStringLiteral("1234"));
    QCOMPARE(QGuiApplication::clipboard()->text(), cuts ? QStringLiteral("23") : QStringLiteral("old"));
    QCOMPARE(BeepsSince(start), 0);

    // Copy is never refused.
    edit_->setSelection(0, 1);
    QTest::keyClick(edit_, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1"));
}

void TestNumEdit::focusEntrySelection_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("autoSelect");
    QTest::addColumn<bool>("selectsAll");

    QTest::addRow("tab selects all") << QStringLiteral("tab") << true << true;
    QTest::addRow("program focus selects all") << QStringLiteral("program") << true << true;
    QTest::addRow("click does not select") << QStringLiteral("click") << true << false;
    QTest::addRow("tab without auto-select") << QStringLiteral("tab") << false << false;
}

void TestNumEdit::focusEntrySelection()
{
    QFETCH(QString, how);
    QFETCH(bool, autoSelect);
    QFETCH(bool, selectsAll);

    edit_->SetAutoSelect(autoSelect);
    edit_->setText(QStringLiteral("4567"));
    edit_->setCursorPosition(1);
    other_->setFocus();
    QTRY_VERIFY(other_->hasFocus());
    if (how == QStringLiteral("tab"))
        QTest::keyClick(other_, Qt::Key_Backtab, Qt::ShiftModifier);
    else if (how == QStringLiteral("click"))
        QTest::mouseClick(edit_, Qt::LeftButton, {}, QPoint(edit_->width() - 4, edit_->height() / 2));
    else
        edit_->setFocus();
    QTRY_VERIFY(edit_->hasFocus());
    QCOMPARE(edit_->selectedText(), selectsAll ? QStringLiteral("4567") : QString());
    // The first digit typed after a selecting entry replaces the text.
    QTest::keyClick(edit_, Qt::Key_9);
    QCOMPARE(edit_->text() == QStringLiteral("9"), selectsAll);
}

void TestNumEdit::contextMenuDoesNotCountAsExit()
{
    edit_->SetMinValue(1);
    edit_->SetMaxValue(100);
    FocusField();
    edit_->setText(QStringLiteral("250"));
    edit_->setCursorPosition(1);
    // Qt's offscreen platform makes no context-menu event from a right click, so send it.
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), edit_->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(edit_, &event);
    QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
    QCOMPARE(edit_->text(), QStringLiteral("250")); // the popup took the keyboard: no exit clamp
    QApplication::activePopupWidget()->close();
    QTRY_VERIFY(edit_->hasFocus());
    QCOMPARE(edit_->text(), QStringLiteral("250"));
    QVERIFY(!edit_->hasSelectedText());
}

void TestNumEdit::windowSwitchIsNeitherExitNorEntry()
{
    edit_->SetMinValue(1);
    edit_->SetMaxValue(100);
    FocusField();
    edit_->setText(QStringLiteral("250"));
    edit_->setCursorPosition(1);

    QWidget elsewhere;
    elsewhere.resize(100, 40);
    elsewhere.show();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    QCOMPARE(edit_->text(), QStringLiteral("250"));

    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QTRY_VERIFY(edit_->hasFocus());
    QVERIFY(!edit_->hasSelectedText());
    QCOMPARE(edit_->cursorPosition(), 1);

    // Showing a window is an entry: the text is selected.
    QWidget shown;
    auto* field = new TNumEdit(&shown);
    field->setText(QStringLiteral("321"));
    field->setCursorPosition(1);
    shown.show();
    shown.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&shown));
    QTRY_VERIFY(field->hasFocus());
    QCOMPARE(field->selectedText(), QStringLiteral("321"));
}

void TestNumEdit::enterAndEscapeStayInField()
{
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* edit = new TNumEdit(&dialog);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    layout->addWidget(edit);
    layout->addWidget(ok);
    QSignalSpy clicked(ok, &QPushButton::clicked);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());

    const int start = BeepCount();
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(edit, Qt::Key_Escape);
    QCOMPARE(BeepsSince(start), 2);
    QVERIFY(dialog.isVisible());
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(edit->text(), QStringLiteral("0"));
    // Tab still moves on.
    QTest::keyClick(edit, Qt::Key_Tab);
    QTRY_VERIFY(ok->hasFocus());
}

void TestNumEdit::increaseAndDecrease_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("increment");
    QTest::addColumn<int>("minValue");
    QTest::addColumn<int>("maxValue");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("afterIncrease");
    QTest::addColumn<QString>("afterDecrease");
    QTest::addColumn<int>("beeps");

    const int maxInt = std::numeric_limits<int>::max();
    QTest::addRow("steps by increment") << QStringLiteral("10") << 5 << 0 << 0 << false << QStringLiteral("15") << QStringLiteral("5") << 0;
    QTest::addRow("clamped to range") << QStringLiteral("99") << 5 << 1 << 100 << false << QStringLiteral("100") << QStringLiteral("90") << 0;
    QTest::addRow("saturates at the top") << QString::number(maxInt) << 1 << 0 << 0 << false << QString::number(maxInt) << QStringLiteral("2147483645") << 0;
    QTest::addRow("saturates at the bottom") << QStringLiteral("-2147483648") << maxInt << 0 << 0 << false << QStringLiteral("-1") << QStringLiteral("-2147483648") << 0;
    QTest::addRow("read-only beeps") << QStringLiteral("10") << 5 << 0 << 0 << true << QStringLiteral("10") << QStringLiteral("10") << 2;
}

void TestNumEdit::increaseAndDecrease()
{
    QFETCH(QString, text);
    QFETCH(int, increment);
    QFETCH(int, minValue);
    QFETCH(int, maxValue);
    QFETCH(bool, readOnly);
    QFETCH(QString, afterIncrease);
    QFETCH(QString, afterDecrease);
    QFETCH(int, beeps);

    edit_->SetIncrement(increment);
    edit_->SetMinValue(minValue);
    edit_->SetMaxValue(maxValue);
    edit_->setReadOnly(readOnly);
    edit_->setText(text);
    const int start = BeepCount();
    edit_->Increase();
    QCOMPARE(edit_->text(), afterIncrease);
    edit_->Decrease();
    edit_->Decrease();
    QCOMPARE(edit_->text(), afterDecrease);
    QCOMPARE(BeepsSince(start), beeps == 0 ? 0 : 3);
}

void TestNumEdit::randomPastesKeepFieldSound()
{
    QRandomGenerator rng(4242);
    for (int round = 0; round < 200; ++round) {
        TSettings s;
        s.isHex = rng.bounded(2);
        s.isSigned = rng.bounded(2);
        s.editorEnabled = rng.bounded(4) != 0;
        s.readOnly = rng.bounded(4) == 0;
        Apply(*edit_, s);
        edit_->SetMinValue(rng.bounded(-50, 50));
        edit_->SetMaxValue(rng.bounded(-50, 50));
        edit_->setText(QStringLiteral("12"));

        QString clip;
        const int length = rng.bounded(2) ? rng.bounded(8) : rng.bounded(3000);
        for (int i = 0; i < length; ++i) {
            switch (rng.bounded(4)) {
            case 0: clip += QChar(char16_t(rng.bounded(0, 128))); break;
            case 1: clip += QChar(char16_t(rng.bounded(0, 256))); break;
            case 2: clip += QChar(char16_t(rng.bounded(0xd800))); break;
            default: clip += QStringLiteral("-0\r\n"); break;
            }
        }
        QGuiApplication::clipboard()->setText(clip);
        edit_->setSelection(rng.bounded(3), rng.bounded(3));
        edit_->PasteFromClipboard();

        // Apart from a leading sign, whatever is not admissible must be left of the old "12".
        const QString t = edit_->text();
        QVERIFY(t.size() <= edit_->maxLength());
        QString rest;
        for (qsizetype i = 0; i < t.size(); ++i)
            if (!(i == 0 && t[i] == u'-' && s.isSigned) && !Admissible(t[i].unicode(), s))
                rest += t[i];
        QVERIFY2(QStringLiteral("12").contains(rest), qPrintable(QStringLiteral("round %1: %2").arg(round).arg(rest)));
        QCOMPARE(edit_->Value(), ExpectedValue(t, edit_->MinValue()));
    }
    // Still usable afterwards.
    Apply(*edit_, TSettings{});
    edit_->SetMinValue(0);
    edit_->SetMaxValue(0);
    edit_->SetValue(31);
    QCOMPARE(edit_->Value(), 31);
}

void TestNumEdit::randomKeysKeepFieldSound()
{
    FocusField();
    TSettings s;
    s.isSigned = true;
    Apply(*edit_, s);
    edit_->SetMinValue(-20);
    edit_->SetMaxValue(20);
    QGuiApplication::clipboard()->setText(QStringLiteral("1a-2\n"));
    const QList<Qt::Key> keys = {Qt::Key_0, Qt::Key_5, Qt::Key_9, Qt::Key_Minus, Qt::Key_Plus, Qt::Key_A,
                                 Qt::Key_Space, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Home,
                                 Qt::Key_End, Qt::Key_Return, Qt::Key_Escape, Qt::Key_Period, Qt::Key_Comma};
    QRandomGenerator rng(777);
    for (int i = 0; i < 1500; ++i) {
        const int pick = rng.bounded(int(keys.size()) + 4);
        if (pick < keys.size()) {
            QTest::keyClick(edit_, keys[pick]);
        } else if (pick == keys.size()) {
            QTest::keyClick(edit_, Qt::Key_V, Qt::ControlModifier);
        } else if (pick == keys.size() + 1) {
            QTest::keyClick(edit_, Qt::Key_Z, Qt::ControlModifier);
        } else if (pick == keys.size() + 2) {
            const QString unicode(QChar(char16_t(rng.bounded(128, 0xd800))));
            QTest::sendKeyEvent(QTest::Click, edit_, Qt::Key_unknown, unicode, {});
        } else {
            QTest::keyClick(edit_, Qt::Key_A, Qt::ControlModifier);
        }
        const QString t = edit_->text();
        // The sign goes in at the start, but digits may later be typed in front of it.
        for (qsizetype k = 0; k < t.size(); ++k)
            QVERIFY2(Admissible(t[k].unicode(), s) || t[k] == u'-', qPrintable(t));
        QCOMPARE(edit_->Value(), ExpectedValue(t, -20));
    }
    QVERIFY(edit_->hasFocus());
    edit_->selectAll();
    QTest::keyClicks(edit_, QStringLiteral("15"));
    QCOMPARE(edit_->Value(), 15);
}

QTEST_MAIN(TestNumEdit)
#include "test_numedit.moc"
