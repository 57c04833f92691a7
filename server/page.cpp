#include "server/page.h"

#include "data/dailyprotocol.h"
#include "game/cards.h"
#include "server/logo.h"

namespace quintelle::server {
namespace {

// The game's viewer draws the page on the wood colour with light text and
// green links; the same colours keep the home page recognisably ours.
constexpr std::string_view kHead =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n"
    "<meta name=\"viewport\" content=\"width=device-width\">\n<title>";
constexpr std::string_view kStyle =
    "</title>\n<style>\n"
    "body{background:#A66733;color:#FAF4EB;font-family:'Times New Roman',serif;margin:12px}\n"
    "a:link{color:#008000}a:visited{color:#FFFFFF}a:hover{color:#008000}\n"
    "table.scores{margin:0 auto;border-collapse:collapse}\n"
    "table.scores th,table.scores td{padding:2px 10px}\n"
    "table.scores th{color:#E2E4B6;font-family:Arial,sans-serif;border-bottom:1px solid #FAF4EB}\n"
    "</style></head>\n"
    "<body bgcolor=\"#A66733\" text=\"#FAF4EB\" link=\"#008000\" vlink=\"#FFFFFF\">\n";

void appendLogo(std::string& out, const PageLinks& links) {
    out += "<p align=\"center\"><a href=\"" + htmlEscape(links.home) + "\"><img src=\"" +
           htmlEscape(links.logo) + "\" width=\"" + std::to_string(kLogoWidth) + "\" height=\"" +
           std::to_string(kLogoHeight) + "\" border=\"0\" alt=\"Quintelle\"></a></p>\n";
}

void appendTable(std::string& out, const std::vector<RankedScore>& list) {
    if (list.empty()) {
        out += "<p align=\"center\">No scores yet. Finish a game and post yours!</p>\n";
        return;
    }
    out +=
        "<table class=\"scores\" align=\"center\" cellpadding=\"3\" cellspacing=\"0\">\n"
        "<tr><th align=\"right\">Rank</th><th align=\"left\">Name</th>"
        "<th align=\"right\">Score</th><th align=\"left\">Date</th></tr>\n";
    int rank = 0;
    for (const RankedScore& s : list) {
        out += "<tr><td align=\"right\">" + std::to_string(++rank) + "</td><td>" +
               htmlEscape(s.name) + "</td><td align=\"right\">" + std::to_string(s.score) +
               "</td><td>" + htmlEscape(s.date) + "</td></tr>\n";
    }
    out += "</table>\n";
}

std::string link(std::string_view href, std::string_view text) {
    return "<a href=\"" + htmlEscape(href) + "\">" + htmlEscape(text) + "</a>";
}

std::string dailyLink(const PageLinks& links, std::string_view page, int day,
                      std::string_view name = {}) {
    daily::Form query;
    query.add("day", daily::daytext(day));
    if (!name.empty()) query.add("name", name);
    return links.daily + std::string(page) + "?" + query.text();
}

// "Q♥": rank and suit, short enough for a row of thirteen.
std::string cardText(int code) {
    static constexpr std::string_view kRanks[] = {"2", "3",  "4", "5", "6", "7", "8",
                                                  "9", "10", "J", "Q", "K", "A"};
    static constexpr std::string_view kSuits[] = {"\u2663", "\u2666", "\u2665", "\u2660"};
    if (!isCard(code)) return "";
    return std::string(kRanks[rankof(code)]) + std::string(kSuits[static_cast<int>(suitof(code))]);
}

void beginPage(std::string& out, std::string_view title, const PageLinks& links) {
    out += kHead;
    out += htmlEscape(title);
    out += kStyle;
    appendLogo(out, links);
    out += "<h2 align=\"center\">" + htmlEscape(title) + "</h2>\n";
}

std::string parText(std::optional<int> par) {
    return par ? "Expert's par: " + std::to_string(*par) : "The expert is still playing this deal.";
}

}  // namespace

std::string htmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

PageLinks linksUnder(std::string_view publicUrl) {
    while (publicUrl.ends_with('/')) publicUrl.remove_suffix(1);
    PageLinks links;
    std::string base(publicUrl);
    links.home = base + links.home;
    links.logo = base + links.logo;
    links.installer = base + links.installer;
    links.daily = base + links.daily;
    return links;
}

std::string renderScorePage(const std::vector<RankedScore>& list, const PageLinks& links) {
    std::string out;
    out += kHead;
    out += "Quintelle High Scores";
    out += kStyle;
    appendLogo(out, links);
    out += "<h2 align=\"center\">High Scores</h2>\n";
    appendTable(out, list);
    out += "<p align=\"center\"><a href=\"" + htmlEscape(links.home) +
           "\">Quintelle home page</a></p>\n</body></html>\n";
    return out;
}

std::string clockText(int seconds) {
    std::string rest = std::to_string(seconds % 60);
    return std::to_string(seconds / 60) + (rest.size() < 2 ? ":0" : ":") + rest;
}

std::string renderDailyList(const DailyListPage& page, const PageLinks& links) {
    std::string out;
    beginPage(out, "Daily Deal of " + daily::daytext(page.day), links);
    out += "<p align=\"center\">" + htmlEscape(parText(page.par)) + "</p>\n";
    if (page.rounds.empty()) {
        out += "<p align=\"center\">Nobody has finished this deal yet.</p>\n";
    } else {
        out +=
            "<table class=\"scores\" align=\"center\" cellpadding=\"3\" cellspacing=\"0\">\n"
            "<tr><th align=\"right\">Rank</th><th align=\"left\">Name</th>"
            "<th align=\"right\">Score</th><th align=\"right\">Time</th></tr>\n";
        int rank = 0;
        for (const ListedRound& r : page.rounds) {
            std::string name = page.closed
                                   ? link(dailyLink(links, "grid", page.day, r.name), r.name)
                                   : htmlEscape(r.name);
            out += "<tr><td align=\"right\">" + std::to_string(++rank) + "</td><td>" + name +
                   "</td><td align=\"right\">" + std::to_string(r.score) +
                   "</td><td align=\"right\">" + clockText(r.seconds) + "</td></tr>\n";
        }
        out += "</table>\n";
    }
    out += "<p align=\"center\">" + std::to_string(page.players) +
           (page.players == 1 ? " player" : " players");
    if (!page.closed) out += ". The cards and every grid are shown once the day is over";
    out += ".</p>\n";
    std::vector<std::string> ways;
    if (page.previous) ways.push_back(link(dailyLink(links, "list", page.day - 1), "Previous day"));
    if (page.closed) ways.push_back(link(dailyLink(links, "deal", page.day), "This day's deal"));
    if (page.next) ways.push_back(link(dailyLink(links, "list", page.day + 1), "Next day"));
    for (std::size_t i = 0; i < ways.size(); ++i) {
        out += (i ? " &middot; " : "<p align=\"center\">") + ways[i];
    }
    out += ways.empty() ? "</body></html>\n" : "</p>\n</body></html>\n";
    return out;
}

std::string renderDailyDeal(int day, const Deck& deck, std::string_view seed,
                            std::optional<int> par, const PageLinks& links) {
    std::string out;
    beginPage(out, "The deal of " + daily::daytext(day), links);
    // Nine cards a row, each under its number, fit the viewer's width.
    out += "<table class=\"scores\" align=\"center\" cellpadding=\"3\" cellspacing=\"0\">\n";
    for (int first = 1; first <= daily::kCards; first += 9) {
        std::string numbers = "<tr>", cards = "<tr>";
        for (int k = first; k < first + 9 && k <= daily::kCards; ++k) {
            numbers += "<th align=\"center\">" + std::to_string(k) + "</th>";
            cards +=
                "<td align=\"center\">" + cardText(deck[static_cast<std::size_t>(k)]) + "</td>";
        }
        out += numbers + "</tr>\n" + cards + "</tr>\n";
    }
    out += "</table>\n<p align=\"center\">" + htmlEscape(parText(par)) + "</p>\n";
    // In groups, so the 64 digits can break across lines.
    std::string groups;
    for (std::size_t at = 0; at < seed.size(); at += 16) {
        groups += (at ? " " : "") + std::string(seed.substr(at, 16));
    }
    out += "<p align=\"center\">Seed: " + htmlEscape(groups) + "</p>\n";
    out += "<p align=\"center\">" + link(dailyLink(links, "list", day), "The day's list") +
           "</p>\n</body></html>\n";
    return out;
}

std::string renderDailyGrid(const DailyGridPage& page, const PageLinks& links) {
    std::string out;
    beginPage(out, page.name + " on " + daily::daytext(page.day), links);
    out += "<table class=\"scores\" align=\"center\" cellpadding=\"3\" cellspacing=\"0\">\n";
    for (int row = 0; row < 5; ++row) {
        out += "<tr>";
        for (int column = 0; column < 5; ++column) {
            out += "<td align=\"center\">" +
                   cardText(page.grid[static_cast<std::size_t>(row * 5 + column)]) + "</td>";
        }
        out += "<td align=\"right\"><b>" +
               std::to_string(page.score.lines[static_cast<std::size_t>(row)]) + "</b></td></tr>\n";
    }
    out += "<tr>";
    for (int column = 0; column < 5; ++column) {
        out += "<td align=\"center\"><b>" +
               std::to_string(page.score.lines[static_cast<std::size_t>(5 + column)]) + "</b></td>";
    }
    out += "<td></td></tr>\n</table>\n";
    out += "<p align=\"center\">" + std::to_string(page.score.points) + " points, time " +
           clockText(page.seconds) + " for a bonus of " + std::to_string(page.score.bonus) +
           ": score " + std::to_string(page.score.score) + ", rank " + std::to_string(page.rank) +
           ".</p>\n";
    out += "<p align=\"center\">" + link(dailyLink(links, "list", page.day), "The day's list") +
           " &middot; " + link(dailyLink(links, "deal", page.day), "The deal") +
           "</p>\n</body></html>\n";
    return out;
}

std::string renderHomePage(const std::vector<RankedScore>& list, const PageLinks& links,
                           std::string_view version, bool installerAvailable) {
    std::string out;
    out += kHead;
    out += "Quintelle";
    out += kStyle;
    appendLogo(out, links);
    out +=
        "<p align=\"center\">Quintelle is a card solitaire: lay 26 cards on a five by five "
        "grid, score every row and column as a poker hand, and beat each round's target.</p>\n";
    if (installerAvailable) {
        out += "<p align=\"center\"><a href=\"" + htmlEscape(links.installer) +
               "\">Download Quintelle " + htmlEscape(version) + "</a></p>\n";
    }
    out += "<h2 align=\"center\">High Scores</h2>\n";
    appendTable(out, list);
    out += "</body></html>\n";
    return out;
}

}  // namespace quintelle::server
