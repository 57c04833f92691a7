// The tiled window background: tile placement, chaining of the window's paint
// handler, and repainting when the tile or the switch changes.
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include "pixels.h"
#include "ui/controls/LbBack.h"

namespace {

const QColor kWindowColour(166, 103, 51);

// Every pixel of the tile is different, and its top-left corner is marked, so a
// shifted, stretched or reordered tile cannot match by accident.
QImage distinctTile(int w, int h, int blue = 100) {
    QImage tile(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) tile.setPixel(x, y, qRgb(20 + 20 * x, 20 + 20 * y, blue));
    tile.setPixel(0, 0, qRgb(255, 0, 0));
    return tile;
}

struct Window {
    QWidget widget;
    Window(int w, int h) {
        QPalette p = widget.palette();
        p.setColor(QPalette::Window, kWindowColour);
        widget.setPalette(p);
        widget.resize(w, h);
    }
};

// Counts the paints that reach the window's previous handler and marks them with
// a black 3 x 3 square in the top-left corner.
struct PreviousHandler {
    int calls = 0;
    QWidget* sender = nullptr;
    PaintHandler handler() {
        return [this](QWidget* s, QPainter& painter) {
            ++calls;
            sender = s;
            painter.fillRect(0, 0, 3, 3, Qt::black);
        };
    }
};

// Adds up the region of every paint the widget receives.
struct PaintRecorder : QObject {
    QRegion* region;
    PaintRecorder(QWidget* widget, QRegion* r) : region(r) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) *region += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

// The window's pixels as the screen holds them, without painting anything anew.
QImage onScreen(QWidget* window) {
    return window->screen()
        ->grabWindow(window->winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class TestLbBack : public QObject {
    Q_OBJECT

  private slots:
    void tilesCoverTheClientAreaFromItsTopLeft_data();
    void tilesCoverTheClientAreaFromItsTopLeft();
    void previousHandlerRunsAfterTilesAndBeforeChildren();
    void plainWindowWhenOffOrEmpty_data();
    void plainWindowWhenOffOrEmpty();
    void destructionRestoresThePreviousHandler();
    void settingImageOrEnabledRepaintsTheWholeWindow();
    void aPartialRepaintShowsTheTilesItUncovers_data();
    void aPartialRepaintShowsTheTilesItUncovers();
};

void TestLbBack::tilesCoverTheClientAreaFromItsTopLeft_data() {
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSize>("tile");
    QTest::newRow("partial tiles right and bottom") << QSize(25, 20) << QSize(10, 8);
    QTest::newRow("whole tiles") << QSize(30, 24) << QSize(10, 8);
    QTest::newRow("window smaller than a tile") << QSize(7, 5) << QSize(10, 8);
    QTest::newRow("wide flat tile") << QSize(53, 41) << QSize(12, 3);
}

void TestLbBack::tilesCoverTheClientAreaFromItsTopLeft() {
    QFETCH(QSize, window);
    QFETCH(QSize, tile);
    Window w(window.width(), window.height());
    TLbBackground background(&w.widget);
    const QImage image = distinctTile(tile.width(), tile.height());
    background.setImage(image);
    background.setEnabled(true);
    background.Loaded();

    const QImage shown = grabbed(&w.widget);
    QCOMPARE(shown.size(), window);
    for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x)
            QCOMPARE(pixel(shown, x, y), pixel(image, x % tile.width(), y % tile.height()));
}

void TestLbBack::previousHandlerRunsAfterTilesAndBeforeChildren() {
    Window w(40, 30);
    PreviousHandler previous;
    setPaintHandler(&w.widget, previous.handler());
    auto* child = new QLabel(&w.widget);
    child->setAutoFillBackground(true);
    QPalette p = child->palette();
    p.setColor(QPalette::Window, Qt::green);
    child->setPalette(p);
    child->setGeometry(1, 1, 2, 2);  // on top of the handler's black square

    TLbBackground background(&w.widget);
    const QImage tile = distinctTile(10, 8);
    background.setImage(tile);
    background.setEnabled(true);
    background.Loaded();

    const QImage shown = grabbed(&w.widget);
    QVERIFY(previous.calls > 0);
    QCOMPARE(previous.sender, &w.widget);
    QCOMPARE(pixel(shown, 0, 0), QColor(Qt::black));  // the handler painted over the tile
    QCOMPARE(pixel(shown, 2, 0), QColor(Qt::black));
    QCOMPARE(pixel(shown, 1, 1), QColor(Qt::green));  // the child over the handler
    QCOMPARE(pixel(shown, 3, 3), pixel(tile, 3, 3));
    QCOMPARE(pixel(shown, 13, 11), pixel(tile, 3, 3));
}

void TestLbBack::plainWindowWhenOffOrEmpty_data() {
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("withTile");
    QTest::newRow("switched off") << false << true;
    QTest::newRow("no tile") << true << false;
    QTest::newRow("neither") << false << false;
}

void TestLbBack::plainWindowWhenOffOrEmpty() {
    QFETCH(bool, enabled);
    QFETCH(bool, withTile);
    Window w(30, 20);
    PreviousHandler previous;
    setPaintHandler(&w.widget, previous.handler());
    TLbBackground background(&w.widget);
    if (withTile) background.setImage(distinctTile(10, 8));
    background.setEnabled(enabled);
    background.Loaded();

    const QImage shown = grabbed(&w.widget);
    QVERIFY(previous.calls > 0);
    QCOMPARE(pixel(shown, 1, 1), QColor(Qt::black));
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (x >= 3 || y >= 3) QCOMPARE(pixel(shown, x, y), kWindowColour);
}

void TestLbBack::destructionRestoresThePreviousHandler() {
    Window w(30, 20);
    PreviousHandler previous;
    setPaintHandler(&w.widget, previous.handler());
    {
        TLbBackground background(&w.widget);
        background.setImage(distinctTile(10, 8));
        background.setEnabled(true);
        background.Loaded();
        QCOMPARE(pixel(grabbed(&w.widget), 5, 5), QColor(qRgb(120, 120, 100)));
    }
    previous.calls = 0;
    const QImage shown = grabbed(&w.widget);
    QVERIFY(previous.calls > 0);
    QCOMPARE(pixel(shown, 1, 1), QColor(Qt::black));
    QCOMPARE(pixel(shown, 5, 5), kWindowColour);

    // And a window that never had a handler gets none back.
    Window bare(30, 20);
    {
        TLbBackground background(&bare.widget);
        background.Loaded();
        QVERIFY(paintHandler(&bare.widget));
    }
    QVERIFY(!paintHandler(&bare.widget));

    // A background chained over one that is gone paints on without it.
    Window twice(30, 20);
    auto* first = new TLbBackground(&twice.widget);
    first->setImage(distinctTile(10, 8, 10));
    first->setEnabled(true);
    first->Loaded();
    TLbBackground second(&twice.widget);
    second.Loaded();
    delete first;
    QCOMPARE(pixel(grabbed(&twice.widget), 5, 5), kWindowColour);
}

void TestLbBack::settingImageOrEnabledRepaintsTheWholeWindow() {
    Window w(45, 35);
    QRegion painted;
    PaintRecorder recorder(&w.widget, &painted);

    TLbBackground background(&w.widget);
    const QImage first = distinctTile(10, 8, 100);
    background.setImage(first);
    background.setEnabled(true);
    background.Loaded();
    w.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.widget));
    QTRY_COMPARE(pixel(onScreen(&w.widget), 44, 34), pixel(first, 4, 2));

    const QImage second = distinctTile(10, 8, 200);
    painted = QRegion();
    background.setImage(second);
    QTRY_COMPARE(pixel(onScreen(&w.widget), 44, 34), pixel(second, 4, 2));
    QCOMPARE(painted, QRegion(w.widget.rect()));
    const QImage shown = onScreen(&w.widget);
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            QCOMPARE(pixel(shown, x, y), pixel(second, x % 10, y % 8));

    painted = QRegion();
    background.setEnabled(false);
    QTRY_COMPARE(pixel(onScreen(&w.widget), 44, 34), kWindowColour);
    QCOMPARE(painted, QRegion(w.widget.rect()));
}

void TestLbBack::aPartialRepaintShowsTheTilesItUncovers_data() {
    QTest::addColumn<QRect>("uncovered");
    QTest::newRow("across a tile corner") << QRect(9, 7, 3, 3);
    QTest::newRow("at the origin") << QRect(0, 0, 4, 4);
    QTest::newRow("the bottom-right corner") << QRect(45, 35, 8, 6);
    QTest::newRow("one pixel inside a tile") << QRect(15, 12, 1, 1);
    QTest::newRow("a strip across the window") << QRect(0, 20, 53, 3);
    QTest::newRow("a column of tiles") << QRect(30, 0, 10, 41);
}

// Only the part a hidden child leaves behind is painted again, and it shows
// the tiles exactly as a whole paint does.
void TestLbBack::aPartialRepaintShowsTheTilesItUncovers() {
    QFETCH(QRect, uncovered);
    Window w(53, 41);
    TLbBackground background(&w.widget);
    const QImage tile = distinctTile(10, 8);
    background.setImage(tile);
    background.setEnabled(true);
    background.Loaded();
    auto* cover = new QLabel(&w.widget);
    cover->setAutoFillBackground(true);
    QPalette p = cover->palette();
    p.setColor(QPalette::Window, Qt::green);
    cover->setPalette(p);
    cover->setGeometry(uncovered);
    w.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.widget));
    QTRY_COMPARE(pixel(onScreen(&w.widget), uncovered.x(), uncovered.y()), QColor(Qt::green));

    QRegion painted;
    PaintRecorder recorder(&w.widget, &painted);
    cover->hide();
    QTRY_VERIFY(pixel(onScreen(&w.widget), uncovered.x(), uncovered.y()) != QColor(Qt::green));
    QCOMPARE(painted, QRegion(uncovered));
    const QImage shown = onScreen(&w.widget);
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            QCOMPARE(pixel(shown, x, y), pixel(tile, x % 10, y % 8));
}

QTEST_MAIN(TestLbBack)
#include "test_lbback.moc"
