#include "game/controller.h"

#include "game/PokerHand.h"
#include "game/cards.h"
#include "game/scoring.h"

using namespace quintelle::controls;

namespace quintelle {
namespace {

std::string withNumber(std::string_view prefix, int n) {
    std::string s(prefix);
    s += std::to_string(n);
    return s;
}

}  // namespace

GameController::GameController(GameView& view, SoundSink& sound, RoundClock& clock,
                               TallySink& tally, Random& random)
    : view_(view), sound_(sound), clock_(clock), tally_(tally), random_(random) {}

std::string GameController::clocktext(int seconds) {
    const int rest = seconds % 60;
    return "Time: " + std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") +
           std::to_string(rest);
}

void GameController::hidepanels() {
    view_.hide(panel_wait);
    view_.hide(panel_continue);
    view_.hide(panel_name);
    view_.hide(panel_cleared);
}

void GameController::startGame() {
    begin(classic_, false);
}

void GameController::startDaily(CardSource& source) {
    begin(source, true);
}

void GameController::begin(CardSource& source, bool daily) {
    source_ = &source;
    daily_ = daily;
    hidepanels();
    sound_.playsounds("startgame");
    view_.setText(label_name, "Good Luck " + view_.text(edit_name));
    view_.setTag(image_timer, 1);
    view_.setText(label_score, "Score: 0");
    totalscore_ = 0;
    roundnum_ = 0;
    clearall();
    startround();
}

void GameController::clearall() {
    hidepanels();
    timebonus_ = 0;
    nextcard_ = 1;
    roundscore_ = 0;
    canreplace_ = true;
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) {
            view_.clearPicture(cell(r, c));
            view_.setTag(cell(r, c), 0);
        }
    for (int n = 1; n <= 10; ++n) view_.setText(line(n), "");
    // The round-score box is emptied with the line scores, so a new round
    // never shows the last round's points beside an empty grid.
    view_.setText(label_thisturn, "0");
    linescore_.fill(0);
    for (auto& row : grid_) row.fill(kNoCard);
}

void GameController::showcardonoffer(int code) {
    view_.clearPicture(image_topcard);
    view_.setTag(image_topcard, code);
    view_.drawCard(image_topcard, code);
    if (isCard(code)) dealt_ |= std::uint64_t{1} << code;
}

void GameController::offer() {
    topcard_ = source_->card(nextcard_);
    if (topcard_ != kNoCard)
        showcardonoffer(topcard_);
    else
        view_.setTag(image_topcard, kNoCard);  // nothing on offer while the card is on its way
}

void GameController::cardArrived(const CardSource& from) {
    if (&from == source_ && awaitingCard()) offer();
}

void GameController::abandonRound(const CardSource& from) {
    if (&from != source_ || !dealing_) return;
    dealing_ = false;
    topcard_ = kNoCard;
    showcardonoffer(kCardBack);
    clock_.stop();
}

void GameController::startround() {
    clearall();
    ++roundnum_;
    if (!daily_) tally_.addtomineincrease(kStatRounds);
    view_.setText(label_roundnum, daily_ ? std::string("Daily Deal") : withNumber("Round: ", roundnum_));
    const std::string previous = withNumber("Previous Score: ", totalscore_);
    view_.setText(label_previous, previous);
    view_.setText(label_previous1, previous);
    targetscore_ = daily_ ? 0 : targetfor(totalscore_);
    const std::string target =
        daily_ ? std::string("No Target Score") : withNumber("Target Score: ", targetscore_);
    view_.setText(label_targetscore, target);
    view_.setText(label_ts, target);
    view_.setText(label_ts1, target);
    seconds_ = 0;
    view_.setTag(image_timer, 1);
    played_ = PlayedRound{};
    played_.seed = random_.state();
    played_.roundInGame = roundnum_;
    dealt_ = 0;
    source_->beginRound();
    dealing_ = true;
    offer();
    clock_.start();
    view_.setText(label_cardcount, "Cards Left: 26");
    sound_.playsounds("turnnew");
}

bool GameController::checkfordone() const {
    if (canreplace_) return false;
    for (const auto& row : grid_)
        for (int code : row)
            if (code == kNoCard) return false;
    return true;
}

void GameController::place(int address) {
    const int r = address / 10, c = address % 10;
    if (r < 1 || r > 5 || c < 1 || c > 5) return;
    if (!dealing_ || topcard_ == kNoCard) return;

    int& code = grid_[r - 1][c - 1];
    const bool replacing = code != kNoCard;
    if (replacing && !canreplace_) {
        sound_.playsounds("invalid");
        return;
    }
    if (replacing) canreplace_ = false;
    code = topcard_;
    played_.cards[static_cast<std::size_t>(nextcard_ - 1)] = code;
    played_.cells[static_cast<std::size_t>(nextcard_ - 1)] = (r - 1) * 5 + c - 1;
    const bool done = checkfordone();
    source_->placed(nextcard_, address);
    ++nextcard_;

    view_.clearPicture(cell(r, c));
    view_.setTag(cell(r, c), code);
    view_.drawCard(cell(r, c), code);

    if (!done) {
        offer();
    } else {
        topcard_ = kNoCard;
        showcardonoffer(kCardBack);
        dealing_ = false;
    }
    sound_.playsounds(replacing ? "replace" : "placecard");
    if (canreplace_) {
        view_.show(image_replace);
        view_.setTag(image_replace, 1);
    } else {
        view_.hide(image_replace);
        view_.setTag(image_replace, 0);
    }
    view_.setText(label_cardcount, withNumber("Cards Left: ", 27 - nextcard_));
    timebonus_ = timebonusfor(seconds_);
    if (done) endround();
}

void GameController::postscore() {
    auto score = [this](int n, int a, int b, int c, int d, int e) {
        linescore_[n - 1] = handpoints(classifyhand(a, b, c, d, e));
        roundscore_ += linescore_[n - 1];
        view_.setText(line(n), std::to_string(linescore_[n - 1]));
    };
    for (int r = 0; r < 5; ++r)
        score(r + 1, grid_[r][0], grid_[r][1], grid_[r][2], grid_[r][3], grid_[r][4]);
    for (int c = 0; c < 5; ++c)
        score(6 + c, grid_[0][c], grid_[1][c], grid_[2][c], grid_[3][c], grid_[4][c]);
}

void GameController::endround() {
    postscore();
    totalscore_ += timebonus_ + roundscore_;

    view_.setText(label_thisturn, std::to_string(roundscore_));
    view_.setText(label_score, withNumber("Score: ", totalscore_));
    view_.setTag(label_score, totalscore_);
    view_.setText(label_turnscore, withNumber("This Round: ", roundscore_));
    view_.setText(label_timebonus, withNumber("Time Bonus: ", timebonus_));
    view_.setText(label_total, withNumber("Total: ", totalscore_));
    view_.setText(label_score1, withNumber("Total: ", totalscore_));
    view_.setText(label_timebonus1, withNumber("Time Bonus: ", timebonus_));
    view_.setText(label_turnscore1, withNumber("This Round: ", roundscore_));

    clock_.stop();
    if (daily_) {
        // One round only; the source shows the result its dealer scored.
        sound_.playsounds("roundover");
        dealing_ = false;
        return;
    }
    if (roundSink_) {
        played_.lines = linescore_;
        played_.points = roundscore_;
        played_.seconds = seconds_;
        played_.bonus = timebonus_;
        played_.cleared = totalscore_ >= targetscore_;
        roundSink_->roundPlayed(played_);
    }
    if (totalscore_ < targetscore_) {
        sound_.playsounds("winner");
        tally_.checkscore(totalscore_, view_.text(edit_name));
        view_.show(button_sendscore);
        view_.show(panel_cleared);
        dealing_ = false;
    } else {
        sound_.playsounds("roundover");
        tally_.addtomineincrease(kStatCleared);
        view_.setText(label_continue, praiseline(random_.below(10)));
        view_.show(panel_continue);
    }
}

void GameController::nextRound() {
    startround();
}

void GameController::dismissGameOver() {
    view_.hide(panel_cleared);
}

void GameController::hintAsked() {
    if (dealing_) played_.hinted = true;
}

void GameController::tick() {
    ++seconds_;
    const int width = seconds_ > kBarWidth ? kBarWidth : view_.tag(image_timer) * seconds_;
    view_.setWidth(image_timer, width);
    view_.setText(label_timer, clocktext(seconds_));
}

Position GameController::position() const {
    Position p;
    for (int i = 0; i < 25; ++i) p.grid[static_cast<std::size_t>(i)] = grid_[i / 5][i % 5];
    p.offer = topcard_;
    p.canReplace = canreplace_;
    p.dealt = dealt_;
    p.placementsLeft = 27 - nextcard_;
    return p;
}

}  // namespace quintelle
