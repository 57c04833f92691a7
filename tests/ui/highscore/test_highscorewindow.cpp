// The high-score window: its layout, the page in the game's colours, links
// handed on by scheme, pictures from the vendor's server only, and the
// server setting from the settings file.
#include <QBuffer>
#include <QLabel>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

#include "highscore_fixture.h"
#include "ui/help/aboutform.h"

using namespace quintelle;
using namespace quintelle::testsupport;
using namespace std::chrono_literals;

namespace {

QByteArray png(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

int pixelsNear(const QImage& image, QColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <
                12)
                ++count;
        }
    return count;
}

}  // namespace

class HighscoreWindow : public HighscoreTest {
  protected:
    // Opens the window from the menu and waits for `page` to be shown.
    THtmlViewer& showPage() {
        action(QStringLiteral("ViewHighScoreList1"))->trigger();
        waitForPage();
        return *highscore().displayhtml();
    }

    // Clicks the link whose text is `text`.
    void clickLink(THtmlViewer& viewer, const QString& text) {
        const QTextCursor found = viewer.document()->find(text);
        ASSERT_FALSE(found.isNull()) << text.toStdString();
        QTextCursor at(viewer.document());
        at.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
        const QPoint point = viewer.cursorRect(at).center();
        QTest::mouseClick(viewer.viewport(), Qt::LeftButton, {}, point);
    }
};

TEST_F(HighscoreWindow, IsLaidOutAsDesigned) {
    start({});
    Thighscore& w = highscore();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Quintelle - High Scores"));
    EXPECT_EQ(w.size(), Thighscore::kClient);
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    struct Row {
        const char* name;
        QRect geometry;
    } rows[] = {{"Image1", {11, 10, 86, 86}},
                {"panel_main", {112, 8, 481, 507}},
                {"button_done", {496, 522, 95, 29}},
                {"Image2", {3, 520, 194, 40}}};
    for (const Row& row : rows) {
        auto* child = w.findChild<QWidget*>(QString::fromLatin1(row.name));
        ASSERT_NE(child, nullptr) << row.name;
        EXPECT_EQ(child->geometry(), row.geometry) << row.name;
    }
    auto* viewer = w.findChild<THtmlViewer*>(QStringLiteral("displayhtml"));
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->parentWidget()->objectName(), QStringLiteral("panel_main"));
    EXPECT_EQ(viewer->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_TRUE(viewer->textInteractionFlags() & Qt::TextSelectableByMouse);
}

TEST_F(HighscoreWindow, ShowsThePageInTheGamesColoursAndKeepsItWhenClosed) {
    start({Reply::ok("<html><body><p>" + std::string(30, 'W') +
                     "</p><pre>pre text</pre>"
                     "<a href=\"http://x.example/\">LINK</a></body></html>")});
    THtmlViewer& viewer = showPage();
    EXPECT_TRUE(viewer.toPlainText().contains(QStringLiteral("pre text")));
    const QImage shot = viewer.grab().toImage();
    EXPECT_GT(pixelsNear(shot, QColor(166, 103, 51)), shot.width() * shot.height() / 2);
    EXPECT_GT(pixelsNear(shot, QColor(250, 244, 235)), 10);  // the text
    EXPECT_GT(pixelsNear(shot, QColor(0, 128, 0)), 10);      // the link
    EXPECT_EQ(viewer.document()->defaultFont().family(), QStringLiteral("Times New Roman"));
    EXPECT_TRUE(viewer.document()->defaultStyleSheet().contains(QStringLiteral("Arial")));

    QTest::mouseClick(highscore().findChild<QWidget*>(QStringLiteral("button_done")),
                      Qt::LeftButton);
    EXPECT_FALSE(highscore().isVisible());
    EXPECT_TRUE(viewer.toPlainText().contains(QStringLiteral("pre text")));
}

// Before any page arrives, the viewer already shows in the page's colours
// and fonts, and a page put in later still gets them.
TEST(HtmlViewer, AnEmptyViewerIsDressedWhenShownAndAPageLaterStillIs) {
    THtmlViewer viewer;
    viewer.resize(200, 120);
    viewer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    const QImage empty = viewer.grab().toImage();
    EXPECT_GT(pixelsNear(empty, QColor(166, 103, 51)), empty.width() * empty.height() / 2);
    EXPECT_EQ(viewer.document()->defaultFont().family(), QStringLiteral("Times New Roman"));
    EXPECT_TRUE(viewer.document()->defaultStyleSheet().contains(QStringLiteral("Arial")));

    viewer.LoadFromString(QStringLiteral("<pre>WWWWWWWW</pre>"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !viewer.pageLoading(); }, 10000));
    EXPECT_EQ(viewer.document()->defaultFont().family(), QStringLiteral("Times New Roman"));
    const QImage page = viewer.grab().toImage();
    EXPECT_GT(pixelsNear(page, QColor(250, 244, 235)), 10);
}

TEST_F(HighscoreWindow, HandsOnlyWebAndMailLinksToTheShellExactlyAsWritten) {
    struct Row {
        const char* href;
        bool opened;
    } rows[] = {{"http://scores.example/list?a=1&amp;b=2", true},
                {"HTTPS://Scores.Example/", true},
                {"mailto:vendor@example.org", true},
                {"file:///etc/passwd", false},
                {"/usr/bin/xterm", false},
                {"other.html", false},
                {"javascript:alert(1)", false},
                {"http:relative", false},
                {"#bottom", false}};
    std::string page = "<html><body>";
    for (std::size_t i = 0; i < std::size(rows); ++i)
        page += "<p><a href=\"" + std::string(rows[i].href) + "\">link" + std::to_string(i) +
                "</a></p>";
    page += "<p>";
    for (int i = 0; i < 150; ++i) page += "<br>";
    page += "<a name=\"bottom\">end</a></p></body></html>";
    start({Reply::ok(page)});
    THtmlViewer& viewer = showPage();
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const qsizetype before = opened().size();
        clickLink(viewer, QStringLiteral("link%1").arg(i));
        QString expected = QString::fromLatin1(rows[i].href);
        expected.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        if (rows[i].opened) {
            ASSERT_EQ(opened().size(), before + 1) << rows[i].href;
            EXPECT_EQ(opened().back(), expected);
        } else {
            EXPECT_EQ(opened().size(), before) << rows[i].href;
        }
    }
    // The in-page anchor scrolled the page.
    EXPECT_GT(viewer.verticalScrollBar()->value(), 0);
}

// Only a link that opened something turns visited; Escape closes the window.
TEST_F(HighscoreWindow, ALinkTurnsVisitedOnlyWhenItOpenedAndEscapeCloses) {
    start(
        {Reply::ok("<p><a href=\"http://opens.example/\">opens</a> "
                   "<a href=\"http://refused.example/\">refused</a></p>")});
    quintelle::platform::setShellForTesting(
        [](const QString& address) { return address.contains(QStringLiteral("opens")); });
    THtmlViewer& viewer = showPage();
    const auto colourOf = [&](const QString& text) {
        QTextCursor at(viewer.document()->find(text));
        return at.charFormat().foreground().color();
    };
    clickLink(viewer, QStringLiteral("opens"));
    clickLink(viewer, QStringLiteral("refused"));
    QTest::mouseMove(viewer.viewport(), QPoint(1, 1));
    EXPECT_EQ(colourOf(QStringLiteral("opens")), viewer.DefVisitedLinkColor);
    EXPECT_EQ(colourOf(QStringLiteral("refused")), viewer.DefHotSpotColor);

    ASSERT_TRUE(highscore().isVisible());
    QTest::keyClick(&viewer, Qt::Key_Escape);
    EXPECT_FALSE(highscore().isVisible());
}

TEST_F(HighscoreWindow, PicturesComeOnlyFromTheVendorsServerAndAppearWhenTheyArrive) {
    start({Reply::ok("<p><img src=\"/pic.png\"><img src=\"file:///etc/hostname\">"
                     "<img src=\"http://elsewhere.invalid/p.png\"></p>"),
           Reply().pause(300ms).send("HTTP/1.0 200 OK\r\n\r\n" +
                                     png(QSize(60, 40), Qt::red).toStdString())});
    THtmlViewer& viewer = showPage();
    const qreal heightWithout = viewer.document()->size().height();
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewer.picturesPending() == 0; }, 10000));
    const QVariant picture = viewer.document()->resource(QTextDocument::ImageResource,
                                                         QUrl(QStringLiteral("picture:0")));
    ASSERT_TRUE(picture.canConvert<QImage>());
    EXPECT_EQ(picture.value<QImage>().size(), QSize(60, 40));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return viewer.document()->size().height() > heightWithout; }, 2000));
    EXPECT_GT(pixelsNear(viewer.grab().toImage(), Qt::red), 1000);
    // The other two were never part of the page.
    EXPECT_EQ(viewer.toHtml().count(QStringLiteral("<img")), 1);
    EXPECT_EQ(target(1), "/pic.png");
    QTest::qWait(200);
    EXPECT_EQ(server().connections(), 2);
}

TEST_F(HighscoreWindow, TheLowerLogoOpensTheVendorsHomePage) {
    start({});
    Tabout about(&window());
    Thighscore linked(&window(), &about.link());
    QTest::mouseClick(linked.findChild<QWidget*>(QStringLiteral("Image2")), Qt::LeftButton);
    EXPECT_EQ(opened(), QStringList{QStringLiteral("http://") + server().hostPort().c_str()});
}

TEST(ServerSetting, IsHostOrHostAndPort) {
    struct Row {
        const char* text;
        bool valid;
        const char* host;
        int port;
    } rows[] = {{"scores.example.org", true, "scores.example.org", 80},
                {"127.0.0.1:8080", true, "127.0.0.1", 8080},
                {" games.example:81 ", true, "games.example", 81},
                {"host:0", false, "", 0},
                {"host:65536", false, "", 0},
                {"host:", false, "", 0},
                {"host:8o", false, "", 0},
                {"host:+80", false, "", 0},
                {"a:1:2", false, "", 0},
                {"http://host", false, "", 0},
                {"host/path", false, "", 0},
                {"", false, "", 0}};
    for (const Row& row : rows) {
        const auto server = net::parseServer(QString::fromLatin1(row.text));
        ASSERT_EQ(server.has_value(), row.valid) << row.text;
        if (!server) continue;
        EXPECT_EQ(server->host, QString::fromLatin1(row.host));
        EXPECT_EQ(server->port, row.port);
        EXPECT_EQ(server->origin(),
                  QStringLiteral("http://") + QString::fromLatin1(row.text).trimmed());
    }
}

TEST_F(HighscoreTest, TheSettingsFileNamesTheServerAndIsNeverWrittenWithIt) {
    // No update check: the named host is not one of ours.
    writeIni({QStringLiteral("Server=games.example:8081"), QStringLiteral("Update=false")});
    open();
    EXPECT_EQ(net::vendorServer().host, QStringLiteral("games.example"));
    EXPECT_EQ(net::vendorServer().port, 8081);
    Tabout about(&window());
    EXPECT_EQ(about.link().address(), QStringLiteral("http://games.example:8081"));
    window().close();
    EXPECT_EQ(iniValue(QStringLiteral("Server")), QStringLiteral("games.example:8081"));
    EXPECT_EQ(iniLines().filter(QStringLiteral("Server=")).size(), 1);
}

TEST_F(HighscoreTest, WithoutTheKeyTheBuildsServerStandsAndNothingIsAdded) {
    writeIni({QStringLiteral("Server=not a server"), QStringLiteral("Update=false")});
    quintelle::net::resetVendorServer();
    open();
    EXPECT_EQ(net::vendorServer().text, QStringLiteral(QUINTELLE_SERVER));
    window().close();
    EXPECT_EQ(iniValue(QStringLiteral("Server")), QStringLiteral("not a server"));
}

// The Daily Deal's pages open inside the window: its link at the foot, and
// the links between its pages (a day's list, its deal, a player's grid),
// relative or on the vendor's server; every other link goes as before.
TEST_F(HighscoreWindow, TheDailyDealsPagesLeadToEachOtherInsideTheWindow) {
    struct Row {
        std::string href;    // %1 stands for the server's origin
        const char* target;  // the page fetched into the window, or nothing
    } rows[] = {{"/daily/1/list?day=2026-12-08", "/daily/1/list?day=2026-12-08"},
                {"%1/daily/1/deal?day=2026-12-08", "/daily/1/deal?day=2026-12-08"},
                {"/daily/1/grid?day=2026-12-08&amp;name=Ann+Lee", "/daily/1/grid?day=2026-12-08&name=Ann+Lee"},
                {"/daily/1/session", nullptr},
                {"/daily/1/listing", nullptr},
                {"/daily/1/list?day=1#x", nullptr},
                {"http://elsewhere.example/daily/1/list", nullptr}};
    start({});
    const QString origin = QString::fromStdString(server().origin());
    std::string page = "<html><body>";
    for (std::size_t i = 0; i < std::size(rows); ++i)
        page += "<p><a href=\"" + QString::fromStdString(rows[i].href).arg(origin).toStdString() +
                "\">link" + std::to_string(i) + "</a></p>";
    page += "</body></html>";
    server().script({Reply::ok(page)});
    THtmlViewer& viewer = showPage();
    std::size_t fetched = 1;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].href);
        clickLink(viewer, QStringLiteral("link%1").arg(i));
        waitForPage();
        if (rows[i].target) EXPECT_EQ(target(fetched++), rows[i].target);
        EXPECT_EQ(server().requests().size(), fetched);
    }
    auto* lists = highscore().findChild<QLabel*>(QStringLiteral("label_lists"));
    ASSERT_TRUE(lists);
    emit lists->linkActivated(QStringLiteral("daily"));
    EXPECT_EQ(target(fetched), "/daily/1/list");
}
