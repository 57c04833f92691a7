// The flat panel: see-through nesting over a tiled window, the two-colour frame,
// the fill, and the caption's placement, prefix rule and engraved disabled look.
#include <QLabel>
#include <QPainter>
#include <QTest>

#include "pixels.h"
#include "ui/controls/LbBack.h"
#include "ui/controls/TFlatPanelUnit.h"

namespace {

const QColor kFill(0, 0, 128);
const QColor kInk(0, 255, 0);

QImage distinctTile() {
    QImage tile(10, 8, QImage::Format_RGB32);
    for (int y = 0; y < tile.height(); ++y)
        for (int x = 0; x < tile.width(); ++x)
            tile.setPixel(x, y, qRgb(20 + 20 * x, 20 + 20 * y, 100));
    tile.setPixel(0, 0, qRgb(255, 0, 0));
    return tile;
}

// An opaque panel with a crisp caption in a colour found nowhere else.
struct CaptionPanel {
    TFlatPanel panel;
    explicit CaptionPanel(const QString& caption, Qt::Alignment alignment = Qt::AlignHCenter) {
        panel.setFont(crispFont(QStringLiteral("Arial"), 12));
        panel.setColor(kFill);
        panel.setFontColor(kInk);
        panel.setCaption(caption);
        panel.setAlignment(alignment);
    }
    QRect ink() { return boxOf(grabbed(&panel), kInk); }
};

}  // namespace

class TestFlatPanel : public QObject {
    Q_OBJECT

  private slots:
    void nestedTransparentPanelsShowTheWindowBeneath();
    void frameTakesItsColoursOnTheOuterPixels_data();
    void frameTakesItsColoursOnTheOuterPixels();
    void opaquePanelFillsWithItsParentsColourUnlessSet();
    void captionIsPlacedByAlignment_data();
    void captionIsPlacedByAlignment();
    void ampersandUnderlinesTheNextCharacter();
    void doubleAmpersandDrawsOne();
    void disabledCaptionIsEngraved();
    void captionlessPanelLooksTheSameDrawnDirectlyOrComposed_data();
    void captionlessPanelLooksTheSameDrawnDirectlyOrComposed();
};

void TestFlatPanel::nestedTransparentPanelsShowTheWindowBeneath() {
    QWidget window;
    window.resize(200, 150);
    TLbBackground background(&window);
    const QImage tile = distinctTile();
    background.setImage(tile);
    background.setEnabled(true);
    background.Loaded();

    auto* outer = new TFlatPanel(&window);
    outer->setGeometry(10, 12, 170, 120);
    outer->setTransparent(true);
    auto* picture = new QLabel(outer);
    QPixmap blue(30, 20);
    blue.fill(Qt::blue);
    picture->setPixmap(blue);
    picture->setGeometry(15, 15, 30, 20);
    auto* label = new QLabel(QStringLiteral("Hello"), outer);
    label->setFont(crispFont(QStringLiteral("Arial"), 12));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, kInk);
    label->setPalette(p);
    label->setGeometry(50, 15, 60, 20);

    auto* inner = new TFlatPanel(outer);
    inner->setGeometry(5, 5, 140, 100);  // over the picture and the label
    inner->setTransparent(true);
    inner->setColorHighLight(Qt::yellow);
    inner->setColorShadow(Qt::magenta);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QImage through = grabbed(&window);
    inner->hide();
    const QImage beneath = grabbed(&window);

    // Inside the inner frame the window shows exactly what it shows without the panel,
    const QRect inside = QRect(15, 17, 140, 100).adjusted(1, 1, -1, -1);
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            QCOMPARE(pixel(through, x, y), pixel(beneath, x, y));
    // and that is the tile, the picture and the label of the outer panel.
    QCOMPARE(pixel(through, 150, 100), pixel(tile, 0, 4));
    QCOMPARE(pixel(through, 17, 19), pixel(tile, 7, 3));
    QCOMPARE(pixel(through, 25, 27), QColor(Qt::blue));
    QVERIFY(!boxOf(through, kInk, QRect(60, 27, 60, 20)).isEmpty());
    QCOMPARE(pixel(through, 15, 50), QColor(Qt::yellow));
    QCOMPARE(pixel(through, 154, 50), QColor(Qt::magenta));
}

void TestFlatPanel::frameTakesItsColoursOnTheOuterPixels_data() {
    QTest::addColumn<bool>("transparent");
    QTest::addColumn<QSize>("size");
    QTest::newRow("opaque") << false << QSize(20, 10);
    QTest::newRow("transparent") << true << QSize(20, 10);
    QTest::newRow("tiny") << false << QSize(3, 3);
}

void TestFlatPanel::frameTakesItsColoursOnTheOuterPixels() {
    QFETCH(bool, transparent);
    QFETCH(QSize, size);
    QWidget window;
    window.setAutoFillBackground(true);
    QPalette p = window.palette();
    p.setColor(QPalette::Window, kFill);
    window.setPalette(p);
    window.resize(size + QSize(10, 10));
    auto* panel = new TFlatPanel(&window);
    panel->setGeometry(QRect(QPoint(5, 5), size));
    panel->setTransparent(transparent);
    const QColor light(255, 255, 0), shadow(255, 0, 255);
    panel->setColorHighLight(light);
    panel->setColorShadow(shadow);

    const QImage shown = grabbed(&window);
    const int w = size.width(), h = size.height();
    auto at = [&](int x, int y) { return pixel(shown, 5 + x, 5 + y); };
    for (int y = 0; y < h - 1; ++y) QCOMPARE(at(0, y), light);
    for (int x = 0; x < w - 1; ++x) QCOMPARE(at(x, 0), light);
    for (int y = 0; y < h; ++y) QCOMPARE(at(w - 1, y), shadow);
    for (int x = 0; x < w; ++x) QCOMPARE(at(x, h - 1), shadow);
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x) QCOMPARE(at(x, y), kFill);
    QCOMPARE(pixel(shown, 4, 4), kFill);  // nothing outside the panel
    QCOMPARE(pixel(shown, 5 + w, 5 + h), kFill);
}

void TestFlatPanel::opaquePanelFillsWithItsParentsColourUnlessSet() {
    QWidget window;
    QPalette p = window.palette();
    p.setColor(QPalette::Window, QColor(166, 103, 51));
    window.setPalette(p);
    auto* panel = new TFlatPanel(&window);
    QCOMPARE(panel->size(), QSize(185, 41));
    QCOMPARE(panel->color(), QColor(166, 103, 51));
    QCOMPARE(pixel(grabbed(panel), 90, 20), QColor(166, 103, 51));

    panel->setColor(QColor(1, 2, 3));
    const QImage shown = grabbed(panel);
    QCOMPARE(pixel(shown, 1, 1), QColor(1, 2, 3));
    QCOMPARE(pixel(shown, 183, 39), QColor(1, 2, 3));
    QCOMPARE(pixel(shown, 0, 0), TFlatPanel::kDefaultFrame);
}

void TestFlatPanel::captionIsPlacedByAlignment_data() {
    QTest::addColumn<int>("alignment");
    QTest::newRow("left") << int(Qt::AlignLeft);
    QTest::newRow("right") << int(Qt::AlignRight);
    QTest::newRow("centre") << int(Qt::AlignHCenter);
}

void TestFlatPanel::captionIsPlacedByAlignment() {
    QFETCH(int, alignment);
    CaptionPanel c(QStringLiteral("HHH"), Qt::Alignment(alignment));
    const QRect ink = c.ink();
    QVERIFY(!ink.isEmpty());
    const int w = c.panel.width(), h = c.panel.height();
    // The caption box is the panel less its frame: 1 .. w - 2.
    if (alignment == Qt::AlignLeft)
        QVERIFY2(ink.left() >= 1 && ink.left() <= 3, qPrintable(QString::number(ink.left())));
    else if (alignment == Qt::AlignRight)
        QVERIFY2(ink.right() <= w - 2 && ink.right() >= w - 4,
                 qPrintable(QString::number(ink.right())));
    else
        QVERIFY(qAbs(ink.center().x() - (w - 1) / 2) <= 2);
    QVERIFY2(qAbs(ink.center().y() - (h - 1) / 2) <= 3,
             qPrintable(QString::number(ink.center().y())));
}

void TestFlatPanel::ampersandUnderlinesTheNextCharacter() {
    CaptionPanel plain(QStringLiteral("H"), Qt::AlignLeft);
    CaptionPanel prefixed(QStringLiteral("&H"), Qt::AlignLeft);
    const QRect h = plain.ink(), underlined = prefixed.ink();
    QVERIFY(!h.isEmpty());
    // No ampersand is drawn: the ink starts and ends with the H,
    QVERIFY(qAbs(underlined.left() - h.left()) <= 1);
    QVERIFY(qAbs(underlined.right() - h.right()) <= 2);
    // and a line runs below it.
    QVERIFY(underlined.bottom() > h.bottom());
    const QImage shown = grabbed(&prefixed.panel);
    int run = 0;
    for (int x = underlined.left(); x <= underlined.right(); ++x)
        run += pixel(shown, x, underlined.bottom()) == kInk;
    QVERIFY(run >= h.width() - 1);
}

void TestFlatPanel::doubleAmpersandDrawsOne() {
    CaptionPanel doubled(QStringLiteral("&&"), Qt::AlignLeft);
    const QRect ink = doubled.ink();

    QImage reference(200, 50, QImage::Format_RGB32);
    reference.fill(kFill);
    QPainter painter(&reference);
    painter.setFont(doubled.panel.font());
    painter.setPen(kInk);
    painter.drawText(QPoint(10, 30), QStringLiteral("&"));
    painter.end();
    const QRect one = boxOf(reference, kInk);

    QVERIFY(!one.isEmpty());
    QCOMPARE(ink.size(), one.size());
}

void TestFlatPanel::disabledCaptionIsEngraved() {
    CaptionPanel c(QStringLiteral("HHH"));
    const QColor light(250, 250, 250), dark(60, 60, 60);
    QPalette p = c.panel.palette();
    p.setColor(QPalette::Disabled, QPalette::Light, light);
    p.setColor(QPalette::Disabled, QPalette::Dark, dark);
    c.panel.setPalette(p);
    const QRect enabled = c.ink();
    c.panel.setEnabled(false);

    const QImage shown = grabbed(&c.panel);
    QVERIFY(boxOf(shown, kInk).isEmpty());
    const QRect lit = boxOf(shown, light), shaded = boxOf(shown, dark);
    QVERIFY(!lit.isEmpty());
    QCOMPARE(shaded, enabled);  // the dark copy stands where the caption stood
    QCOMPARE(lit.right(), shaded.right() + 1);
    QCOMPARE(lit.bottom(), shaded.bottom() + 1);
}

// A clear panel without a caption is drawn as its frame alone; with a caption
// that shows nothing (a blank) it is composed off screen. Over a tiled window
// both give the same pixels.
void TestFlatPanel::captionlessPanelLooksTheSameDrawnDirectlyOrComposed_data() {
    QTest::addColumn<bool>("transparent");
    QTest::newRow("clear") << true;
    QTest::newRow("opaque") << false;
}

// Without a caption a panel is drawn straight onto itself; a caption of one
// space takes the composed path and must not change a pixel.
void TestFlatPanel::captionlessPanelLooksTheSameDrawnDirectlyOrComposed() {
    QFETCH(bool, transparent);
    const QColor highlight(0, 64, 0);
    const QColor shadow(Qt::magenta);
    QWidget window;
    window.resize(120, 90);
    TLbBackground background(&window);
    background.setImage(distinctTile());
    background.setEnabled(true);
    background.Loaded();
    auto* panel = new TFlatPanel(&window);
    panel->setGeometry(7, 9, 101, 67);
    panel->setTransparent(transparent);
    panel->setColor(kFill);
    panel->setColorHighLight(highlight);
    panel->setColorShadow(shadow);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage direct = grabbed(&window);
    panel->setCaption(QStringLiteral(" "));
    const QImage composed = grabbed(&window);
    QCOMPARE(direct, composed);
    QCOMPARE(pixel(direct, 7, 40), highlight);  // the frame is there
    // and inside it the tile, or the fill.
    QCOMPARE(pixel(direct, 50, 40) == kFill, !transparent);
}

QTEST_MAIN(TestFlatPanel)
#include "test_flatpanel.moc"
