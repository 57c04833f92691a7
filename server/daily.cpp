#include "server/daily.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "data/dailyprotocol.h"
#include "server/dailyseed.h"
#include "server/text.h"

namespace quintelle::server {
namespace {

using daily::Failure;

Response formReply(int status, std::string body) {
    Response r = Response::text(status, std::move(body));
    r.contentType = std::string(daily::kFormType);
    r.headers.emplace_back("Cache-Control", "no-store");
    return r;
}

Response failure(int status, std::string error, std::string message) {
    return formReply(status, daily::format(Failure{std::move(error), std::move(message)}));
}

Response unavailable(const DatabaseError& e) {
    std::fprintf(stderr, "quintelle-server: database: %s\n", printable(e.what()).c_str());
    return failure(503, "unavailable", "The Daily Deal is unavailable just now; try again later.");
}

Response html(int status, std::string body) {
    Response r = Response::text(status, std::move(body));
    r.contentType = "text/html; charset=utf-8";
    r.headers.emplace_back("Cache-Control", "no-store");
    return r;
}

// The query of a page's address: only the named fields, a day where one is
// given.
struct PageQuery {
    std::optional<int> day;
    std::string name;
    std::string problem;
};

PageQuery pageQuery(const Request& req, bool withName) {
    PageQuery q;
    std::size_t question = req.target.find('?');
    auto parsed = daily::parseForm(question == std::string::npos
                                       ? std::string_view()
                                       : std::string_view(req.target).substr(question + 1));
    if (auto* why = std::get_if<std::string>(&parsed)) {
        q.problem = *why;
        return q;
    }
    for (const auto& [field, value] : std::get<daily::Form>(parsed).fields()) {
        if (field == "day") {
            q.day = daily::parseday(value);
            if (!q.day) q.problem = "day must be a date such as 2026-03-05";
        } else if (field == "name" && withName) {
            q.name = value;
        } else {
            q.problem = "unknown field " + field;
        }
    }
    return q;
}

Response badQuery(const std::string& why) {
    return Response::text(400, "Not understood: " + why + ".\n");
}

Response notOver(int day) {
    return Response::text(403, "The cards of " + daily::daytext(day) +
                                   " are shown once its deal is over, ten minutes into the "
                                   "next day (UTC).\n");
}

// Every handler answers 503 when the database fails it.
Handler guarded(DailyDeal* self, Response (DailyDeal::*handler)(const Request&)) {
    return [self, handler](const Request& req) {
        try {
            return (self->*handler)(req);
        } catch (const DatabaseError& e) {
            return unavailable(e);
        }
    };
}

}  // namespace

std::int64_t wallClockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

DailyDeal::DailyDeal(DailyStore& store, DailySettings settings, PageLinks links, Clock now)
    : store_(store),
      settings_(settings),
      links_(std::move(links)),
      now_(std::move(now)),
      worker_([this](std::stop_token stop) { work(stop); }) {}

DailyDeal::~DailyDeal() = default;

std::vector<Route> DailyDeal::routes() {
    return {
        {std::string(daily::kSessionPath), guarded(this, &DailyDeal::openSession), true},
        {std::string(daily::kPlacePath), guarded(this, &DailyDeal::place), true},
        {std::string(daily::kRevealPath), guarded(this, &DailyDeal::reveal)},
        {std::string(daily::kListPath), guarded(this, &DailyDeal::listPage)},
        {std::string(daily::kDealPath), guarded(this, &DailyDeal::dealPage)},
        {std::string(daily::kGridPath), guarded(this, &DailyDeal::gridPage)},
    };
}

std::pair<int, std::string> DailyDeal::today() {
    const std::int64_t now = now_();
    const int day = daily::dayof(now);
    {
        std::lock_guard lock(mutex_);
        // Each day's closed sessions are pruned an hour after it closes (the
        // hour the per-address limit looks back).
        if (now >= nextPrune_) {
            constexpr std::int64_t kAfterClose = kDailyGraceMs + 3'600'000;
            nextPrune_ = ((now - kAfterClose) / kDayMs + 1) * kDayMs + kAfterClose;
            pruneDue_ = true;
            wake_.notify_one();
        }
        if (day == seenDay_) return {day, seenSeed_};
    }
    std::string seed = store_.seed(day, newSeed());
    std::lock_guard lock(mutex_);
    if (day > seenDay_) {
        seenDay_ = day;
        seenSeed_ = seed;
        parWanted_.insert(day);
        wake_.notify_one();
    }
    return {day, seed};
}

void DailyDeal::wantPar(int day) {
    std::lock_guard lock(mutex_);
    auto tried = parTried_.find(day);
    if (tried != parTried_.end() && now_() - tried->second < 60'000) return;
    parWanted_.insert(day);
    wake_.notify_one();
}

void DailyDeal::work(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (wake_.wait(lock, stop, [&] { return pruneDue_ || !parWanted_.empty(); })) {
        const bool prune = std::exchange(pruneDue_, false);
        const int day = prune ? 0 : *parWanted_.begin();
        lock.unlock();
        try {
            if (prune) {
                store_.prune(now_(), settings_.keepDays);
            } else if (!store_.par(day) && store_.claimPar(day, now_())) {
                if (std::optional<std::string> seed = store_.storedSeed(day)) {
                    std::optional<int> par = expertpar(dealOf(*seed), settings_.parPlayouts,
                                                       static_cast<unsigned>(day), stop);
                    if (par) store_.storePar(day, *par);
                }
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "quintelle-server: %s\n", printable(e.what()).c_str());
        }
        lock.lock();
        if (!prune) {
            parWanted_.erase(day);
            parTried_[day] = now_();
            std::erase_if(parTried_, [&](const auto& entry) { return entry.first < day - 2; });
        }
    }
}

Response DailyDeal::answer(const DailyRound& round) {
    const Position p = positionOf(round);
    if (!round.finished) {
        daily::Deal d;
        d.day = daily::daytext(round.day);
        d.session = round.token;
        d.move = static_cast<int>(round.moves.size()) + 1;
        d.card = p.offer;
        d.canReplace = p.canReplace;
        d.seconds = static_cast<int>(std::max<std::int64_t>(0, now_() - round.started) / 1000);
        d.grid = p.grid;
        return formReply(200, daily::format(d));
    }
    const RoundScore score = scoreround(p.grid, round.seconds);
    const Standing standing = store_.standing(round.day, round.name);
    daily::Result r;
    r.day = daily::daytext(round.day);
    r.session = round.token;
    r.grid = p.grid;
    r.lines = score.lines;
    r.points = score.points;
    r.seconds = round.seconds;
    r.bonus = score.bonus;
    r.score = score.score;
    r.ranked = round.ranked;
    r.rank = standing.rank;
    r.players = standing.players;
    if (!round.ranked) r.counted = standing.score;
    r.par = store_.par(round.day);
    if (!r.par) wantPar(round.day);
    return formReply(200, daily::format(r));
}

Response DailyDeal::openSession(const Request& req) {
    if (!req.contentType.starts_with(daily::kFormType)) {
        return failure(415, "malformed", "Send the fields as application/x-www-form-urlencoded.");
    }
    auto parsed = daily::parseOpen(req.body);
    if (auto* why = std::get_if<std::string>(&parsed)) return failure(400, "malformed", *why);
    daily::Open& open = std::get<daily::Open>(parsed);
    const auto [day, seed] = today();
    if (!open.session.empty()) {
        std::optional<DailyRound> round = store_.find(open.session);
        if (!round) return failure(404, "unknown-session", "No such session; open a new one.");
        if (!round->finished && now_() >= closesAt(round->day)) {
            return failure(410, "day-over", "The deal of that day is over.");
        }
        return answer(*round);
    }
    DailyRound round;
    round.name = open.name;
    if (auto problem = fieldProblem("name", round.name)) {
        return failure(400, "malformed", *problem);
    }
    round.token = newToken();
    round.day = day;
    round.seed = seed;
    round.started = now_();
    if (store_.open(round, req.client, settings_.sessionsPerHour) == Opened::TooMany) {
        Response r =
            failure(429, "too-many", "Too many rounds from your address; please wait an hour.");
        r.headers.emplace_back("Retry-After", "3600");
        return r;
    }
    return answer(round);
}

Response DailyDeal::place(const Request& req) {
    if (!req.contentType.starts_with(daily::kFormType)) {
        return failure(415, "malformed", "Send the fields as application/x-www-form-urlencoded.");
    }
    auto parsed = daily::parsePlace(req.body);
    if (auto* why = std::get_if<std::string>(&parsed)) return failure(400, "malformed", *why);
    const daily::Place& m = std::get<daily::Place>(parsed);
    today();
    Placement p = store_.place(m.session, m.move, m.cell, now_());
    const std::string next = std::to_string(p.round.moves.size() + 1);
    switch (p.verdict) {
        case Verdict::Accepted:
            return answer(p.round);
        case Verdict::Unknown:
            return failure(404, "unknown-session", "No such session; open a new one.");
        case Verdict::Finished:
            return failure(409, "finished", "This round is over; open the session for its result.");
        case Verdict::DayOver:
            return failure(410, "day-over", "The deal of that day is over.");
        case Verdict::OutOfTurn:
            return failure(409, "out-of-turn", "Placement " + next + " is the next one.");
        case Verdict::Illegal:
            break;
    }
    return failure(409, "illegal-cell",
                   "Cell " + std::to_string(m.cell) + " holds a card and the replacement is used.");
}

Response DailyDeal::reveal(const Request& req) {
    PageQuery q = pageQuery(req, false);
    if (q.problem.empty() && !q.day) q.problem = "day is missing";
    if (!q.problem.empty()) return failure(400, "malformed", q.problem);
    if (now_() < closesAt(*q.day)) {
        return failure(403, "not-over", "The deal is revealed once its day is over.");
    }
    std::optional<std::string> seed = store_.storedSeed(*q.day);
    if (!seed) return failure(404, "unknown-day", "No Daily Deal was dealt that day.");
    const Deck deck = dealOf(*seed);
    std::string cards;
    for (int k = 1; k <= daily::kCards; ++k) cards += (k > 1 ? "," : "") + std::to_string(deck[k]);
    daily::Form f;
    f.add("day", daily::daytext(*q.day));
    f.add("seed", *seed);
    f.add("cards", cards);
    if (std::optional<int> par = store_.par(*q.day)) f.add("par", *par);
    return formReply(200, f.text());
}

Response DailyDeal::listPage(const Request& req) {
    PageQuery q = pageQuery(req, false);
    if (!q.problem.empty()) return badQuery(q.problem);
    const int today = this->today().first;
    DailyListPage page;
    page.day = q.day.value_or(today);
    if (page.day > today || (page.day < today && !store_.storedSeed(page.day))) {
        return Response::text(404,
                              "No Daily Deal was dealt on " + daily::daytext(page.day) + ".\n");
    }
    page.closed = now_() >= closesAt(page.day);
    page.par = store_.par(page.day);
    if (!page.par) wantPar(page.day);
    page.players = store_.players(page.day);
    page.rounds = store_.list(page.day, settings_.top);
    page.previous = store_.storedSeed(page.day - 1).has_value();
    page.next = page.day < today;
    return html(200, renderDailyList(page, links_));
}

Response DailyDeal::dealPage(const Request& req) {
    PageQuery q = pageQuery(req, false);
    if (q.problem.empty() && !q.day) q.problem = "day is missing";
    if (!q.problem.empty()) return badQuery(q.problem);
    if (now_() < closesAt(*q.day)) return notOver(*q.day);
    std::optional<std::string> seed = store_.storedSeed(*q.day);
    if (!seed) return Response::text(404, "No Daily Deal was dealt that day.\n");
    return html(200, renderDailyDeal(*q.day, dealOf(*seed), *seed, store_.par(*q.day), links_));
}

Response DailyDeal::gridPage(const Request& req) {
    PageQuery q = pageQuery(req, true);
    if (q.problem.empty() && !q.day) q.problem = "day is missing";
    if (q.problem.empty()) q.problem = fieldProblem("name", q.name).value_or("");
    if (!q.problem.empty()) return badQuery(q.problem);
    if (now_() < closesAt(*q.day)) return notOver(*q.day);
    std::optional<DailyRound> round = store_.counted(*q.day, q.name);
    if (!round) return Response::text(404, "No round of that name was counted that day.\n");
    DailyGridPage page;
    page.day = round->day;
    page.name = round->name;
    page.grid = positionOf(*round).grid;
    page.score = scoreround(page.grid, round->seconds);
    page.seconds = round->seconds;
    page.rank = store_.standing(round->day, round->name).rank;
    return html(200, renderDailyGrid(page, links_));
}

}  // namespace quintelle::server
