#pragma once
// The service's HTML: the high-score page the game shows in its viewer and
// the home page a browser opens. Every stored text is escaped on the way out.
#include <string>
#include <string_view>
#include <vector>

#include "game/dailydeal.h"
#include "server/dailystore.h"
#include "server/scorestore.h"

namespace quintelle::server {

std::string htmlEscape(std::string_view text);

// Where the pages point. The game's viewer is given the page without its
// address, so links and the logo are absolute whenever the service knows its
// public address.
struct PageLinks {
    std::string home = "/";
    std::string logo = "/quintelle/logo.jpg";
    std::string installer = "/quintelle/qtlsetup.exe";
    std::string daily = "/daily/1/";  // the Daily Deal's pages, by appending their names
};

// Links under publicUrl ("http://host[:port][/path]"; "" gives relative links).
PageLinks linksUnder(std::string_view publicUrl);

std::string renderScorePage(const std::vector<RankedScore>& list, const PageLinks& links);

std::string renderHomePage(const std::vector<RankedScore>& list, const PageLinks& links,
                           std::string_view version, bool installerAvailable);

// The Daily Deal's pages, for the game's viewer: headings, tables and links.
struct DailyListPage {
    int day = 0;
    bool closed = false;  // its deal and grids are shown
    std::optional<int> par;
    int players = 0;
    std::vector<ListedRound> rounds;
    bool previous = false, next = false;  // the neighbouring days have lists
};
std::string renderDailyList(const DailyListPage& page, const PageLinks& links);

std::string renderDailyDeal(int day, const Deck& deck, std::string_view seed,
                            std::optional<int> par, const PageLinks& links);

struct DailyGridPage {
    int day = 0;
    std::string name;
    std::array<int, 25> grid{};
    RoundScore score;
    int seconds = 0;
    int rank = 0;
};
std::string renderDailyGrid(const DailyGridPage& page, const PageLinks& links);

// "1:05" for 65 seconds, as the game's clock shows time.
std::string clockText(int seconds);

}  // namespace quintelle::server
