#include "controls/CommandButton.h"
#include "controls/CustButton.h"

#include <QAccessible>
#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QPainter>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Every colour role the button uses gets its own colour, so a pixel tells which role drew it.
QPalette DistinctPalette()
{
    QPalette pal;
    pal.setColor(QPalette::Window, QColor(200, 200, 200));
    pal.setColor(QPalette::WindowText, QColor(0, 0, 0));
    pal.setColor(QPalette::Button, QColor(190, 180, 170));
    pal.setColor(QPalette::Light, QColor(255, 255, 255));
    pal.setColor(QPalette::Midlight, QColor(230, 230, 120));
    pal.setColor(QPalette::Dark, QColor(128, 128, 128));
    pal.setColor(QPalette::Mid, QColor(160, 100, 100));
    pal.setColor(QPalette::Shadow, QColor(20, 20, 90));
    return pal;
}

QImage Render(TCustButton& button)
{
    QImage image(button.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    button.render(&image);
    return image;
}

QColor Pixel(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

// Bounding box of everything inside area that is not the background colour.
QRect InkBox(const QImage& image, const QRect& area, const QColor& background)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Pixel(image, x, y) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Renders at a device pixel ratio: the image has ratio times the button's pixels.
QImage RenderAt(TCustButton& button, qreal ratio)
{
    QImage image((QSizeF(button.size()) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    button.render(&image);
    return image;
}

// What the accessibility update handler saw, kept for counting.
struct TAccessEvent {
    const QObject* object;
    QAccessible::Event type;
    bool pressedChanged;
};

std::vector<TAccessEvent>& AccessEvents()
{
    static std::vector<TAccessEvent> events;
    return events;
}

void RecordAccessEvent(QAccessibleEvent* event)
{
    bool pressed = false;
    if (event->type() == QAccessible::StateChanged)
        pressed = static_cast<QAccessibleStateChangeEvent*>(event)->changedStates().pressed;
    AccessEvents().push_back({event->object(), event->type(), pressed});
}

int CountAccessEvents(const QObject* object, QAccessible::Event type)
{
    return int(std::count_if(AccessEvents().begin(), AccessEvents().end(), [&](const TAccessEvent& e) {
        return e.object == object && e.type == type && (type != QAccessible::StateChanged || e.pressedChanged);
    }));
}

// Refuses to give the focus away, so that a press elsewhere cannot take it.
class TStubbornEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void focusOutEvent(QFocusEvent* event) override
    {
        QLineEdit::focusOutEvent(event);
        setFocus();
    }
};

} // namespace

class TestCustButton : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newButtonGeometry();
    void clientRectFollowsFrame_data();
    void clientRectFollowsFrame();
    void frameLineColours_data();
    void frameLineColours();
    void wholeDevicePixelsAtRatioTwo_data();
    void wholeDevicePixelsAtRatioTwo();
    void captionCentredAndShiftedWhenDown();
    void ampersandDrawnAsCharacter();
    void focusRectangleDottedAtInsetOne();
    void mouseSequences_data();
    void mouseSequences();
    void doubleClickGivesOneClickAndOneDblClick();
    void clickHandlerSeesDownLook();
    void pressDroppedWhenFocusRefused();
    void keySequences_data();
    void keySequences();
    void escapeInDialogClicksAndKeepsDialogOpen();
    void dialogKeysIgnoredWithoutFocus();
    void acceleratorOfCaption_data();
    void acceleratorOfCaption();
    void altWithAcceleratorClicks_data();
    void altWithAcceleratorClicks();
    void programmaticDownEndsOnLeaveOrFocusLoss();
    void upAndDownSettersTakeEffect();
    void randomInputKeepsClickRules();
    void accessibleNameFollowsCaption_data();
    void accessibleNameFollowsCaption();
    void accessibleStatesAndPress_data();
    void accessibleStatesAndPress();
    void accessibilityNotifications_data();
    void accessibilityNotifications();
    void commandButtonFollowsItsAction_data();
    void commandButtonFollowsItsAction();

private:
    QAccessible::UpdateHandler previousAccessHandler_ = nullptr;
    std::unique_ptr<QWidget> window_;
    TCustButton* button_ = nullptr;
    QLineEdit* other_ = nullptr;
};

void TestCustButton::init()
{
    AccessEvents().clear();
    previousAccessHandler_ = QAccessible::installUpdateHandler(RecordAccessEvent);
    window_ = std::make_unique<QWidget>();
    window_->setPalette(DistinctPalette());
    window_->resize(300, 120);
    button_ = new TCustButton(window_.get());
    button_->move(10, 10);
    button_->SetCaption(QStringLiteral("Go"));
    other_ = new QLineEdit(window_.get());
    other_->setGeometry(10, 60, 100, 22);
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    other_->setFocus();
    QTRY_VERIFY(other_->hasFocus());
}

void TestCustButton::cleanup()
{
    window_.reset();
    QAccessible::installUpdateHandler(previousAccessHandler_);
}

void TestCustButton::newButtonGeometry()
{
    TCustButton fresh;
    QCOMPARE(fresh.size(), QSize(75, 25));
    QCOMPARE(fresh.ClientRect(), QRect(1, 1, 73, 23));
    QVERIFY(!fresh.Down());
    QCOMPARE(fresh.focusPolicy(), Qt::StrongFocus);
    // 8 points at 96 dots per inch, whatever the screen's resolution.
    QCOMPARE(fresh.CanvasFont().pixelSize(), 11);
    QCOMPARE(fresh.CanvasFont().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(fresh.DownBevelOuter(), TBevelCut::bvLowered);
    QCOMPARE(fresh.DownBevelInner(), TBevelCut::bvNone);
    QCOMPARE(fresh.UpBevelInner(), TBevelCut::bvRaised);
    QCOMPARE(fresh.UpBevelOuter(), TBevelCut::bvNone);
}

void TestCustButton::clientRectFollowsFrame_data()
{
    QTest::addColumn<int>("inner");
    QTest::addColumn<int>("outer");
    QTest::addColumn<int>("kind");
    QTest::addColumn<unsigned>("edges");
    QTest::addColumn<int>("bevelWidth");
    QTest::addColumn<int>("borderWidth");
    QTest::addColumn<QRect>("client");

    const int none = int(TBevelCut::bvNone), raised = int(TBevelCut::bvRaised);
    const int lowered = int(TBevelCut::bvLowered), space = int(TBevelCut::bvSpace);
    const int tile = int(TBevelKind::bkTile), noKind = int(TBevelKind::bkNone);
    QTest::addRow("both cuts make two pixels") << raised << lowered << tile << unsigned(beAllEdges) << 1 << 0 << QRect(2, 2, 71, 21);
    QTest::addRow("space cut counts without drawing") << raised << space << tile << unsigned(beAllEdges) << 1 << 0 << QRect(2, 2, 71, 21);
    QTest::addRow("no cuts no frame") << none << none << tile << unsigned(beAllEdges) << 1 << 0 << QRect(0, 0, 75, 25);
    QTest::addRow("kind none ignores cuts") << raised << lowered << noKind << unsigned(beAllEdges) << 1 << 0 << QRect(0, 0, 75, 25);
    QTest::addRow("only left and top edges") << raised << none << tile << unsigned(beLeft | beTop) << 1 << 0 << QRect(1, 1, 74, 24);
    QTest::addRow("bevel width multiplies") << raised << lowered << tile << unsigned(beAllEdges) << 3 << 0 << QRect(6, 6, 63, 13);
    QTest::addRow("border on all four sides") << raised << none << tile << unsigned(beRight) << 1 << 2 << QRect(2, 2, 70, 21);
    QTest::addRow("bevel width below one is one") << raised << none << tile << unsigned(beAllEdges) << 0 << 0 << QRect(1, 1, 73, 23);
}

void TestCustButton::clientRectFollowsFrame()
{
    QFETCH(int, inner);
    QFETCH(int, outer);
    QFETCH(int, kind);
    QFETCH(unsigned, edges);
    QFETCH(int, bevelWidth);
    QFETCH(int, borderWidth);
    QFETCH(QRect, client);

    TCustButton button;
    button.SetUpBevelInner(TBevelCut(inner));
    button.SetUpBevelOuter(TBevelCut(outer));
    button.SetUpBevelKind(TBevelKind(kind));
    button.SetUpBevelEdges(edges);
    button.SetBevelWidth(bevelWidth);
    button.SetBorderWidth(borderWidth);
    QCOMPARE(button.ClientRect(), client);
}

void TestCustButton::frameLineColours_data()
{
    QTest::addColumn<bool>("down");
    QTest::addColumn<int>("outer");
    QTest::addColumn<int>("inner");
    QTest::addColumn<int>("kind");
    QTest::addColumn<unsigned>("edges");
    // Roles expected at pixel row/column 0 of each edge, then at row/column 1 (-1: the fill).
    QTest::addColumn<QList<int>>("outerRoles"); // left, top, right, bottom
    QTest::addColumn<QList<int>>("secondRoles");

    const int none = int(TBevelCut::bvNone), raised = int(TBevelCut::bvRaised), lowered = int(TBevelCut::bvLowered);
    const int tile = int(TBevelKind::bkTile);
    const int L = QPalette::Light, D = QPalette::Dark, M = QPalette::Midlight, S = QPalette::Shadow;
    const int W = QPalette::Window, B = QPalette::Button;
    QTest::addRow("up look raised") << false << none << raised << tile << unsigned(beAllEdges)
                                    << QList<int>{L, L, D, D} << QList<int>{W, W, W, W};
    QTest::addRow("down look sunken") << true << lowered << none << tile << unsigned(beAllEdges)
                                      << QList<int>{D, D, L, L} << QList<int>{W, W, W, W};
    QTest::addRow("raised outer and inner") << false << raised << raised << tile << unsigned(beAllEdges)
                                            << QList<int>{M, M, S, S} << QList<int>{L, L, D, D};
    QTest::addRow("sunken inner alone sits outermost") << false << none << lowered << tile << unsigned(beAllEdges)
                                                       << QList<int>{S, S, M, M} << QList<int>{W, W, W, W};
    QTest::addRow("flat kind one shadow colour") << false << lowered << raised << int(TBevelKind::bkFlat) << unsigned(beAllEdges)
                                                 << QList<int>{D, D, D, D} << QList<int>{B, B, B, B};
    QTest::addRow("missing right edge is fill") << false << none << raised << tile << unsigned(beLeft | beTop | beBottom)
                                                << QList<int>{L, L, W, D} << QList<int>{W, W, W, W};
}

void TestCustButton::frameLineColours()
{
    QFETCH(bool, down);
    QFETCH(int, outer);
    QFETCH(int, inner);
    QFETCH(int, kind);
    QFETCH(unsigned, edges);
    QFETCH(QList<int>, outerRoles);
    QFETCH(QList<int>, secondRoles);

    TCustButton& b = *button_;
    b.SetCaption(QString());
    b.SetUpBevelOuter(TBevelCut(outer));
    b.SetUpBevelInner(TBevelCut(inner));
    b.SetUpBevelKind(TBevelKind(kind));
    b.SetUpBevelEdges(edges);
    b.SetDownBevelOuter(TBevelCut(outer));
    b.SetDownBevelInner(TBevelCut(inner));
    b.SetDownBevelKind(TBevelKind(kind));
    b.SetDownBevelEdges(edges);
    b.SetDown(down);
    QCOMPARE(b.Down(), down);

    const QImage image = Render(b);
    const QPalette pal = DistinctPalette();
    const int w = b.width(), h = b.height();
    const QPoint outerPoints[] = {{0, h / 2}, {w / 2, 0}, {w - 1, h / 2}, {w / 2, h - 1}};
    const QPoint secondPoints[] = {{1, h / 2}, {w / 2, 1}, {w - 2, h / 2}, {w / 2, h - 2}};
    const char* names[] = {"left", "top", "right", "bottom"};
    for (int i = 0; i < 4; ++i) {
        QVERIFY2(Pixel(image, outerPoints[i].x(), outerPoints[i].y()) == pal.color(QPalette::ColorRole(outerRoles[i])), names[i]);
        QVERIFY2(Pixel(image, secondPoints[i].x(), secondPoints[i].y()) == pal.color(QPalette::ColorRole(secondRoles[i])), names[i]);
    }
    // The client area is filled with the button's (the parent's) colour.
    QCOMPARE(Pixel(image, w / 2, h / 2), pal.color(QPalette::Window));
}

void TestCustButton::wholeDevicePixelsAtRatioTwo_data()
{
    QTest::addColumn<bool>("down");
    QTest::addColumn<int>("outer");
    QTest::addColumn<int>("inner");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<QString>("caption");

    const int none = int(TBevelCut::bvNone), raised = int(TBevelCut::bvRaised), lowered = int(TBevelCut::bvLowered);
    const int tile = int(TBevelKind::bkTile), soft = int(TBevelKind::bkSoft);
    QTest::addRow("up look") << false << none << raised << tile << false << QString();
    QTest::addRow("down look") << true << lowered << none << tile << false << QString();
    QTest::addRow("two raised lines") << false << raised << raised << tile << false << QString();
    QTest::addRow("soft sunken and raised") << false << lowered << raised << soft << false << QString();
    QTest::addRow("focus rectangle dots") << false << none << raised << tile << true << QString();
    QTest::addRow("caption up and focused") << false << none << raised << tile << true << QStringLiteral("Emulate");
    QTest::addRow("caption down") << true << lowered << none << tile << false << QStringLiteral("Stop");
}

void TestCustButton::wholeDevicePixelsAtRatioTwo()
{
    QFETCH(bool, down);
    QFETCH(int, outer);
    QFETCH(int, inner);
    QFETCH(int, kind);
    QFETCH(bool, focused);
    QFETCH(QString, caption);

    TCustButton& b = *button_;
    b.SetCaption(caption);
    b.SetUpBevelOuter(TBevelCut(outer));
    b.SetUpBevelInner(TBevelCut(inner));
    b.SetUpBevelKind(TBevelKind(kind));
    b.SetDownBevelOuter(TBevelCut(outer));
    b.SetDownBevelInner(TBevelCut(inner));
    b.SetDownBevelKind(TBevelKind(kind));
    b.SetDown(down);
    if (focused) {
        b.setFocus();
        QTRY_VERIFY(b.hasFocus());
    }

    const QImage one = RenderAt(b, 1);
    const QImage two = RenderAt(b, 2);
    QCOMPARE(two.size(), b.size() * 2);
    const QColor face = DistinctPalette().color(QPalette::Window);
    const QRect inside = b.ClientRect().adjusted(2, 2, -2, -2);
    const QRect ink1 = caption.isEmpty() ? QRect() : InkBox(one, inside, face);
    const QRect textArea = ink1.adjusted(-1, -1, 1, 1); // glyph edges fall differently at 2x

    // Frame lines, fill and focus dots: every pixel of the 1x drawing is a whole 2x2 block of
    // the same colour, so no line is half a device pixel off, thinner, or blended.
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) {
            if (textArea.contains(x, y))
                continue;
            const QColor expected = Pixel(one, x, y);
            for (int d = 0; d < 4; ++d) {
                const QColor actual = Pixel(two, 2 * x + d % 2, 2 * y + d / 2);
                QVERIFY2(actual == expected, qPrintable(QStringLiteral("logical (%1,%2): %3 instead of %4")
                                                            .arg(x).arg(y).arg(actual.name(), expected.name())));
            }
        }
    }
    if (caption.isEmpty())
        return;

    // The caption sits where the 1x one does, at twice the size ...
    QVERIFY(!ink1.isEmpty());
    const QRect ink2 = InkBox(two, QRect(inside.topLeft() * 2, inside.size() * 2), face);
    const QRect doubled(ink1.topLeft() * 2, ink1.size() * 2);
    const QPoint slack(3, 3);
    QVERIFY(QRect(doubled.topLeft() - slack, doubled.bottomRight() + slack).contains(ink2));
    QVERIFY(ink2.contains(QRect(doubled.topLeft() + slack, doubled.bottomRight() - slack)));
    // ... drawn at the device resolution, not enlarged: some 2x2 block differs within itself.
    bool finer = false;
    for (int y = ink2.top() & ~1; y < ink2.bottom() && !finer; y += 2)
        for (int x = ink2.left() & ~1; x < ink2.right() && !finer; x += 2)
            finer = two.pixel(x, y) != two.pixel(x + 1, y) || two.pixel(x, y) != two.pixel(x, y + 1);
    QVERIFY(finer);
}

void TestCustButton::captionCentredAndShiftedWhenDown()
{
    TCustButton& b = *button_;
    b.SetCaption(QStringLiteral("Emulate"));
    const QColor face = DistinctPalette().color(QPalette::Window);
    const QRect inside = b.ClientRect().adjusted(2, 2, -2, -2); // clear of the focus rectangle

    const QRect up = InkBox(Render(b), inside, face);
    b.SetDown(true);
    const QRect down = InkBox(Render(b), inside, face);
    QVERIFY(!up.isEmpty());
    QCOMPARE(down, up.translated(1, 1));

    // Drawn from x = 36 - (w div 2) in client coordinates; ink starts at or just after the pen.
    const QFontMetrics metrics(b.CanvasFont());
    const int penX = 1 + 36 - metrics.horizontalAdvance(QStringLiteral("Emulate")) / 2;
    QVERIFY2(up.left() >= penX - 1 && up.left() <= penX + 2, qPrintable(QString::number(up.left())));
    // Vertically centred within a pixel or two of the text box.
    const int penY = 1 + 11 - metrics.height() / 2;
    QVERIFY(up.top() >= penY && up.bottom() < penY + metrics.height());

    // A new caption is centred again: a longer one starts further left.
    b.SetDown(false);
    b.SetCaption(QStringLiteral("Emulate now"));
    QVERIFY(InkBox(Render(b), inside, face).left() < up.left());
}

void TestCustButton::ampersandDrawnAsCharacter()
{
    TCustButton& b = *button_;
    const QColor face = DistinctPalette().color(QPalette::Window);
    const QRect inside = b.ClientRect().adjusted(2, 2, -2, -2);
    b.SetCaption(QStringLiteral("xy"));
    const QRect plain = InkBox(Render(b), inside, face);
    b.SetCaption(QStringLiteral("x&y"));
    const QRect marked = InkBox(Render(b), inside, face);
    const QFontMetrics metrics(b.CanvasFont());
    // The "&" takes its own width instead of turning into an underline of the y.
    QVERIFY(marked.width() >= plain.width() + metrics.horizontalAdvance(u'&') - 2);
    QCOMPARE(marked.bottom(), plain.bottom());
}

void TestCustButton::focusRectangleDottedAtInsetOne()
{
    TCustButton& b = *button_;
    b.SetCaption(QString());
    const QColor face = DistinctPalette().color(QPalette::Window);
    const QColor inverted(255 - face.red(), 255 - face.green(), 255 - face.blue());

    const QImage unfocused = Render(b);
    b.setFocus();
    QTRY_VERIFY(b.hasFocus());
    const QImage focused = Render(b);

    const QRect f = b.ClientRect().adjusted(1, 1, -1, -1); // (2,2) to (72,22)
    int dotted = 0;
    for (int x = f.left(); x <= f.right(); ++x) {
        for (int y : {f.top(), f.bottom()}) {
            QCOMPARE(Pixel(unfocused, x, y), face);
            QCOMPARE(Pixel(focused, x, y), (x + y) % 2 == 0 ? inverted : face);
            dotted += (x + y) % 2 == 0;
        }
    }
    for (int y = f.top(); y <= f.bottom(); ++y) {
        QCOMPARE(Pixel(focused, f.left(), y), (f.left() + y) % 2 == 0 ? inverted : face);
        QCOMPARE(Pixel(focused, f.right(), y), (f.right() + y) % 2 == 0 ? inverted : face);
    }
    QVERIFY(dotted > 60);
    // Nothing is drawn at the client edge itself or further in.
    QCOMPARE(Pixel(focused, 1, 12), face);
    QCOMPARE(Pixel(focused, 3, 12), face);

    other_->setFocus();
    QTRY_VERIFY(!b.hasFocus());
    QCOMPARE(Render(b), unfocused);
}

void TestCustButton::mouseSequences_data()
{
    // Steps: p press inside, o move off, i move back inside, r release inside,
    // R release outside, f release on the frame pixel, x right click.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("downAfterEach"); // 1 down, 0 up
    QTest::addColumn<int>("clicks");

    QTest::addRow("click inside") << QStringLiteral("pr") << QStringLiteral("10") << 1;
    QTest::addRow("drag off and release outside") << QStringLiteral("poR") << QStringLiteral("100") << 0;
    QTest::addRow("drag off and back then release") << QStringLiteral("poir") << QStringLiteral("1010") << 1;
    QTest::addRow("drag off back and off twice") << QStringLiteral("poioir") << QStringLiteral("101010") << 1;
    QTest::addRow("release on the frame is no click") << QStringLiteral("pf") << QStringLiteral("10") << 0;
    QTest::addRow("right button changes nothing") << QStringLiteral("x") << QStringLiteral("0") << 0;
    QTest::addRow("two clicks") << QStringLiteral("prpr") << QStringLiteral("1010") << 2;
}

void TestCustButton::mouseSequences()
{
    QFETCH(QString, steps);
    QFETCH(QString, downAfterEach);
    QFETCH(int, clicks);

    TCustButton& b = *button_;
    QSignalSpy spy(&b, &TCustButton::OnClick);
    const QPoint inside(37, 12), outside(37, 60), frame(0, 12);
    // No pause between presses: QTest hands these events straight to the widget, where Qt never
    // turns two presses into a double-click; only mouseDClick makes one.
    for (qsizetype i = 0; i < steps.size(); ++i) {
        switch (steps[i].toLatin1()) {
        case 'p': QTest::mousePress(&b, Qt::LeftButton, {}, inside); break;
        case 'o': QTest::mouseMove(&b, outside); break;
        case 'i': QTest::mouseMove(&b, inside); break;
        case 'r': QTest::mouseRelease(&b, Qt::LeftButton, {}, inside); break;
        case 'R': QTest::mouseRelease(&b, Qt::LeftButton, {}, outside); break;
        case 'f': QTest::mouseRelease(&b, Qt::LeftButton, {}, frame); break;
        case 'x': QTest::mouseClick(&b, Qt::RightButton, {}, inside); break;
        }
        QVERIFY2(b.Down() == (downAfterEach[i] == u'1'), qPrintable(QStringLiteral("after step %1").arg(i)));
    }
    QCOMPARE(spy.count(), clicks);
    QVERIFY(b.hasFocus() || steps == QStringLiteral("x"));
}

void TestCustButton::doubleClickGivesOneClickAndOneDblClick()
{
    TCustButton& b = *button_;
    QSignalSpy clicks(&b, &TCustButton::OnClick);
    QSignalSpy doubles(&b, &TCustButton::OnDblClick);
    // The platform's order: press, release, double-click press, release.
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(37, 12));
    QTest::mouseDClick(&b, Qt::LeftButton, {}, QPoint(37, 12));
    QVERIFY(b.Down());
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(37, 12));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(doubles.count(), 1);
    QVERIFY(!b.Down());
}

void TestCustButton::clickHandlerSeesDownLook()
{
    TCustButton& b = *button_;
    bool downInHandler = false;
    QColor topLeftInHandler;
    connect(&b, &TCustButton::OnClick, this, [&] {
        downInHandler = b.Down();
        topLeftInHandler = Pixel(Render(b), 37, 0);
    });
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(37, 12));
    QVERIFY(downInHandler);
    QCOMPARE(topLeftInHandler, DistinctPalette().color(QPalette::Dark));
    QVERIFY(!b.Down());
    QCOMPARE(Pixel(Render(b), 37, 0), DistinctPalette().color(QPalette::Light));
}

void TestCustButton::pressDroppedWhenFocusRefused()
{
    auto* stubborn = new TStubbornEdit(window_.get());
    stubborn->setGeometry(150, 60, 100, 22);
    stubborn->show();
    stubborn->setFocus();
    QTRY_VERIFY(stubborn->hasFocus());

    TCustButton& b = *button_;
    QSignalSpy spy(&b, &TCustButton::OnClick);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(37, 12));
    QVERIFY(!b.hasFocus());
    QVERIFY(!b.Down());
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(37, 12));
    QCOMPARE(spy.count(), 0);
}

void TestCustButton::keySequences_data()
{
    // Steps: S Space down, s Space up, a Space auto-repeat (release+press), E Enter, e Enter
    // auto-repeat, X Escape, h Shift+Enter, c Ctrl+Escape, n keypad Enter, o Space down on the
    // other control, A Alt+Space down, p left press held inside, r left release inside,
    // D Down set true.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("downAfterEach");
    QTest::addColumn<int>("clicks");

    QTest::addRow("space clicks on release") << QStringLiteral("Ss") << QStringLiteral("10") << 1;
    QTest::addRow("held space clicks once") << QStringLiteral("Saaas") << QStringLiteral("11110") << 1;
    QTest::addRow("enter clicks without down look") << QStringLiteral("E") << QStringLiteral("0") << 1;
    QTest::addRow("held enter clicks per repeat") << QStringLiteral("Eee") << QStringLiteral("000") << 3;
    QTest::addRow("escape clicks like enter") << QStringLiteral("X") << QStringLiteral("0") << 1;
    QTest::addRow("keypad enter clicks") << QStringLiteral("n") << QStringLiteral("0") << 1;
    QTest::addRow("shift enter does not click") << QStringLiteral("h") << QStringLiteral("0") << 0;
    QTest::addRow("ctrl escape does not click") << QStringLiteral("c") << QStringLiteral("0") << 0;
    QTest::addRow("space pressed elsewhere released on held button") << QStringLiteral("opsr") << QStringLiteral("0110") << 1;
    QTest::addRow("alt space released on held button") << QStringLiteral("Apsr") << QStringLiteral("0110") << 1;
    QTest::addRow("space release after programmatic down") << QStringLiteral("Ds") << QStringLiteral("11") << 0;
    QTest::addRow("repeats of a press made elsewhere") << QStringLiteral("oaas") << QStringLiteral("0000") << 0;
    QTest::addRow("space seen then mouse held clicks twice") << QStringLiteral("Spsr") << QStringLiteral("1100") << 2;
}

void TestCustButton::keySequences()
{
    QFETCH(QString, steps);
    QFETCH(QString, downAfterEach);
    QFETCH(int, clicks);

    TCustButton& b = *button_;
    b.setFocus();
    QTRY_VERIFY(b.hasFocus());
    QSignalSpy spy(&b, &TCustButton::OnClick);
    const QString space = QStringLiteral(" ");
    for (qsizetype i = 0; i < steps.size(); ++i) {
        switch (steps[i].toLatin1()) {
        case 'S': QTest::keyPress(&b, Qt::Key_Space); break;
        case 's': QTest::keyRelease(&b, Qt::Key_Space); break;
        case 'a':
            QTest::simulateEvent(&b, false, Qt::Key_Space, {}, space, true);
            QTest::simulateEvent(&b, true, Qt::Key_Space, {}, space, true);
            break;
        case 'E': QTest::keyClick(&b, Qt::Key_Return); break;
        case 'e': QTest::simulateEvent(&b, true, Qt::Key_Return, {}, QStringLiteral("\r"), true); break;
        case 'X': QTest::keyClick(&b, Qt::Key_Escape); break;
        case 'h': QTest::keyClick(&b, Qt::Key_Return, Qt::ShiftModifier); break;
        case 'c': QTest::keyClick(&b, Qt::Key_Escape, Qt::ControlModifier); break;
        case 'n': QTest::keyClick(&b, Qt::Key_Enter, Qt::KeypadModifier); break;
        case 'o': QTest::keyPress(other_, Qt::Key_Space); break;
        case 'A': QTest::keyPress(&b, Qt::Key_Space, Qt::AltModifier); break;
        case 'p': QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(37, 12)); break;
        case 'r': QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(37, 12)); break;
        case 'D': b.SetDown(true); break;
        }
        QVERIFY2(b.Down() == (downAfterEach[i] == u'1'), qPrintable(QStringLiteral("after step %1").arg(i)));
    }
    QCOMPARE(spy.count(), clicks);
}

void TestCustButton::escapeInDialogClicksAndKeepsDialogOpen()
{
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* button = new TCustButton(&dialog);
    layout->addWidget(button);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    button->setFocus();
    QTRY_VERIFY(button->hasFocus());
    QSignalSpy spy(button, &TCustButton::OnClick);

    QTest::keyClick(button, Qt::Key_Escape);
    QTest::keyClick(button, Qt::Key_Return);
    QCOMPARE(spy.count(), 2);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);
}

void TestCustButton::dialogKeysIgnoredWithoutFocus()
{
    QSignalSpy spy(button_, &TCustButton::OnClick);
    QTest::keyClick(other_, Qt::Key_Return);
    QTest::keyClick(other_, Qt::Key_Escape);
    QTest::keyClick(other_, Qt::Key_Space);
    QCOMPARE(spy.count(), 0);
}

void TestCustButton::acceleratorOfCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QChar>("accelerator");

    QTest::addRow("blank after ampersand") << QStringLiteral("Translate & Emulate") << QChar(u' ');
    QTest::addRow("letter after ampersand") << QStringLiteral("&Stop") << QChar(u'S');
    QTest::addRow("doubled ampersand marks nothing") << QStringLiteral("Fish && Chips") << QChar();
    QTest::addRow("trailing ampersand marks nothing") << QStringLiteral("Stop&") << QChar();
    QTest::addRow("no ampersand") << QStringLiteral("Emulate") << QChar();
    QTest::addRow("empty caption") << QString() << QChar();
    QTest::addRow("last single ampersand wins") << QStringLiteral("&a&b") << QChar(u'b');
    QTest::addRow("single after doubled") << QStringLiteral("x&&&y") << QChar(u'y');
    QTest::addRow("doubled after single keeps single") << QStringLiteral("&a&&b") << QChar(u'a');
    QTest::addRow("trailing after marked keeps marked") << QStringLiteral("&a&") << QChar(u'a');
    QTest::addRow("three ampersands then end") << QStringLiteral("a&&&") << QChar();
}

void TestCustButton::acceleratorOfCaption()
{
    QFETCH(QString, caption);
    QFETCH(QChar, accelerator);
    QCOMPARE(TCustButton::AcceleratorOf(caption), accelerator);
}

void TestCustButton::altWithAcceleratorClicks_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<int>("clicks");

    QTest::addRow("alt space for translate and emulate") << QStringLiteral("Translate & Emulate") << int(Qt::Key_Space) << QString() << 1;
    QTest::addRow("alt letter any case") << QStringLiteral("&stop") << int(Qt::Key_S) << QString() << 1;
    QTest::addRow("alt digit") << QStringLiteral("Run &2") << int(Qt::Key_2) << QString() << 1;
    QTest::addRow("other letter does nothing") << QStringLiteral("&Stop") << int(Qt::Key_T) << QString() << 0;
    QTest::addRow("doubled ampersand has no key") << QStringLiteral("Fish && Chips") << int(Qt::Key_Space) << QString() << 0;
    QTest::addRow("disabled button") << QStringLiteral("&Stop") << int(Qt::Key_S) << QStringLiteral("disabled") << 0;
    QTest::addRow("hidden parent") << QStringLiteral("&Stop") << int(Qt::Key_S) << QStringLiteral("hidden parent") << 0;
    QTest::addRow("caption changed away") << QStringLiteral("&Stop") << int(Qt::Key_S) << QStringLiteral("recaption") << 0;
    QTest::addRow("alt shift space for translate and emulate") << QStringLiteral("Translate & Emulate") << int(Qt::Key_Space) << QStringLiteral("shift") << 1;
    QTest::addRow("alt ctrl letter") << QStringLiteral("&Stop") << int(Qt::Key_S) << QStringLiteral("ctrl") << 1;
    QTest::addRow("alt ctrl shift digit") << QStringLiteral("Run &2") << int(Qt::Key_2) << QStringLiteral("ctrl shift") << 1;
    QTest::addRow("ctrl letter without alt") << QStringLiteral("&Stop") << int(Qt::Key_S) << QStringLiteral("ctrl no-alt") << 0;
    QTest::addRow("alt shift after caption changed away") << QStringLiteral("&Stop") << int(Qt::Key_S) << QStringLiteral("recaption shift") << 0;
    QTest::addRow("alt shift on disabled button") << QStringLiteral("&Stop") << int(Qt::Key_S) << QStringLiteral("disabled shift") << 0;
}

void TestCustButton::altWithAcceleratorClicks()
{
    QFETCH(QString, caption);
    QFETCH(int, key);
    QFETCH(QString, condition);
    QFETCH(int, clicks);

    auto* panel = new QWidget(window_.get());
    panel->setGeometry(150, 0, 120, 50);
    auto* button = new TCustButton(panel);
    button->SetCaption(caption);
    panel->show();
    if (condition.contains(QStringLiteral("disabled")))
        button->setEnabled(false);
    if (condition.contains(QStringLiteral("hidden parent")))
        panel->hide();
    if (condition.contains(QStringLiteral("recaption")))
        button->SetCaption(QStringLiteral("Resume"));
    Qt::KeyboardModifiers modifiers = Qt::AltModifier;
    modifiers.setFlag(Qt::ShiftModifier, condition.contains(QStringLiteral("shift")));
    modifiers.setFlag(Qt::ControlModifier, condition.contains(QStringLiteral("ctrl")));
    modifiers.setFlag(Qt::AltModifier, !condition.contains(QStringLiteral("no-alt")));

    QSignalSpy spy(button, &TCustButton::OnClick);
    // The focus stays in another control of the window.
    QTest::keyClick(other_, Qt::Key(key), modifiers);
    QCOMPARE(spy.count(), clicks);
    QVERIFY(other_->hasFocus());
    QVERIFY(!button->Down());
}

void TestCustButton::programmaticDownEndsOnLeaveOrFocusLoss()
{
    TCustButton& b = *button_;
    QSignalSpy spy(&b, &TCustButton::OnClick);
    b.SetDown(true);
    QCOMPARE(b.FrameOuter(), TBevelCut::bvLowered);
    QTest::mouseMove(&b, QPoint(37, 12));
    QVERIFY(b.Down());
    QTest::mouseMove(window_.get(), QPoint(250, 100));
    QTRY_VERIFY(!b.Down());

    b.setFocus();
    QTRY_VERIFY(b.hasFocus());
    b.SetDown(true);
    other_->setFocus();
    QTRY_VERIFY(!b.Down());
    QCOMPARE(b.FrameInner(), TBevelCut::bvRaised);
    QCOMPARE(spy.count(), 0);
}

void TestCustButton::upAndDownSettersTakeEffect()
{
    TCustButton& b = *button_;
    b.SetDown(true);
    // An Up value shows at once, even in the down state.
    b.SetUpBevelKind(TBevelKind::bkFlat);
    QCOMPARE(b.FrameKind(), TBevelKind::bkFlat);
    // A Down value waits for the next change to the down state.
    b.SetDownBevelOuter(TBevelCut::bvRaised);
    QCOMPARE(b.FrameOuter(), TBevelCut::bvLowered);
    b.SetDown(false);
    QCOMPARE(b.FrameOuter(), TBevelCut::bvNone);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(37, 12));
    QCOMPARE(b.FrameOuter(), TBevelCut::bvRaised);
    QCOMPARE(b.FrameKind(), TBevelKind::bkTile);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(37, 12));
    QCOMPARE(b.FrameKind(), TBevelKind::bkFlat);
}

void TestCustButton::randomInputKeepsClickRules()
{
    // Random presses, drags, releases and keys: clicks come only from releases, Space releases,
    // Enter and Escape, and the button keeps working afterwards.
    TCustButton& b = *button_;
    b.setFocus();
    QTRY_VERIFY(b.hasFocus());
    QSignalSpy spy(&b, &TCustButton::OnClick);
    QRandomGenerator rng(20261209);
    int clickingEvents = 0;
    bool leftHeld = false;
    bool spaceHeld = false;
    for (int i = 0; i < 300; ++i) {
        const QPoint pos(rng.bounded(-20, 95), rng.bounded(-20, 45));
        switch (rng.bounded(6)) {
        case 0:
            if (!leftHeld) {
                QTest::mousePress(&b, Qt::LeftButton, {}, pos);
                leftHeld = true;
            }
            break;
        case 1:
            QTest::mouseMove(&b, pos);
            break;
        case 2:
            if (leftHeld) {
                QTest::mouseRelease(&b, Qt::LeftButton, {}, pos);
                leftHeld = false;
                ++clickingEvents;
            }
            break;
        case 3:
            QTest::keyPress(&b, Qt::Key_Space);
            spaceHeld = true;
            break;
        case 4:
            if (spaceHeld) {
                QTest::keyRelease(&b, Qt::Key_Space);
                spaceHeld = false;
                ++clickingEvents;
            }
            break;
        case 5:
            QTest::keyClick(&b, rng.bounded(2) ? Qt::Key_Return : Qt::Key_Escape);
            ++clickingEvents;
            break;
        }
    }
    if (leftHeld)
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(-10, -10));
    if (spaceHeld)
        QTest::keyRelease(&b, Qt::Key_Space);
    QVERIFY(spy.count() <= clickingEvents);
    QVERIFY(spy.count() > 0);
    // Whatever came before, a plain click still clicks once and leaves the up look.
    const int before = spy.count();
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(37, 12));
    QCOMPARE(spy.count(), before + 1);
    QVERIFY(!b.Down());
}

void TestCustButton::accessibleNameFollowsCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("recaption"); // null: the caption stays
    QTest::addColumn<QString>("accessibleName"); // set by the program when not empty
    QTest::addColumn<QString>("name");
    QTest::addColumn<QKeySequence>("accelerator");

    const QString none;
    QTest::addRow("plain caption") << QStringLiteral("Go") << none << none << QStringLiteral("Go") << QKeySequence();
    QTest::addRow("ampersand as drawn") << QStringLiteral("Translate & Emulate") << none << none
                                        << QStringLiteral("Translate & Emulate") << QKeySequence(QStringLiteral("Alt+Space"));
    QTest::addRow("marked letter") << QStringLiteral("&Stop") << none << none << QStringLiteral("&Stop")
                                   << QKeySequence(QStringLiteral("Alt+S"));
    QTest::addRow("input dialog enter") << QStringLiteral("Enter") << none << none << QStringLiteral("Enter") << QKeySequence();
    QTest::addRow("input dialog halt") << QStringLiteral("Halt") << none << none << QStringLiteral("Halt") << QKeySequence();
    QTest::addRow("pause becomes resume") << QStringLiteral("Pause") << QStringLiteral("Resume") << none
                                          << QStringLiteral("Resume") << QKeySequence();
    QTest::addRow("same caption again is no change") << QStringLiteral("Pause") << QStringLiteral("Pause") << none
                                                     << QStringLiteral("Pause") << QKeySequence();
    QTest::addRow("program's accessible name wins") << QStringLiteral("Go") << none << QStringLiteral("Start the run")
                                                    << QStringLiteral("Start the run") << QKeySequence();
}

void TestCustButton::accessibleNameFollowsCaption()
{
    QFETCH(QString, caption);
    QFETCH(QString, recaption);
    QFETCH(QString, accessibleName);
    QFETCH(QString, name);
    QFETCH(QKeySequence, accelerator);

    auto* button = new TCustButton(window_.get());
    button->SetCaption(caption);
    button->setAccessibleName(accessibleName);
    button->show();
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(button);
    QVERIFY(access);
    QCOMPARE(access->role(), QAccessible::Button);
    if (!recaption.isNull())
        button->SetCaption(recaption);
    QCOMPARE(access->text(QAccessible::Name), name);
    QCOMPARE(access->text(QAccessible::Accelerator), accelerator.toString(QKeySequence::NativeText));
}

void TestCustButton::accessibleStatesAndPress_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<int>("clicks"); // after the press action

    QTest::addRow("idle") << QString() << false << false << 1;
    QTest::addRow("focused after setFocus") << QStringLiteral("focus") << true << false << 1;
    QTest::addRow("pressed while the mouse is held") << QStringLiteral("mouse") << true << true << 1;
    QTest::addRow("pressed while space is held") << QStringLiteral("space") << true << true << 1;
    QTest::addRow("disabled does not click") << QStringLiteral("disabled") << false << false << 0;
    QTest::addRow("hidden does not click") << QStringLiteral("hidden") << false << false << 0;
}

void TestCustButton::accessibleStatesAndPress()
{
    QFETCH(QString, setup);
    QFETCH(bool, focused);
    QFETCH(bool, pressed);
    QFETCH(int, clicks);

    TCustButton& b = *button_;
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(&b);
    QVERIFY(access);
    QAccessibleActionInterface* actions = access->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    QVERIFY(!actions->actionNames().contains(QAccessibleActionInterface::showMenuAction()));

    if (setup == QStringLiteral("focus") || setup == QStringLiteral("space")) {
        b.setFocus();
        QTRY_VERIFY(b.hasFocus());
    }
    if (setup == QStringLiteral("space"))
        QTest::keyPress(&b, Qt::Key_Space);
    if (setup == QStringLiteral("mouse"))
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(37, 12));
    if (setup == QStringLiteral("disabled"))
        b.setEnabled(false);
    if (setup == QStringLiteral("hidden"))
        b.hide();

    const QAccessible::State state = access->state();
    QVERIFY(state.focusable);
    QCOMPARE(bool(state.focused), focused);
    QCOMPARE(bool(state.pressed), pressed);
    QCOMPARE(bool(state.disabled), setup == QStringLiteral("disabled"));

    QSignalSpy spy(&b, &TCustButton::OnClick);
    bool downInHandler = false;
    connect(&b, &TCustButton::OnClick, this, [&] { downInHandler = b.Down(); });
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(spy.count(), clicks);
    QCOMPARE(downInHandler, clicks > 0); // drawn down while the handler runs, as for a mouse click
    QCOMPARE(b.Down(), pressed); // a press held by mouse or Space goes on afterwards
    QCOMPARE(b.hasFocus(), focused); // the press action does not move the focus
}

void TestCustButton::accessibilityNotifications_data()
{
    // Steps: c caption "Resume", C the same caption "Go" again, m mouse click, s Space click,
    // a the press action, e Enter.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("nameEvents");
    QTest::addColumn<int>("pressedEvents");

    QTest::addRow("new caption is announced") << QStringLiteral("c") << 1 << 0;
    QTest::addRow("same caption is not announced") << QStringLiteral("C") << 0 << 0;
    QTest::addRow("mouse click presses and lets go") << QStringLiteral("m") << 0 << 2;
    QTest::addRow("space click presses and lets go") << QStringLiteral("s") << 0 << 2;
    QTest::addRow("press action presses and lets go") << QStringLiteral("a") << 0 << 2;
    QTest::addRow("enter clicks without pressing") << QStringLiteral("e") << 0 << 0;
}

void TestCustButton::accessibilityNotifications()
{
    // Qt passes accessibility updates on only while an assistive-technology bridge is active,
    // which the offscreen platform lacks. Under X with an accessibility bus and
    // QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 the bridge comes up shortly after start.
    const int patience = qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON") ? 5000 : 0;
    if (!QTest::qWaitFor([] { return QAccessible::isActive(); }, patience))
        QSKIP("no active accessibility bridge on this platform");

    QFETCH(QString, steps);
    QFETCH(int, nameEvents);
    QFETCH(int, pressedEvents);

    TCustButton& b = *button_;
    b.setFocus();
    QTRY_VERIFY(b.hasFocus());
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(&b);
    QVERIFY(access);
    AccessEvents().clear();
    QSignalSpy spy(&b, &TCustButton::OnClick);
    for (const QChar step : steps) {
        switch (step.toLatin1()) {
        case 'c': b.SetCaption(QStringLiteral("Resume")); break;
        case 'C': b.SetCaption(QStringLiteral("Go")); break;
        case 'm': QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(37, 12)); break;
        case 's': QTest::keyClick(&b, Qt::Key_Space); break;
        case 'a': access->actionInterface()->doAction(QAccessibleActionInterface::pressAction()); break;
        case 'e': QTest::keyClick(&b, Qt::Key_Return); break;
        }
    }
    QCOMPARE(CountAccessEvents(&b, QAccessible::NameChanged), nameEvents);
    QCOMPARE(CountAccessEvents(&b, QAccessible::StateChanged), pressedEvents);
}

QTEST_MAIN(TestCustButton)
void TestCustButton::commandButtonFollowsItsAction_data()
{
    QTest::addColumn<QString>("menuText");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("enabled");
    QTest::addRow("mnemonic on the first letter") << "&Translate" << "Translate" << true;
    QTest::addRow("doubled ampersand shows one") << "Translate && &Emulate" << "Translate & Emulate" << true;
    QTest::addRow("mnemonic inside the word") << "E&mulate" << "Emulate" << true;
    QTest::addRow("disabled action, disabled button") << "&Stop" << "Stop" << false;
}

void TestCustButton::commandButtonFollowsItsAction()
{
    QFETCH(QString, menuText);
    QFETCH(QString, caption);
    QFETCH(bool, enabled);
    QAction action(QStringLiteral("&Pause"));
    TCustButton* button =
        NewCommandButton(window_.get(), QStringLiteral("Command"), action, QRect(10, 40, 80, 25));
    button->show();
    QCOMPARE(button->Caption(), QStringLiteral("Pause"));
    // What the action says later, the button says too.
    action.setText(menuText);
    action.setEnabled(enabled);
    QCOMPARE(button->Caption(), caption);
    QCOMPARE(button->isEnabled(), enabled);
    QSignalSpy triggered(&action, &QAction::triggered);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    QCOMPARE(triggered.count(), enabled ? 1 : 0);
}

#include "test_custbutton.moc"
