#include "server/page.h"

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
