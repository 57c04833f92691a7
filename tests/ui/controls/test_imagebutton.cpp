// The picture button: a left click released over it clicks; anything else does
// not. From the keyboard it takes the focus by tabbing, shows it, and presses
// on Space and Enter.
#include <QCursor>
#include <QSignalSpy>
#include <QTest>

#include "pixels.h"
#include "ui/controls/ImageButton.h"

namespace {

QPixmap solid(const QColor& colour) {
    QPixmap pixmap(40, 20);
    pixmap.fill(colour);
    return pixmap;
}

struct Fixture {
    QWidget window;
    ImageButton* button;
    bool exposed = false;
    Fixture() {
        window.resize(120, 60);
        button = new ImageButton(&window);
        button->setGeometry(30, 20, 40, 20);
        button->setPixmap(solid(Qt::red));
        button->setPressedPixmap(solid(Qt::blue));
        QCursor::setPos(QPoint(799, 599));
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }
    QColor shown() { return pixel(grabbed(&window), 50, 30); }
    QPoint middle() const { return button->rect().center(); }
};

}  // namespace

class TestImageButton : public QObject {
    Q_OBJECT

  private slots:
    void leftClickOverTheButtonClicks();
    void releaseOutsideGivesNoClick();
    void otherButtonsDoNothing_data();
    void otherButtonsDoNothing();
    void keysPressTheFocusedButton_data();
    void keysPressTheFocusedButton();
    void tabbingInShowsAFocusRing();
    void picturesAreDrawnWhenFirstNeeded();
};

void TestImageButton::leftClickOverTheButtonClicks() {
    Fixture f;
    QVERIFY(f.exposed);
    QSignalSpy clicks(f.button, &ImageButton::clicked);
    QCOMPARE(f.shown(), QColor(Qt::red));
    f.button->clearFocus();
    QTest::mousePress(f.button, Qt::LeftButton, {}, f.middle());
    QCOMPARE(f.shown(), QColor(Qt::blue));
    QCOMPARE(clicks.count(), 0);
    QTest::mouseRelease(f.button, Qt::LeftButton, {}, f.middle());
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(f.shown(), QColor(Qt::red));
    QVERIFY2(!f.button->hasFocus(), "a click leaves the focus where it was");
}

void TestImageButton::releaseOutsideGivesNoClick() {
    Fixture f;
    QSignalSpy clicks(f.button, &ImageButton::clicked);
    QTest::mousePress(f.button, Qt::LeftButton, {}, f.middle());
    QTest::mouseMove(f.button, QPoint(-10, 5));
    QCOMPARE(f.shown(), QColor(Qt::red));  // the pressed picture only while over it
    QTest::mouseMove(f.button, f.middle());
    QCOMPARE(f.shown(), QColor(Qt::blue));
    QTest::mouseMove(f.button, QPoint(50, 5));
    QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(50, 5));
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(f.shown(), QColor(Qt::red));
    QVERIFY(!f.button->isDown());
}

void TestImageButton::otherButtonsDoNothing_data() {
    QTest::addColumn<int>("button");
    QTest::newRow("right") << int(Qt::RightButton);
    QTest::newRow("middle") << int(Qt::MiddleButton);
}

void TestImageButton::otherButtonsDoNothing() {
    QFETCH(int, button);
    Fixture f;
    QSignalSpy clicks(f.button, &ImageButton::clicked);
    QTest::mousePress(f.button, Qt::MouseButton(button), {}, f.middle());
    QCOMPARE(f.shown(), QColor(Qt::red));
    QTest::mouseRelease(f.button, Qt::MouseButton(button), {}, f.middle());
    QCOMPARE(clicks.count(), 0);
}

void TestImageButton::keysPressTheFocusedButton_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("clicks");
    QTest::newRow("space") << int(Qt::Key_Space) << 1;
    QTest::newRow("return") << int(Qt::Key_Return) << 1;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << 1;
    QTest::newRow("escape") << int(Qt::Key_Escape) << 0;
    QTest::newRow("letter") << int(Qt::Key_A) << 0;
}

void TestImageButton::keysPressTheFocusedButton() {
    QFETCH(int, key);
    QFETCH(int, clicks);
    Fixture f;
    QSignalSpy spy(f.button, &ImageButton::clicked);
    QTest::keyClick(f.button, Qt::Key(key));
    QCOMPARE(spy.count(), clicks);
}

void TestImageButton::tabbingInShowsAFocusRing() {
    Fixture f;
    f.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    // The window hands its first button the focus as it opens; that alone
    // shows no ring, so the window looks as it did.
    f.button->setFocus(Qt::ActiveWindowFocusReason);
    const QImage opened = grabbed(&f.window);
    QCOMPARE(pixel(opened, 31, 21), QColor(Qt::red));
    f.button->clearFocus();
    f.button->setFocus(Qt::TabFocusReason);
    const QImage focused = grabbed(&f.window);
    // The ring lies on the button's edge; its middle still shows the picture.
    QVERIFY(pixel(focused, 31, 21) != QColor(Qt::red));
    QCOMPARE(pixel(focused, 50, 30), QColor(Qt::red));
    f.button->clearFocus();
    QCOMPARE(grabbed(&f.window), opened);
}

// A button that is never shown draws nothing; the picture at rest is drawn
// for the first paint, the pressed one for the first press, each only once
// at the same pixel ratio.
void TestImageButton::picturesAreDrawnWhenFirstNeeded() {
    QWidget window;
    window.resize(120, 60);
    auto* button = new ImageButton(&window);
    button->setGeometry(30, 20, 40, 20);
    int atRest = 0, pressed = 0;
    button->setPixmapSource([&](qreal dpr) {
        ++atRest;
        QPixmap p = solid(Qt::red);
        p.setDevicePixelRatio(dpr);
        return p;
    });
    button->setPressedPixmapSource([&](qreal) {
        ++pressed;
        return solid(Qt::blue);
    });
    QCOMPARE(atRest + pressed, 0);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(pixel(grabbed(&window), 50, 30), QColor(Qt::red));
    QCOMPARE(pressed, 0);
    QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
    QCOMPARE(pixel(grabbed(&window), 50, 30), QColor(Qt::blue));
    QTest::mouseRelease(button, Qt::LeftButton, {}, button->rect().center());
    QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
    QTest::mouseRelease(button, Qt::LeftButton, {}, button->rect().center());
    QCOMPARE(pixel(grabbed(&window), 50, 30), QColor(Qt::red));
    QCOMPARE(atRest, 1);
    QCOMPARE(pressed, 1);
    QCOMPARE(button->pixmap().devicePixelRatio(), button->devicePixelRatioF());
}

QTEST_MAIN(TestImageButton)
#include "test_imagebutton.moc"
