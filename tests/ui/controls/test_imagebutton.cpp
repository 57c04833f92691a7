// The picture button: a left click released over it clicks; anything else does not.
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
};

void TestImageButton::leftClickOverTheButtonClicks() {
    Fixture f;
    QVERIFY(f.exposed);
    QSignalSpy clicks(f.button, &ImageButton::clicked);
    QCOMPARE(f.shown(), QColor(Qt::red));
    QTest::mousePress(f.button, Qt::LeftButton, {}, f.middle());
    QCOMPARE(f.shown(), QColor(Qt::blue));
    QCOMPARE(clicks.count(), 0);
    QTest::mouseRelease(f.button, Qt::LeftButton, {}, f.middle());
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(f.shown(), QColor(Qt::red));
    QCOMPARE(f.button->focusPolicy(), Qt::NoFocus);
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

QTEST_MAIN(TestImageButton)
#include "test_imagebutton.moc"
