#pragma once
// The Daily Deal's resources (protocol version 1, see data/dailyprotocol.h):
// opening and carrying on sessions, placements, the revealed seed, and the
// day's list, deal and grids as pages. The expert's par of a day is worked
// out in the background from the day's first request on; closed days'
// sessions are pruned in the background too.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <stop_token>
#include <thread>
#include <utility>
#include <vector>

#include "server/dailystore.h"
#include "server/http.h"
#include "server/page.h"

namespace quintelle::server {

struct DailySettings {
    int sessionsPerHour = 20;  // new sessions per client address; 0: no limit
    // The expert's playouts per decision: about what the game's hint
    // budget of 150 ms allows on a current desktop, as a count so that every
    // server copy finds the same par.
    int parPlayouts = 15000;
    int keepDays = 400;  // days whose lists and grids are kept
    int top = 100;       // rounds on a list page
};

// Milliseconds since 1970 by the system's clock.
std::int64_t wallClockMs();

class DailyDeal {
  public:
    using Clock = std::function<std::int64_t()>;  // milliseconds since 1970

    DailyDeal(DailyStore& store, DailySettings settings, PageLinks links, Clock now);
    ~DailyDeal();  // stops the background work, abandoning a par half done
    DailyDeal(const DailyDeal&) = delete;
    DailyDeal& operator=(const DailyDeal&) = delete;

    std::vector<Route> routes();

  private:
    Response openSession(const Request& req);
    Response place(const Request& req);
    Response reveal(const Request& req);
    Response listPage(const Request& req);
    Response dealPage(const Request& req);
    Response gridPage(const Request& req);

    Response answer(const DailyRound& round);
    // Today's day number and seed; the first request of a day creates the
    // seed and starts the day's background work.
    std::pair<int, std::string> today();
    void wantPar(int day);
    void work(std::stop_token stop);

    DailyStore& store_;
    DailySettings settings_;
    PageLinks links_;
    Clock now_;

    std::mutex mutex_;
    std::condition_variable_any wake_;
    int seenDay_ = -1;
    std::string seenSeed_;
    bool pruneDue_ = false;
    std::int64_t nextPrune_ = 0;
    std::set<int> parWanted_;
    std::map<int, std::int64_t> parTried_;  // when this copy last looked for a day's par
    std::jthread worker_;                   // last: stops before the members it uses go
};

}  // namespace quintelle::server
