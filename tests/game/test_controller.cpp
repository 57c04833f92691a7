// The game controller against a board that keeps its state: what a round
// shows and requests, the replacement rule, round ends on and just below the
// target, and the clicks that must do nothing.
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <vector>

#include "game/controller.h"
#include "recorders.h"

using namespace quintelle;
using namespace quintelle::testing;

namespace {

using Grid = std::array<std::array<int, 5>, 5>;

// Designed grids (rows top to bottom) with the card that is laid first on
// cell 11 and covered by the last card. Line points checked by hand.
struct Design {
    Grid grid;
    int covered;
    std::array<int, 10> lines;  // rows 1..5, columns 1..5
};

// Royal flush in row 1, nothing else: 100 points.
const Design kHundred{{{{48, 49, 50, 51, 52},
                        {13, 34, 23, 7, 37},
                        {30, 35, 14, 31, 33},
                        {2, 24, 46, 22, 27},
                        {42, 44, 41, 6, 47}}},
                      17,
                      {100, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
// Royal flush, two pairs in rows, three of a kind in column 3: 114 points.
const Design kHundredFourteen{{{{48, 49, 50, 51, 52},
                                {20, 6, 10, 7, 22},
                                {17, 31, 11, 34, 2},
                                {14, 39, 24, 45, 38},
                                {47, 21, 28, 3, 23}}},
                              9,
                              {100, 2, 0, 0, 2, 0, 0, 10, 0, 0}};
// No line scores at all.
const Design kNothing{{{{15, 38, 5, 48, 14},
                        {32, 36, 40, 18, 39},
                        {3, 35, 2, 10, 21},
                        {7, 6, 22, 24, 43},
                        {8, 44, 52, 16, 41}}},
                      51,
                      {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};

// Cells in the order the script lays them: 11 first (to be covered), then
// 12..55, then 11 again with the replacement.
std::vector<int> layingOrder() {
    std::vector<int> order{11};
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c)
            if (r * 10 + c != 11) order.push_back(r * 10 + c);
    order.push_back(11);
    return order;
}

std::vector<int> dealFor(const Design& d) {
    std::vector<int> deal;
    for (int address : layingOrder()) {
        const int r = address / 10, c = address % 10;
        deal.push_back(deal.empty() ? d.covered : d.grid[r - 1][c - 1]);
    }
    return deal;
}

class ControllerTest : public ::testing::Test, protected RecordedGame {
  protected:

    void tick(int n) {
        for (int i = 0; i < n; ++i) game.tick();
    }

    // Lays a designed round; `seconds` ticks pass before the last card.
    void playRound(int seconds = 0) {
        const std::vector<int> order = layingOrder();
        for (std::size_t i = 0; i + 1 < order.size(); ++i) game.place(order[i]);
        tick(seconds);
        game.place(order.back());
    }

    void startWith(const Design& d, std::uint32_t praise = 0) {
        random.deal(dealFor(d));
        random.queue(praise);
        game.startGame();
    }

    void continueWith(const Design& d, std::uint32_t praise = 0) {
        random.deal(dealFor(d));
        random.queue(praise);
        game.nextRound();
    }

    // The requests made from index `from` on.
    Requests since(std::size_t from) const {
        return Requests(requests.begin() + from, requests.end());
    }
};

TEST_F(ControllerTest, AGameStartsWithRoundOneOnACleanBoard) {
    view.board.texts["edit_name"] = "Ann";
    view.board.texts["label_thisturn"] = "114";
    random.deal(dealFor(kHundred));
    game.startGame();

    for (const char* panel : {"panel_wait", "panel_continue", "panel_name", "panel_cleared"})
        EXPECT_FALSE(view.isVisible(panel)) << panel;
    const std::pair<const char*, const char*> texts[] = {
        {"label_name", "Good Luck Ann"},          {"label_score", "Score: 0"},
        {"label_roundnum", "Round: 1"},           {"label_previous", "Previous Score: 0"},
        {"label_previous1", "Previous Score: 0"}, {"label_targetscore", "Target Score: 150"},
        {"label_ts", "Target Score: 150"},        {"label_ts1", "Target Score: 150"},
        {"label_cardcount", "Cards Left: 26"},    {"label_thisturn", "0"}};
    for (const auto& [control, text] : texts) EXPECT_EQ(view.text(control), text) << control;
    for (int n = 1; n <= 10; ++n) EXPECT_EQ(view.text(controls::line(n)), "") << n;
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) {
            EXPECT_EQ(view.board.pictures[std::string(controls::cell(r, c).name())], -1);
            EXPECT_EQ(view.tag(controls::cell(r, c)), 0);
        }
    EXPECT_EQ(view.tag("image_timer"), 1);
    EXPECT_EQ(view.picture("image_topcard"), 17);
    EXPECT_EQ(view.tag("image_topcard"), 17);

    EXPECT_EQ(requests,
              (Requests{"cue startgame", "tally increase 1", "clock start", "cue turnnew"}));
    EXPECT_TRUE(game.dealing());
    EXPECT_EQ(game.roundnum(), 1);
    EXPECT_EQ(game.targetscore(), 150);
    EXPECT_EQ(game.position(), Position::start(17));
}

TEST_F(ControllerTest, APlacementShowsTheCardAndOffersTheNext) {
    startWith(kHundred);
    const std::size_t mark = requests.size();
    game.place(11);
    EXPECT_EQ(view.picture("image_card11"), 17);
    EXPECT_EQ(view.tag("image_card11"), 17);
    EXPECT_EQ(view.picture("image_topcard"), 49);
    EXPECT_EQ(view.tag("image_topcard"), 49);
    EXPECT_TRUE(view.isVisible("image_replace"));
    EXPECT_EQ(view.tag("image_replace"), 1);
    EXPECT_EQ(view.text("label_cardcount"), "Cards Left: 25");
    EXPECT_EQ(since(mark), Requests{"cue placecard"});
    EXPECT_EQ(game.timebonus(), 50);

    // The position follows the placements as the coach replays them.
    Position expected = Position::start(17);
    expected.place(0, 49);
    EXPECT_EQ(game.position(), expected);
    game.place(11);  // the replacement
    expected.place(0, dealFor(kHundred)[2]);
    EXPECT_EQ(game.position(), expected);
    EXPECT_FALSE(game.position().canReplace);
}

TEST_F(ControllerTest, ExactlyOnTargetIsClearedThenOneBelowEndsTheGame) {
    startWith(kHundred, /*praise draw*/ 3);
    playRound();  // 100 points + 50 bonus = 150 = target
    EXPECT_FALSE(game.dealing());
    EXPECT_EQ(game.roundscore(), 100);
    EXPECT_EQ(game.totalscore(), 150);
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(view.text(controls::line(n)), std::to_string(kHundred.lines[n - 1]));
    EXPECT_EQ(view.text("label_thisturn"), "100");
    EXPECT_EQ(view.text("label_score"), "Score: 150");
    EXPECT_EQ(view.tag("label_score"), 150);
    EXPECT_EQ(view.text("label_turnscore"), "This Round: 100");
    EXPECT_EQ(view.text("label_timebonus"), "Time Bonus: 50");
    EXPECT_EQ(view.text("label_total"), "Total: 150");
    EXPECT_EQ(view.text("label_continue"), "Awsome!");
    EXPECT_TRUE(view.isVisible("panel_continue"));
    EXPECT_FALSE(view.isVisible("panel_cleared"));

    continueWith(kHundredFourteen);
    EXPECT_FALSE(view.isVisible("panel_continue"));
    EXPECT_EQ(view.text("label_previous"), "Previous Score: 150");
    EXPECT_EQ(view.text("label_roundnum"), "Round: 2");
    EXPECT_EQ(view.text("label_ts"), "Target Score: 300");
    EXPECT_EQ(view.text("label_thisturn"), "0");
    playRound(31);  // 114 + 35 = 149, one below the target
    EXPECT_EQ(game.totalscore(), 299);
    EXPECT_EQ(view.text("label_score1"), "Total: 299");
    EXPECT_EQ(view.text("label_timebonus1"), "Time Bonus: 35");
    EXPECT_EQ(view.text("label_turnscore1"), "This Round: 114");
    EXPECT_EQ(view.text("label_previous1"), "Previous Score: 150");
    EXPECT_EQ(view.text("label_ts1"), "Target Score: 300");
    EXPECT_EQ(view.text("label_continue"), "Awsome!");  // a lost round leaves the praise
    EXPECT_TRUE(view.isVisible("panel_cleared"));
    EXPECT_TRUE(view.isVisible("button_sendscore"));
    EXPECT_FALSE(view.isVisible("panel_continue"));
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(view.text(controls::line(n)), std::to_string(kHundredFourteen.lines[n - 1]));
}

TEST_F(ControllerTest, AWholeGameRequestsCuesClockAndTallyInOrder) {
    startWith(kHundred);
    playRound();
    continueWith(kHundredFourteen);
    playRound(40);

    Requests expected{"cue startgame", "tally increase 1", "clock start", "cue turnnew"};
    for (int i = 0; i < 25; ++i) expected.push_back("cue placecard");
    for (const char* s : {"cue replace", "clock stop", "cue roundover", "tally increase 2",
                          "tally increase 1", "clock start", "cue turnnew"})
        expected.push_back(s);
    for (int i = 0; i < 25; ++i) expected.push_back("cue placecard");
    for (const char* s : {"cue replace", "clock stop", "cue winner", "tally checkscore 299 Guest"})
        expected.push_back(s);
    EXPECT_EQ(requests, expected);

    // The game is over: further clicks do nothing, not even "invalid", and
    // cancel only closes the panel.
    const Board before = view.board;
    game.place(33);
    EXPECT_EQ(view.board, before);
    game.dismissGameOver();
    EXPECT_FALSE(view.isVisible("panel_cleared"));
    EXPECT_EQ(requests, expected);
}

TEST_F(ControllerTest, ReplacementRule) {
    startWith(kNothing);
    game.place(11);
    EXPECT_TRUE(view.isVisible("image_replace"));
    EXPECT_EQ(view.tag("image_replace"), 1);

    game.place(12);
    std::size_t mark = requests.size();
    game.place(11);  // replaces the first card
    EXPECT_EQ(since(mark), Requests{"cue replace"});
    EXPECT_FALSE(game.canreplace());
    EXPECT_FALSE(view.isVisible("image_replace"));
    EXPECT_EQ(view.tag("image_replace"), 0);
    EXPECT_EQ(view.text("label_cardcount"), "Cards Left: 23");
    EXPECT_EQ(view.tag("image_card11"), game.grid(1, 1));
    EXPECT_EQ(view.picture("image_card11"), game.grid(1, 1));
    EXPECT_NE(game.grid(1, 1), kNothing.covered);

    const Board before = view.board;
    const Position position = game.position();
    mark = requests.size();
    game.place(12);  // no replacement left
    EXPECT_EQ(since(mark), Requests{"cue invalid"});
    EXPECT_EQ(view.board, before);
    EXPECT_EQ(game.position(), position);
}

TEST_F(ControllerTest, RoundWaitsForTheReplacementAndEndsOnTheTwentySixthCard) {
    startWith(kNothing);
    const std::vector<int> order = layingOrder();
    for (std::size_t i = 1; i + 1 < order.size(); ++i) game.place(order[i]);
    game.place(11);  // 25th card onto the last empty cell
    EXPECT_TRUE(game.dealing());
    EXPECT_TRUE(game.canreplace());
    EXPECT_EQ(view.text("label_cardcount"), "Cards Left: 1");
    EXPECT_TRUE(view.isVisible("image_replace"));

    game.place(55);  // any cell: the 26th card must replace
    EXPECT_FALSE(game.dealing());
    EXPECT_EQ(game.nextcard(), 27);
    EXPECT_EQ(game.topcard(), 0);
    EXPECT_EQ(view.text("label_cardcount"), "Cards Left: 0");
    EXPECT_EQ(view.picture("image_topcard"), 0);  // the card back, not an empty frame
    EXPECT_EQ(view.tag("image_topcard"), 0);
    EXPECT_TRUE(view.isVisible("panel_cleared") || view.isVisible("panel_continue"));
}

TEST_F(ControllerTest, GridWithoutHandsShowsZeroOnEveryLine) {
    startWith(kNothing);
    playRound();
    EXPECT_EQ(game.roundscore(), 0);
    for (int n = 1; n <= 10; ++n) EXPECT_EQ(view.text(controls::line(n)), "0");
    EXPECT_EQ(view.text("label_thisturn"), "0");
    EXPECT_EQ(game.totalscore(), 50);
    EXPECT_TRUE(view.isVisible("panel_cleared"));  // 0 + 50 < 150
}

TEST_F(ControllerTest, ClicksOutsideDealingDoNothing) {
    Board before = view.board;
    game.place(11);  // before any game
    EXPECT_EQ(view.board, before);
    EXPECT_TRUE(requests.empty());

    startWith(kHundred);
    playRound();
    ASSERT_TRUE(view.isVisible("panel_continue"));
    before = view.board;
    const std::size_t mark = requests.size();
    game.place(23);  // continue panel up
    game.place(11);
    EXPECT_EQ(view.board, before);
    EXPECT_EQ(since(mark), Requests{});
}

TEST_F(ControllerTest, StartMidRoundRestartsAtRoundOne) {
    startWith(kHundred);
    playRound();
    continueWith(kNothing);
    for (int a : {11, 12, 13}) game.place(a);
    tick(5);
    ASSERT_EQ(game.roundnum(), 2);

    const std::size_t mark = requests.size();
    view.show(controls::panel_cleared);
    random.deal(dealFor(kNothing));
    game.startGame();
    EXPECT_EQ(game.roundnum(), 1);
    EXPECT_EQ(game.totalscore(), 0);
    EXPECT_EQ(game.seconds(), 0);
    EXPECT_EQ(game.nextcard(), 1);
    EXPECT_EQ(game.grid(1, 1), 0);
    EXPECT_EQ(view.text("label_score"), "Score: 0");
    EXPECT_EQ(view.text("label_targetscore"), "Target Score: 150");
    EXPECT_FALSE(view.isVisible("panel_cleared"));
    // One more round played; the dropped round is neither cleared nor finished,
    // and the clock restarts without being stopped.
    EXPECT_EQ(since(mark),
              (Requests{"cue startgame", "tally increase 1", "clock start", "cue turnnew"}));
}

struct BonusRow {
    int seconds, bonus;
};
class TimeBonusAtLastCard : public ControllerTest,
                            public ::testing::WithParamInterface<BonusRow> {};

TEST_P(TimeBonusAtLastCard, CountsTheSecondsOfTheLastPlacement) {
    startWith(kHundred);
    playRound(GetParam().seconds);
    EXPECT_EQ(game.timebonus(), GetParam().bonus);
    EXPECT_EQ(game.totalscore(), 100 + GetParam().bonus);
    EXPECT_EQ(view.isVisible("panel_continue"), 100 + GetParam().bonus >= 150);
}

INSTANTIATE_TEST_SUITE_P(Bands, TimeBonusAtLastCard,
                         ::testing::Values(BonusRow{0, 50}, BonusRow{30, 50}, BonusRow{31, 35},
                                           BonusRow{60, 35}, BonusRow{61, 20}, BonusRow{90, 20},
                                           BonusRow{91, 0}));

TEST_F(ControllerTest, ClockTextAndBar) {
    startWith(kNothing);
    struct Row {
        int seconds;
        const char* text;
        int width;
    };
    const Row rows[] = {{1, "Time: 0:01", 1},      {5, "Time: 0:05", 5},
                        {59, "Time: 0:59", 59},    {60, "Time: 1:00", 60},
                        {61, "Time: 1:01", 61},    {75, "Time: 1:15", 75},
                        {131, "Time: 2:11", 131},  {132, "Time: 2:12", 131},
                        {600, "Time: 10:00", 131}, {6000, "Time: 100:00", 131}};
    for (const Row& row : rows) {
        tick(row.seconds - game.seconds());
        EXPECT_EQ(view.text("label_timer"), row.text);
        EXPECT_EQ(view.width("image_timer"), row.width) << row.seconds;
    }
}

TEST_F(ControllerTest, BarGrowsByItsTag) {
    startWith(kNothing);
    view.setTag(controls::image_timer, 2);  // growth is read from the bar's tag at every tick
    tick(10);
    EXPECT_EQ(view.width("image_timer"), 20);
}

// The names are the window's vocabulary: composed as the layout names its
// widgets, each once.
TEST(Controls, NamesAreComposedAsTheLayoutNamesItsWidgets) {
    EXPECT_EQ(controls::cell(2, 3).name(), "image_card23");
    EXPECT_EQ(controls::line(10).name(), "label_line10");
    EXPECT_EQ(GameController::clocktext(0), "Time: 0:00");
    std::set<std::string_view> names;
    for (const Control c : controls::all()) EXPECT_TRUE(names.insert(c.name()).second) << c.name();
    EXPECT_EQ(names.size(), 27u + 25u + 10u);
}

}  // namespace

// --- a round dealt by a source that answers later (the Daily Deal) ----------

namespace {

// Deals `deal` one card at a time: a card becomes known only when release()
// is called after its placement, as a server's answer would.
class LateSource : public CardSource {
  public:
    explicit LateSource(std::vector<int> deal) : deal_(std::move(deal)) {}
    void beginRound() override { known_ = 1; }
    int card(int move) const override {
        return move >= 1 && move <= known_ ? deal_[std::size_t(move - 1)] : kNoCard;
    }
    void placed(int move, int address) override { sent.push_back(move * 100 + address); }
    void release() { ++known_; }
    std::vector<int> sent;  // move*100 + address, in order

  private:
    std::vector<int> deal_;
    int known_ = 0;
};

}  // namespace

TEST_F(ControllerTest, ADailyRoundTakesEachCardFromItsSourceAndCountsNothing) {
    LateSource source(dealFor(kHundred));
    game.startDaily(source);
    EXPECT_EQ(view.text("label_roundnum"), "Daily Deal");
    const std::vector<int> order = layingOrder();
    std::vector<int> expected;
    for (std::size_t i = 0; i < order.size(); ++i) {
        ASSERT_FALSE(game.awaitingCard());
        EXPECT_EQ(view.tag("image_topcard"), dealFor(kHundred)[i]);
        game.place(order[i]);
        expected.push_back(int(i + 1) * 100 + order[i]);
        if (i + 1 == order.size()) break;
        // Waiting: nothing on offer, and a click lays nothing.
        EXPECT_TRUE(game.awaitingCard());
        EXPECT_EQ(view.tag("image_topcard"), kNoCard);
        game.place(order[i] == 55 ? 54 : 55);
        source.release();
        game.cardArrived(source);
    }
    EXPECT_EQ(source.sent, expected);
    EXPECT_FALSE(game.dealing());
    EXPECT_EQ(view.text("label_line1"), "100");
    EXPECT_FALSE(view.isVisible("panel_cleared"));
    EXPECT_FALSE(view.isVisible("panel_continue"));
    for (const std::string& r : requests) EXPECT_EQ(r.rfind("tally", 0), std::string::npos) << r;
    EXPECT_EQ(requests.back(), "cue roundover");
}

// A card arrives only for the round that waits for it: not from another
// source, not after its round was abandoned, not into a classic game.
TEST_F(ControllerTest, ACardArrivesOnlyForTheRoundThatWaitsForIt) {
    using After = void (*)(GameController&, LateSource& ours, LateSource& other);
    const std::pair<After, bool> rows[] = {  // what follows the placement, card on offer after
        {[](GameController& g, LateSource& s, LateSource&) { g.cardArrived(s); }, true},
        {[](GameController& g, LateSource&, LateSource& o) { g.cardArrived(o); }, false},
        {[](GameController& g, LateSource& s, LateSource&) { g.abandonRound(s), g.cardArrived(s); }, false},
        {[](GameController& g, LateSource& s, LateSource&) { g.startGame(), g.place(12), g.cardArrived(s); }, true},
    };
    for (const auto& [after, offered] : rows) {
        LateSource ours(dealFor(kNothing)), other(dealFor(kNothing));
        random.deal(dealFor(kHundred));
        game.startDaily(ours);
        game.place(11);
        ours.release();
        other.release();
        after(game, ours, other);
        EXPECT_EQ(game.topcard() != kNoCard, offered) << &after - &rows[0].first;
        EXPECT_EQ(ours.sent.size(), 1u);
    }
}
