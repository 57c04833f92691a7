// The help window through real clicks on its buttons: which page is in front
// under which heading, what survives hiding, the About and Done buttons, the
// buttons' looks, and that the Scoring page states the rules the game applies.
#include <QApplication>
#include <QDate>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QVersionNumber>
#include <map>

#include "game/scoring.h"
#include "ui/controls/ButtonComps.h"
#include "ui/controls/tag.h"
#include "windows.h"

using namespace helptest;

namespace {

const QColor kFace(64, 140, 90), kSilver(192, 192, 192), kCream(245, 235, 216);

int countOf(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour;
    return n;
}

// Lines of a page, with the title and the blank line after it checked.
QStringList bodyOf(const QTextBrowser* page, const QString& title) {
    QStringList lines = page->toPlainText().split(u'\n');
    if (lines.size() < 3 || lines[0] != title || !lines[1].isEmpty()) return {};
    return lines.mid(2);
}

}  // namespace

class TestHelp : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { prepareApplication(); }
    void init() {
        parkPointer();
        windows = std::make_unique<Windows>();
    }
    void cleanup() { windows.reset(); }

    void firstShowingPresentsOverview();
    void pageButtonsBringTheirPage_data();
    void pageButtonsBringTheirPage();
    void pageButtonsBringTheirPageFromTheKeyboard_data() { pageButtonsBringTheirPage_data(); }
    void pageButtonsBringTheirPageFromTheKeyboard();
    void pageInFrontSurvivesHideAndShow();
    void tagWithoutPageLeavesTheFrontPage();
    void aboutOpensWhileHelpStays();
    void doneAndCloseOnlyHide();
    void buttonsKeepTheirFaceAndLightTheirCaption_data();
    void buttonsKeepTheirFaceAndLightTheirCaption();
    void tabReachesOnlyThePageInFront();
    void scoringPageStatesHandValues_data();
    void scoringPageStatesHandValues();
    void scoringPageStatesTimeBonus();
    void scoringPageStatesTargets();
    void historyListsVersionsNewestFirst();
    void creditNamesTheYearOfStartUp();
    void coveredWithTheMainWindowsTile();
    void keepsItsFixedSizeThroughEveryPage();

  private:
    Thelp* help() const { return windows->help; }
    TSelButton* button(const QString& name) const { return help()->findChild<TSelButton*>(name); }
    QTextBrowser* page(const QString& name) const { return help()->findChild<QTextBrowser*>(name); }
    QString caption() const {
        return help()->findChild<QLabel*>(QStringLiteral("label_caption"))->text();
    }
    void showHelp() {
        help()->showOverMain();
        QVERIFY(QTest::qWaitForWindowExposed(help()));
    }
    void click(const QString& name) {
        TSelButton* b = button(name);
        QVERIFY2(b, qPrintable(name));
        QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
    }
    // The page the player sees: the one under the middle of the page area.
    QString frontPage() const {
        QWidget* panel = help()->findChild<QWidget*>(QStringLiteral("panel_main"));
        for (QWidget* w = panel->childAt(panel->rect().center()); w && w != panel;
             w = w->parentWidget())
            if (qobject_cast<QTextBrowser*>(w)) return w->objectName();
        return {};
    }

    std::unique_ptr<Windows> windows;
};

void TestHelp::firstShowingPresentsOverview() {
    showHelp();
    QCOMPARE(frontPage(), QStringLiteral("memo1"));
    QCOMPARE(caption(), QStringLiteral("Overview"));
    QVERIFY(!bodyOf(page(QStringLiteral("memo1")), QStringLiteral("Overview")).isEmpty());
}

void TestHelp::pageButtonsBringTheirPage_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("title");
    QTest::newRow("overview") << "SelButton1"
                              << "memo1"
                              << "Overview"
                              << "Overview";
    QTest::newRow("game play") << "SelButton3"
                               << "memo3"
                               << "Game Play"
                               << "Game Play";
    QTest::newRow("scoring") << "SelButton4"
                             << "memo4"
                             << "Scoring"
                             << "Scoring";
    // The heading repeats the button, not the page's own title.
    QTest::newRow("documentation") << "SelButton5"
                                   << "memo5"
                                   << "Documentation"
                                   << "History";
}

void TestHelp::pageButtonsBringTheirPage() {
    QFETCH(QString, button);
    QFETCH(QString, page);
    QFETCH(QString, heading);
    QFETCH(QString, title);
    showHelp();
    // Start from another page, so the row's page has to come forward.
    click(button == u"SelButton5" ? QStringLiteral("SelButton3") : QStringLiteral("SelButton5"));
    QVERIFY(frontPage() != page);
    click(button);
    QCOMPARE(frontPage(), page);
    QCOMPARE(caption(), heading);
    QTextBrowser* box = this->page(page);
    QVERIFY(box->isReadOnly());
    QVERIFY2(!bodyOf(box, title).isEmpty(), "title line, blank line, body");
}

// Tab reaches each page button in turn from the window's first, and Space or
// Enter presses it.
void TestHelp::pageButtonsBringTheirPageFromTheKeyboard() {
    QFETCH(QString, button);
    QFETCH(QString, page);
    QFETCH(QString, heading);
    showHelp();
    help()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(help()));
    this->button(QStringLiteral("SelButton1"))->setFocus(Qt::TabFocusReason);
    while (QApplication::focusWidget() != this->button(button)) {
        QVERIFY(QApplication::focusWidget() != this->button(QStringLiteral("button_done")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QTest::keyClick(this->button(button), button == u"SelButton4" ? Qt::Key_Return : Qt::Key_Space);
    QCOMPARE(frontPage(), page);
    QCOMPARE(caption(), heading);
}

void TestHelp::pageInFrontSurvivesHideAndShow() {
    showHelp();
    click(QStringLiteral("SelButton4"));
    QScrollBar* bar = page(QStringLiteral("memo4"))->verticalScrollBar();
    QVERIFY2(bar->maximum() > 0, "the Scoring page is longer than its box");
    bar->setValue(bar->maximum() / 2);
    const int scrolled = bar->value();
    click(QStringLiteral("button_done"));
    QVERIFY(!help()->isVisible());
    showHelp();
    QCOMPARE(frontPage(), QStringLiteral("memo4"));
    QCOMPARE(caption(), QStringLiteral("Scoring"));
    QCOMPARE(bar->value(), scrolled);
}

void TestHelp::tagWithoutPageLeavesTheFrontPage() {
    showHelp();
    click(QStringLiteral("SelButton4"));
    TSelButton stray(help());
    setTag(&stray, 2);
    stray.setCaption(QStringLiteral("Stray"));
    help()->SelButton1Click(&stray);
    QCOMPARE(frontPage(), QStringLiteral("memo4"));
    QCOMPARE(caption(), QStringLiteral("Scoring"));
}

void TestHelp::aboutOpensWhileHelpStays() {
    showHelp();
    QVERIFY(!windows->about->isVisible());
    click(QStringLiteral("button_about"));
    QVERIFY(windows->about->isVisible());
    QVERIFY(help()->isVisible());
    QCOMPARE(frontPage(), QStringLiteral("memo1"));  // About is no page
}

void TestHelp::doneAndCloseOnlyHide() {
    showHelp();
    click(QStringLiteral("button_done"));
    QVERIFY(!help()->isVisible());
    showHelp();
    QVERIFY(help()->close());  // the title-bar button
    QVERIFY(!help()->isVisible());
    showHelp();
    QCOMPARE(frontPage(), QStringLiteral("memo1"));
}

void TestHelp::buttonsKeepTheirFaceAndLightTheirCaption_data() {
    QTest::addColumn<QString>("name");
    for (const char* name :
         {"SelButton1", "SelButton3", "SelButton4", "SelButton5", "button_about", "button_done"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestHelp::buttonsKeepTheirFaceAndLightTheirCaption() {
    QFETCH(QString, name);
    showHelp();
    TSelButton* b = button(name);
    QVERIFY(b);
    auto shown = [&] {
        return grabbed(help()).copy(QRect(b->mapTo(help(), QPoint(0, 0)), b->size()));
    };
    QImage rest = shown();
    QCOMPARE(rest.pixelColor(2, 2), kFace);
    QVERIFY(countOf(rest, kSilver) > 0);
    QCOMPARE(countOf(rest, kCream), 0);

    QTest::mouseMove(b, b->rect().center());
    QTRY_COMPARE(b->look(), TSelButton::Look::Hover);
    QImage hover = shown();
    QCOMPARE(hover.pixelColor(2, 2), kFace);
    QVERIFY(countOf(hover, kCream) > 0);
    QCOMPARE(countOf(hover, kSilver), 0);
}

// Tab goes round the buttons and the page in front, never a hidden page, so
// a screen reader reaches the text a player sees and no other.
void TestHelp::tabReachesOnlyThePageInFront() {
    showHelp();
    help()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(help()));
    help()->findChild<TSelButton*>(QStringLiteral("SelButton4"))->click();
    int pages = 0;
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
            if (qobject_cast<QTextBrowser*>(w)) {
                QCOMPARE(w->objectName(), QStringLiteral("memo4"));
                ++pages;
            }
    }
    QCOMPARE(pages, 1);
    for (auto* page : help()->findChildren<QTextBrowser*>())
        QCOMPARE(page->isVisible(), page->objectName() == u"memo4");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!help()->isVisible());
}

void TestHelp::scoringPageStatesHandValues_data() {
    QTest::addColumn<QString>("hand");
    QTest::addColumn<int>("handclass");
    const char* names[] = {"Pair",       "Two Pair",       "Three of a Kind", "Straight",   "Flush",
                           "Full House", "Four of a Kind", "Straight Flush",  "Royal Flush"};
    for (int c = 1; c <= 9; ++c)
        QTest::newRow(names[c - 1]) << QString::fromLatin1(names[c - 1]) << c;
}

void TestHelp::scoringPageStatesHandValues() {
    QFETCH(QString, hand);
    QFETCH(int, handclass);
    const QStringList body = bodyOf(page(QStringLiteral("memo4")), QStringLiteral("Scoring"));
    const QRegularExpression line(QStringLiteral("^\\s*") + QRegularExpression::escape(hand) +
                                  QStringLiteral("\\t(\\d+) points$"));
    const QStringList found = body.filter(line);
    QCOMPARE(found.size(), 1);
    QCOMPARE(line.match(found[0]).captured(1).toInt(), quintelle::handpoints(handclass));
}

// The page's bands, read back, must give every second the game's bonus.
void TestHelp::scoringPageStatesTimeBonus() {
    const QStringList body = bodyOf(page(QStringLiteral("memo4")), QStringLiteral("Scoring"));
    struct Band {
        int from, to, bonus;
    };
    std::vector<Band> bands;
    const QRegularExpression below(
        QStringLiteral("^\\s*Less than (\\d+) seconds\\t(\\d+) points$"));
    const QRegularExpression between(
        QStringLiteral("^\\s*(\\d+) to (\\d+) seconds\\t(\\d+) points$"));
    const QRegularExpression above(QStringLiteral("^\\s*More than (\\d+) seconds\\tno bonus$"));
    for (const QString& text : body) {
        if (auto m = below.match(text); m.hasMatch())
            bands.push_back({0, m.captured(1).toInt() - 1, m.captured(2).toInt()});
        else if (auto m = between.match(text); m.hasMatch())
            bands.push_back({m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()});
        else if (auto m = above.match(text); m.hasMatch())
            bands.push_back({m.captured(1).toInt() + 1, INT_MAX, 0});
    }
    QCOMPARE(bands.size(), size_t(4));
    for (int seconds = 0; seconds <= 200; ++seconds) {
        int claims = 0, stated = -1;
        for (const Band& band : bands)
            if (seconds >= band.from && seconds <= band.to) ++claims, stated = band.bonus;
        QVERIFY2(claims == 1,
                 qPrintable(QStringLiteral("%1 seconds fall in one band").arg(seconds)));
        QCOMPARE(stated, quintelle::timebonusfor(seconds));
    }
}

void TestHelp::scoringPageStatesTargets() {
    const QString text =
        bodyOf(page(QStringLiteral("memo4")), QStringLiteral("Scoring")).join(u' ');
    const auto step = QRegularExpression(QStringLiteral("adding (\\d+) to your score")).match(text);
    QVERIFY(step.hasMatch());
    QCOMPARE(step.captured(1).toInt(), quintelle::kTargetStep);
    const auto first =
        QRegularExpression(QStringLiteral("first round the target is (\\d+)")).match(text);
    QVERIFY(first.hasMatch());
    QCOMPARE(first.captured(1).toInt(), quintelle::targetfor(0));
    const auto example =
        QRegularExpression(
            QStringLiteral(
                "score (\\d+) in the first round, the target for the second round is (\\d+) "
                "\\((\\d+) \\+ (\\d+)\\)"))
            .match(text);
    QVERIFY(example.hasMatch());
    const int score = example.captured(1).toInt();
    QCOMPARE(example.captured(2).toInt(), quintelle::targetfor(score));
    QCOMPARE(example.captured(3).toInt(), score);
    QCOMPARE(example.captured(4).toInt(), quintelle::kTargetStep);
    QVERIFY(text.contains(
        QStringLiteral("The game ends when a round does not reach its target score")));
}

// Entries: "<Month> <day>, <year> - Version a.b.c.d", then indented change
// lines. The newest comes first and is the version the about window shows.
void TestHelp::historyListsVersionsNewestFirst() {
    const QStringList body = bodyOf(page(QStringLiteral("memo5")), QStringLiteral("History"));
    QVERIFY(!body.isEmpty());
    const QRegularExpression heading(
        QStringLiteral("^[A-Z][a-z]+ \\d{1,2}, \\d{4} - Version (\\d+\\.\\d+\\.\\d+\\.\\d+)$"));
    QList<QVersionNumber> versions;
    QStringList newestChanges;
    bool inEntry = false;
    for (const QString& text : body) {
        if (text.isEmpty()) {
            inEntry = false;
            continue;
        }
        if (!inEntry) {
            const auto m = heading.match(text);
            QVERIFY2(m.hasMatch(), qPrintable(text));
            versions << QVersionNumber::fromString(m.captured(1));
            inEntry = true;
            continue;
        }
        QVERIFY2(text.startsWith(QStringLiteral("    ")), qPrintable(text));
        if (versions.size() == 1) newestChanges << text;
    }
    QVERIFY(versions.size() >= 2);
    for (int i = 1; i < versions.size(); ++i) QVERIFY(versions[i] < versions[i - 1]);
    const QString shown = windows->about->findChild<QLabel*>(QStringLiteral("version"))->text() +
                          windows->about->findChild<QLabel*>(QStringLiteral("Label9"))->text();
    QCOMPARE(versions.first(), QVersionNumber::fromString(shown));
    QVERIFY(newestChanges.join(u' ').contains(QStringLiteral("year")));
}

void TestHelp::creditNamesTheYearOfStartUp() {
    auto* year = help()->findChild<QLabel*>(QStringLiteral("label_year"));
    QVERIFY(year);
    QCOMPARE(year->text(), QString::number(QDate::currentDate().year()));
    auto* span = help()->findChild<QLabel*>(QStringLiteral("Label3"));
    QCOMPARE(span->y(), year->y());
    QVERIFY(span->x() + QFontMetrics(span->font()).horizontalAdvance(span->text()) < year->x());
    QCOMPARE(clippedLabels(help()), QStringList());

    // As drawn, the span and the year read as one line: a space between the
    // last stroke of the one and the first of the other, no wider gap.
    showHelp();
    const QImage shown = grabbed(help());
    auto inked = [&](int x) {
        for (int y = year->y(); y < year->y() + year->height(); ++y)
            if (shown.pixelColor(x, y).blue() > 170) return true;  // cream text on the wood
        return false;
    };
    int spanEnd = -1, yearStart = -1;
    for (int x = span->x(); x < year->x(); ++x)
        if (inked(x)) spanEnd = x;
    for (int x = year->x() + year->width() - 1; x >= year->x(); --x)
        if (inked(x)) yearStart = x;
    QVERIFY(spanEnd > 0 && yearStart > 0);
    const int gap = yearStart - spanEnd - 1;
    const int space = QFontMetrics(span->font()).horizontalAdvance(u' ');
    QVERIFY2(gap >= 1 && gap <= space + 3, qPrintable(QStringLiteral("gap %1").arg(gap)));
}

void TestHelp::coveredWithTheMainWindowsTile() {
    showHelp();
    const QImage tile = windows->main->backgroundTile().convertToFormat(QImage::Format_RGB32);
    const QImage shown = grabbed(help());
    // Spots in the side column clear of buttons and credits.
    for (const QPoint at : {QPoint(60, 120), QPoint(30, 250), QPoint(100, 300)}) {
        QCOMPARE(controlsAt(help(), at), QStringList{QStringLiteral("panel_side")});
        QCOMPARE(shown.pixel(at), tile.pixel(at.x() % tile.width(), at.y() % tile.height()));
    }
}

void TestHelp::keepsItsFixedSizeThroughEveryPage() {
    showHelp();
    for (const char* name : {"SelButton1", "SelButton3", "SelButton4", "SelButton5"}) {
        click(QString::fromLatin1(name));
        QCOMPARE(help()->size(), QSize(523, 431));
    }
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"
