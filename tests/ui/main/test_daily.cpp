// File > Daily Deal on the main window against scripted servers: a round that
// cannot be opened says why and leaves the classic game as it was; a card
// that is late shows as the back only after the placement's cue.
#include <QMessageBox>

#include "data/dailyprotocol.h"
#include "mainwindow_fixture.h"
#include "ui/daily/dailyround.h"

using namespace quintelle;
using namespace quintelle::testsupport;
using namespace std::chrono_literals;

namespace {

std::string dealt(int move, int card) {
    return daily::format(daily::Deal{"2026-12-09", std::string(32, 'a'), move, card});
}

Reply deal(int move, int card) {
    return Reply::ok(dealt(move, card), "application/x-www-form-urlencoded");
}

}  // namespace

class DailyOnTheBoard : public MainWindowTest {
  protected:
    // No update check: only the Daily Deal talks to the server.
    void SetUp() override {
        MainWindowTest::SetUp();
        writeIni({QStringLiteral("Update=false")});
    }
    void serve(std::vector<Reply> script) {
        server_ = std::make_unique<ScriptedServer>(std::move(script));
        net::setVendorServer(*net::parseServer(QString::fromStdString(server_->hostPort())));
    }
    // The message the round left, once shown; empty if none came.
    QString message() {
        ui::DailyRound& daily = window().dailyRound();
        if (!QTest::qWaitFor([&] { return daily.message() && daily.message()->isVisible(); }, 15000))
            return {};
        const QString text = daily.message()->text();
        daily.message()->close();
        return text;
    }
    std::unique_ptr<ScriptedServer> server_;
};

TEST_F(DailyOnTheBoard, ARoundThatCannotOpenSaysWhyAndTheClassicGameGoesOn) {
    struct Row {
        const char* name;
        std::vector<Reply> script;
        bool closed;  // no server listening at all
        const char* says;
    } rows[] = {
        {"no server", {}, true, "No usable answer came from the Daily Deal server"},
        {"refused",
         {Reply::status(429, "Too Many Requests",
                        daily::format(daily::Failure{"too-many", "Slow down."}))},
         false,
         "Too many Daily Deal rounds"},
    };
    open();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        serve(row.script);
        if (row.closed) server_->stop();
        click(QStringLiteral("button_start"));
        QTest::mouseClick(cell(2, 3), Qt::LeftButton);
        const Position before = window().game().position();
        const QString round = textOf(QStringLiteral("label_roundnum"));

        QAction* item = action(QStringLiteral("DailyDeal1"));
        item->trigger();
        EXPECT_TRUE(message().startsWith(QLatin1String(row.says)));
        EXPECT_TRUE(item->isEnabled());
        EXPECT_FALSE(window().game().dailyRound());
        EXPECT_TRUE(window().game().dealing());
        EXPECT_EQ(window().game().position().grid, before.grid);
        EXPECT_EQ(window().game().topcard(), before.offer);
        EXPECT_EQ(textOf(QStringLiteral("label_roundnum")), round);
    }
}

TEST_F(DailyOnTheBoard, ALateCardShowsAsTheBackOnlyAfterThePlacementsCue) {
    const auto late = ui::DailyRound::kHiddenWait * 3;
    const std::string second = dealt(2, 7);
    serve({deal(1, 50), Reply().pause(late).send("HTTP/1.0 200 OK\r\nContent-Length: " +
                                                 std::to_string(second.size()) + "\r\n\r\n" +
                                                 second)});
    open();
    action(QStringLiteral("DailyDeal1"))->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().game().topcard() == 50; }, 10000));
    auto* offer = find<ui::CardImage>(QStringLiteral("image_topcard"));
    QTest::mouseClick(cell(1, 1), Qt::LeftButton);
    EXPECT_EQ(cell(1, 1)->shownCard(), 50);
    // Within the cue nothing changes on the offer; past it, the back.
    QTest::qWait(int(ui::DailyRound::kHiddenWait.count() / 3));
    EXPECT_EQ(offer->shownCard(), 50);
    EXPECT_TRUE(QTest::qWaitFor([&] { return offer->shownCard() == 0; }, int(late.count())));
    EXPECT_TRUE(QTest::qWaitFor([&] { return offer->shownCard() == 7; }, 10000));
    EXPECT_EQ(window().game().topcard(), 7);
}
