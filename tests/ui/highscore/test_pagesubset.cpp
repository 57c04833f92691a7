// The subset of a page the viewer lays out: what is kept, what is dropped,
// and where each limit cuts.
#include <gtest/gtest.h>

#include <string>

#include "ui/highscore/pagesubset.h"

using quintelle::ui::PageLimits;
using quintelle::ui::pageSubset;

namespace {

std::string repeat(const std::string& piece, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += piece;
    return out;
}

int count(const std::string& text, const std::string& piece) {
    int n = 0;
    for (std::size_t at = 0; (at = text.find(piece, at)) != std::string::npos; at += piece.size())
        ++n;
    return n;
}

}  // namespace

TEST(PageSubset, KeepsTheRichTextSubsetAndCutsAtEachLimit) {
    PageLimits limits;
    limits.maxDepth = 8;
    limits.maxTableDepth = 2;
    limits.maxCells = 6;
    limits.maxPictures = 2;
    limits.maxText = 100;
    const struct Row {
        const char* name;
        std::string page;
        std::vector<std::string> present;  // in the subset
        std::vector<std::string> absent;
        bool shortened;
    } rows[] = {
        {"scripts, styles and forms go with their content",
         "<head><title>T</title><style>p{}</style></head><script>alert(1)</script>"
         "<form><input value=v><textarea>t</textarea></form><p>kept</p>",
         {"<p>kept</p>"},
         {"alert", "script", "style", "T<", "input", "textarea", ">t<"},
         false},
        {"attributes are checked one by one",
         "<table><tr><td bgcolor=\"#ff0000\" onclick=\"x()\" colspan=\"999\" align=\"center\">c"
         "</td></tr></table><font color=\"red;x\" face=\"Arial\">f</font>",
         {"bgcolor=\"#ff0000\"", "align=\"center\"", "face=\"Arial\""},
         {"onclick", "colspan", "red;x"},
         false},
        {"text stays text",
         "<p>&lt;b&gt; &amp; \"q\"</p>",
         {"&lt;b&gt; &amp; &quot;q&quot;"},
         {"<b>"},
         false},
        {"pictures: allowed ones, each once, two at most",
         "<img src=\"/a.png\" width=\"5\"><img src=\"/a.png\"><img src=\"file:///x\">"
         "<img src=\"/b.png\"><img src=\"/c.png\">",
         {"<img src=\"picture:0\" width=\"5\">", "<img src=\"picture:0\">",
          "<img src=\"picture:1\">"},
         {"picture:2", "file:"},
         true},
        {"tables inside tables flatten past the limit",
         repeat("<table><tr><td>", 4) + "in" + repeat("</td></tr></table>", 4),
         {"in"},
         {},
         false},
        {"cells past the page's share are left out",
         "<table>" + repeat("<tr><td>x</td><td>y</td></tr>", 5) + "</table>",
         {},
         {},
         true},
        {"nesting past the limit keeps the text",
         repeat("<div>", 50) + "deep",
         {"deep"},
         {},
         false},
        {"text past the limit is cut", "<p>" + std::string(150, 'w') + "</p>", {}, {"www"}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto page = pageSubset(
            row.page, [](std::string_view src) { return src.starts_with("/"); }, limits);
        for (const std::string& piece : row.present)
            EXPECT_NE(page.html.find(piece), std::string::npos) << piece << " in " << page.html;
        for (const std::string& piece : row.absent)
            EXPECT_EQ(page.html.find(piece), std::string::npos) << piece << " in " << page.html;
        EXPECT_EQ(page.shortened, row.shortened) << page.html;
        EXPECT_LE(count(page.html, "<table"), limits.maxTableDepth);
        EXPECT_LE(count(page.html, "<td"), limits.maxCells);
        EXPECT_LE(count(page.html, "<div"), limits.maxDepth);
    }
}
