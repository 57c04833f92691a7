// The selection button: its three looks by pixels, the caption's offsets, the
// border rings, and how real mouse events move it between the looks.
#include <QCursor>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>

#include "pixels.h"
#include "ui/controls/ButtonComps.h"
#include "ui/controls/tag.h"

namespace {

const QColor kParent(200, 200, 200);
const QColor kFace(10, 20, 30), kOver(40, 50, 60), kDown(70, 80, 90);
const QColor kInk(0, 255, 0), kOverInk(255, 255, 0), kBorder(255, 0, 255);
using Look = TSelButton::Look;

// A button with colours found nowhere else, on a plain window, with the pointer
// away from it.
struct Fixture {
    QWidget window;
    TSelButton* button;
    explicit Fixture(const QString& caption = QStringLiteral("HHH")) {
        window.setAutoFillBackground(true);
        QPalette p = window.palette();
        p.setColor(QPalette::Window, kParent);
        window.setPalette(p);
        window.resize(200, 60);
        button = new TSelButton(&window);
        button->move(20, 20);
        button->setFont(crispFont(QStringLiteral("Arial"), 8));
        button->setCaption(caption);
        button->setColor(kFace);
        button->setColorOver(kOver);
        button->setColorDown(kDown);
        button->setFontColor(kInk);
        button->setColorOverCaption(kOverInk);
        button->setColorBorder(kBorder);
        // Left over from an earlier window, the pointer would enter the button
        // as soon as it shows.
        QCursor::setPos(QPoint(799, 599));
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }
    bool exposed = false;
    QImage shown() { return grabbed(&window).copy(button->geometry()); }
    QPoint middle() const { return button->rect().center(); }
    void hover() { QTest::mouseMove(button, middle()); }
    void press() { QTest::mousePress(button, Qt::LeftButton, {}, middle()); }
};

}  // namespace

class TestSelButton : public QObject {
    Q_OBJECT

  private slots:
    void looksPaintFaceAndCaptionColours();
    void captionSitsWhereTheLookPutsIt_data();
    void captionSitsWhereTheLookPutsIt();
    void borderRingsNest_data();
    void borderRingsNest();
    void completedClickRunsRestThenHover();
    void releaseOffTheButtonGivesNoClick();
    void otherButtonsChangeNothing();
    void disabledButtonKeepsItsRestLook();
    void redrawingSettersReturnToRest_data();
    void redrawingSettersReturnToRest();
    void captionFollowsTheObjectNameUntilSet();
    void captionIsPlainText();
    void keysClickTheFocusedButton_data();
    void keysClickTheFocusedButton();
    void focusShowsARingAndClicksDoNotTakeIt();
};

void TestSelButton::looksPaintFaceAndCaptionColours() {
    Fixture f;
    QVERIFY(f.exposed);
    QCOMPARE(f.button->size(), QSize(105, 20));
    QImage shown = f.shown();
    QCOMPARE(pixel(shown, 2, 2), kFace);
    QVERIFY(!boxOf(shown, kInk).isEmpty());

    f.hover();
    QCOMPARE(f.button->look(), Look::Hover);
    shown = f.shown();
    QCOMPARE(pixel(shown, 2, 2), kOver);
    QVERIFY(boxOf(shown, kInk).isEmpty());
    QVERIFY(!boxOf(shown, kOverInk).isEmpty());

    // A press keeps the caption colour of the look before it.
    f.press();
    QCOMPARE(f.button->look(), Look::Pressed);
    shown = f.shown();
    QCOMPARE(pixel(shown, 2, 2), kDown);
    QVERIFY(!boxOf(shown, kOverInk).isEmpty());

    QTest::mouseRelease(f.button, Qt::LeftButton, {}, f.middle());
    QTest::mouseMove(&f.window, QPoint(2, 2));
    QCOMPARE(f.button->look(), Look::Rest);
    QCOMPARE(pixel(f.shown(), 2, 2), kFace);
}

void TestSelButton::captionSitsWhereTheLookPutsIt_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("pressedShift");
    QTest::newRow("left") << int(Qt::AlignLeft) << 1;
    QTest::newRow("right") << int(Qt::AlignRight) << -1;
    QTest::newRow("centre") << int(Qt::AlignHCenter) << 1;
}

void TestSelButton::captionSitsWhereTheLookPutsIt() {
    QFETCH(int, alignment);
    QFETCH(int, pressedShift);
    Fixture f;
    f.button->setAlignment(Qt::Alignment(alignment));
    const QFontMetrics metrics(f.button->font());
    const int w = f.button->width(), h = f.button->height();
    const int tw = metrics.horizontalAdvance(QStringLiteral("HHH")), th = metrics.height();
    const int x = alignment == Qt::AlignLeft    ? 5
                  : alignment == Qt::AlignRight ? w - tw - 6
                                                : w / 2 - tw / 2;
    const int y = h / 2 - th / 2;

    const QRect rest = boxOf(f.shown(), kInk);
    // The ink of "HHH" fills its advance but for the side bearings, and stands
    // between the text box's top and its baseline.
    QVERIFY2(rest.left() - x >= 0 && rest.left() - x <= 3,
             qPrintable(QString::number(rest.left())));
    QVERIFY2(x + tw - 1 - rest.right() >= 0 && x + tw - 1 - rest.right() <= 3,
             qPrintable(QString::number(rest.right())));
    QVERIFY(rest.top() >= y && rest.bottom() < y + metrics.ascent());

    f.hover();
    QCOMPARE(boxOf(f.shown(), kOverInk), rest);
    f.press();
    QCOMPARE(boxOf(f.shown(), kOverInk), rest.translated(pressedShift, 1));
}

void TestSelButton::borderRingsNest_data() {
    QTest::addColumn<int>("rings");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("two") << 2;
}

void TestSelButton::borderRingsNest() {
    QFETCH(int, rings);
    Fixture f(QString{});
    f.button->setBorderWidth(rings);
    const QImage shown = f.shown();
    const int w = shown.width(), h = shown.height();
    for (int i = 0; i <= rings; ++i) {
        // Ring 0 without a border shows the window; inside the rings, the face.
        const QColor expected = i < rings ? kBorder : i == 0 ? kParent : kFace;
        for (int x = i; x < w - i; ++x) {
            QCOMPARE(pixel(shown, x, i), expected);
            QCOMPARE(pixel(shown, x, h - 1 - i), expected);
        }
        for (int y = i; y < h - i; ++y) {
            QCOMPARE(pixel(shown, i, y), expected);
            QCOMPARE(pixel(shown, w - 1 - i, y), expected);
        }
    }
}

void TestSelButton::completedClickRunsRestThenHover() {
    Fixture f;
    setTag(f.button, 4);
    QStringList events;
    QObject::connect(f.button, &TSelButton::mouseDown, f.button,
                     [&](TSelButton*) { events << QStringLiteral("down"); });
    QObject::connect(f.button, &TSelButton::clicked, f.button, [&](TSelButton* sender) {
        events << QStringLiteral("click %1 tag %2").arg(int(sender->look())).arg(tagOf(sender));
    });
    QObject::connect(f.button, &TSelButton::mouseUp, f.button,
                     [&](TSelButton*) { events << QStringLiteral("up"); });
    f.hover();
    QTest::mouseClick(f.button, Qt::LeftButton, {}, f.middle());
    QCOMPARE(events, (QStringList{QStringLiteral("down"), QStringLiteral("click 0 tag 4"),
                                  QStringLiteral("up")}));
    QCOMPARE(f.button->look(), Look::Hover);
    QCOMPARE(pixel(f.shown(), 2, 2), kOver);
}

void TestSelButton::releaseOffTheButtonGivesNoClick() {
    Fixture f;
    QSignalSpy clicks(f.button, &TSelButton::clicked);
    QSignalSpy ups(f.button, &TSelButton::mouseUp);
    f.hover();
    f.press();
    QTest::mouseMove(f.button, QPoint(-10, -10));
    QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(-10, -10));
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(ups.count(), 1);
    QVERIFY(f.button->look() != Look::Hover);
    QCOMPARE(pixel(f.shown(), 2, 2), kFace);
}

void TestSelButton::otherButtonsChangeNothing() {
    Fixture f;
    QSignalSpy downs(f.button, &TSelButton::mouseDown);
    QSignalSpy clicks(f.button, &TSelButton::clicked);
    f.hover();
    QTest::mousePress(f.button, Qt::RightButton, {}, f.middle());
    QCOMPARE(f.button->look(), Look::Hover);
    QTest::mouseRelease(f.button, Qt::RightButton, {}, f.middle());
    QTest::mouseClick(f.button, Qt::MiddleButton, {}, f.middle());
    QCOMPARE(f.button->look(), Look::Hover);
    QCOMPARE(pixel(f.shown(), 2, 2), kOver);
    QCOMPARE(downs.count(), 0);
    QCOMPARE(clicks.count(), 0);
}

void TestSelButton::disabledButtonKeepsItsRestLook() {
    Fixture f;
    f.button->setButtonEnabled(false);
    QSignalSpy downs(f.button, &TSelButton::mouseDown);
    QSignalSpy ups(f.button, &TSelButton::mouseUp);
    QSignalSpy clicks(f.button, &TSelButton::clicked);
    f.hover();
    QCOMPARE(f.button->look(), Look::Rest);
    f.press();
    QCOMPARE(f.button->look(), Look::Rest);
    QCOMPARE(pixel(f.shown(), 2, 2), kFace);
    QTest::mouseRelease(f.button, Qt::LeftButton, {}, f.middle());
    QCOMPARE(f.button->look(), Look::Rest);
    QCOMPARE(downs.count() + ups.count() + clicks.count(), 0);
}

void TestSelButton::redrawingSettersReturnToRest_data() {
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("redraws");
    QTest::newRow("Caption") << "Caption" << QVariant(QStringLiteral("X")) << true;
    QTest::newRow("Color") << "Color" << QVariant(QColor(1, 1, 1)) << true;
    QTest::newRow("ColorBorder") << "ColorBorder" << QVariant(QColor(1, 1, 1)) << true;
    QTest::newRow("Alignment") << "Alignment" << QVariant::fromValue(Qt::Alignment(Qt::AlignRight))
                               << true;
    QTest::newRow("BorderWidth") << "BorderWidth" << QVariant(2) << true;
    QTest::newRow("ColorOverCaption") << "ColorOverCaption" << QVariant(QColor(1, 1, 1)) << false;
    QTest::newRow("ColorOver") << "ColorOver" << QVariant(QColor(1, 1, 1)) << false;
    QTest::newRow("ColorDown") << "ColorDown" << QVariant(QColor(1, 1, 1)) << false;
    QTest::newRow("Enabled") << "Enabled" << QVariant(false) << false;
}

void TestSelButton::redrawingSettersReturnToRest() {
    QFETCH(QString, property);
    QFETCH(QVariant, value);
    QFETCH(bool, redraws);
    Fixture f;
    f.hover();
    QVERIFY(f.button->setProperty(qPrintable(property), value));
    QCOMPARE(f.button->property(qPrintable(property)), value);
    QCOMPARE(f.button->look(), redraws ? Look::Rest : Look::Hover);
}

void TestSelButton::captionFollowsTheObjectNameUntilSet() {
    TSelButton button;
    QCOMPARE(button.caption(), QString());
    button.setObjectName(QStringLiteral("SelButton1"));
    QCOMPARE(button.caption(), QStringLiteral("SelButton1"));
    button.setObjectName(QStringLiteral("SelButton3"));
    QCOMPARE(button.caption(), QStringLiteral("SelButton3"));
    button.setCaption(QString());  // an empty caption set on purpose stays
    button.setObjectName(QStringLiteral("button_done"));
    QCOMPARE(button.caption(), QString());
    button.setCaption(QStringLiteral("Done"));
    QCOMPARE(button.caption(), QStringLiteral("Done"));
}

void TestSelButton::captionIsPlainText() {
    Fixture ampersand(QStringLiteral("&"));
    QVERIFY(!boxOf(ampersand.shown(), kInk).isEmpty());
    Fixture doubled(QStringLiteral("&&"));
    QVERIFY(boxOf(doubled.shown(), kInk).width() > boxOf(ampersand.shown(), kInk).width() + 2);
}

void TestSelButton::keysClickTheFocusedButton_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("clicks");
    QTest::newRow("space") << int(Qt::Key_Space) << true << 1;
    QTest::newRow("return") << int(Qt::Key_Return) << true << 1;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << true << 1;
    QTest::newRow("letter") << int(Qt::Key_A) << true << 0;
    QTest::newRow("space, disabled") << int(Qt::Key_Space) << false << 0;
}

void TestSelButton::keysClickTheFocusedButton() {
    QFETCH(int, key);
    QFETCH(bool, enabled);
    QFETCH(int, clicks);
    Fixture f;
    f.button->setButtonEnabled(enabled);
    QSignalSpy spy(f.button, &TSelButton::clicked);
    QTest::keyClick(f.button, Qt::Key(key));
    QCOMPARE(spy.count(), clicks);
    if (clicks) QCOMPARE(spy.at(0).at(0).value<TSelButton*>(), f.button);
    QCOMPARE(f.button->look(), Look::Rest);
}

void TestSelButton::focusShowsARingAndClicksDoNotTakeIt() {
    Fixture f;
    f.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    f.button->clearFocus();
    QTest::mouseClick(f.button, Qt::LeftButton, {}, f.middle());
    QVERIFY(!f.button->hasFocus());
    QTest::mouseMove(&f.window, QPoint(190, 55));
    const QImage rest = f.shown();
    f.button->setFocus(Qt::TabFocusReason);
    const QImage focused = f.shown();
    QVERIFY(focused != rest);
    // The face in the middle of the caption's row keeps its colour.
    QCOMPARE(pixel(focused, 100, 10), pixel(rest, 100, 10));
    f.button->clearFocus();
    QCOMPARE(f.shown(), rest);
}

QTEST_MAIN(TestSelButton)
#include "test_selbutton.moc"
