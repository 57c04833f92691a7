// The about window: its version, its link (shared with the main window's
// logo), its tile and its Done button, through real clicks.
#include <QLabel>
#include <QMessageBox>
#include <QTest>

#include "ui/controls/ImageButton.h"
#include "windows.h"

using namespace helptest;

namespace {
const QString kVendorAddress = QStringLiteral("http://") + QStringLiteral(QUINTELLE_SERVER);

QLabel* label(QWidget* window, const char* name) {
    return window->findChild<QLabel*>(QString::fromLatin1(name));
}
}  // namespace

class TestAbout : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { prepareApplication(); }
    void init() {
        parkPointer();
        windows = std::make_unique<Windows>();
    }
    void cleanup() { windows.reset(); }

    void versionIsSplitIntoComparedAndShownParts();
    void readsVersionLeftToRight();
    void textsFitTheirLabels();
    void linkAndLogosOpenTheVendorSite();
    void linkNeedsPressAndReleaseOnIt_data();
    void linkNeedsPressAndReleaseOnIt();
    void refusedLinkChangesNothing();
    void doneAndCloseOnlyHide();
    void coveredWithTheMainWindowsTile();
    void showsAtItsFixedSize();

  private:
    Tabout* about() const { return windows->about; }
    std::unique_ptr<Windows> windows;
};

void TestAbout::versionIsSplitIntoComparedAndShownParts() {
    QCOMPARE(label(about(), "version")->text(), QStringLiteral("1.0.0"));
    QCOMPARE(label(about(), "Label9")->text(), QStringLiteral(".1"));
    QCOMPARE(label(about(), "Label1")->text(), QStringLiteral("Version"));
}

// "Version", "1.0.0" and ".1" sit on one line and read as one version number.
void TestAbout::readsVersionLeftToRight() {
    QLabel* word = label(about(), "Label1");
    QLabel* number = label(about(), "version");
    QLabel* build = label(about(), "Label9");
    QCOMPARE(number->y(), word->y());
    QCOMPARE(build->y(), word->y());
    const int wordEnd = word->x() + QFontMetrics(word->font()).horizontalAdvance(word->text());
    const int numberEnd =
        number->x() + QFontMetrics(number->font()).horizontalAdvance(number->text());
    QVERIFY(wordEnd < number->x());
    QVERIFY2(numberEnd <= build->x() && build->x() - numberEnd <= 2,
             "the build number follows without a gap");
}

void TestAbout::textsFitTheirLabels() {
    QCOMPARE(clippedLabels(about()), QStringList());
    QCOMPARE(label(about(), "Label7")->text(), QStringLiteral(QUINTELLE_SERVER));
}

void TestAbout::linkAndLogosOpenTheVendorSite() {
    ShellRecorder shell;
    about()->showOverMain();
    QVERIFY(QTest::qWaitForWindowExposed(about()));
    QTest::mouseClick(label(about(), "Label7"), Qt::LeftButton);
    QCOMPARE(shell.opened, QStringList{kVendorAddress});

    windows->main->show();
    QVERIFY(QTest::qWaitForWindowExposed(windows->main));
    QWidget* logo = windows->main->control(QStringLiteral("image_logo"));
    QVERIFY(logo);
    QTest::mouseClick(logo, Qt::LeftButton);
    QCOMPARE(shell.opened, (QStringList{kVendorAddress, kVendorAddress}));
}

void TestAbout::linkNeedsPressAndReleaseOnIt_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("releaseOff");
    QTest::addColumn<int>("opens");
    QTest::newRow("left click") << Qt::LeftButton << false << 1;
    QTest::newRow("right click") << Qt::RightButton << false << 0;
    QTest::newRow("released off the link") << Qt::LeftButton << true << 0;
}

void TestAbout::linkNeedsPressAndReleaseOnIt() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, releaseOff);
    QFETCH(int, opens);
    ShellRecorder shell;
    about()->showOverMain();
    QVERIFY(QTest::qWaitForWindowExposed(about()));
    QLabel* link = label(about(), "Label7");
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QTest::mousePress(link, button, {}, link->rect().center());
    QTest::mouseRelease(link, button, {}, releaseOff ? QPoint(-20, -20) : link->rect().center());
    QCOMPARE(shell.opened.size(), opens);
}

void TestAbout::refusedLinkChangesNothing() {
    ShellRecorder shell;
    shell.accept = false;
    about()->showOverMain();
    QVERIFY(QTest::qWaitForWindowExposed(about()));
    QTest::mouseClick(label(about(), "Label7"), Qt::LeftButton);
    QCOMPARE(shell.opened.size(), 1);
    QVERIFY(about()->isVisible());
    for (QWidget* window : QApplication::topLevelWidgets())
        QVERIFY2(!(qobject_cast<QMessageBox*>(window) && window->isVisible()),
                 "the refusal is not reported");
}

void TestAbout::doneAndCloseOnlyHide() {
    about()->showOverMain();
    QVERIFY(QTest::qWaitForWindowExposed(about()));
    auto* done = about()->findChild<ImageButton*>(QStringLiteral("button_done"));
    QVERIFY(done);
    QTest::mouseClick(done, Qt::LeftButton, {}, done->rect().center());
    QVERIFY(!about()->isVisible());

    about()->showOverMain();
    QVERIFY(QTest::qWaitForWindowExposed(about()));
    QVERIFY(about()->close());  // the title-bar button
    QVERIFY(!about()->isVisible());
    about()->showOverMain();
    QVERIFY(about()->isVisible());
}

// A spot free of pictures and labels shows the main window's tile.
void TestAbout::coveredWithTheMainWindowsTile() {
    about()->showOverMain();
    QVERIFY(QTest::qWaitForWindowExposed(about()));
    const QImage tile = windows->main->backgroundTile().convertToFormat(QImage::Format_RGB32);
    const QImage shown = grabbed(about());
    for (const QPoint at : {QPoint(20, 100), QPoint(150, 105), QPoint(250, 98)}) {
        QCOMPARE(controlsAt(about(), at), QStringList());
        QCOMPARE(shown.pixelColor(at),
                 tile.pixelColor(at.x() % tile.width(), at.y() % tile.height()));
    }
}

void TestAbout::showsAtItsFixedSize() {
    about()->showOverMain();
    QVERIFY(QTest::qWaitForWindowExposed(about()));
    QCOMPARE(about()->size(), QSize(304, 193));
}

QTEST_MAIN(TestAbout)
#include "test_about.moc"
