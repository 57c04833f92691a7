// Reading posts, escaping, links and the command line: the pure pieces.
#include <gtest/gtest.h>

#include "server/options.h"
#include "server/page.h"
#include "server/post.h"

namespace quintelle::server {
namespace {

TEST(Post, ReadsTheQueryByItsLayout) {
    struct Case {
        std::string target, name, date;
        std::int32_t score;
    };
    const Case cases[] = {
        {"/c?name=Ann&date=3/5/26&score=120", "Ann", "3/5/26", 120},
        {"/c?name=A&B&date=1/1/09&score=0", "A&B", "1/1/09", 0},
        {"/c?name=a=1&date=x&date=2&score=-3", "a=1&date=x", "2", -3},
        {"/c?name=n&date=d&score=1&score=2", "n", "d&score=1", 2},
        {"/c?name=%41%6e%6E&date=1%2F2%2F03&score=%35", "Ann", "1/2/03", 5},
        {"/c?name=50%&date=%zz&score=7", "50%", "%zz", 7},
        {"/c?name=a+b&date=d&score=1", "a+b", "d", 1},
    };
    for (const Case& c : cases) {
        auto parsed = parsePost(c.target);
        ASSERT_TRUE(std::holds_alternative<ScorePost>(parsed))
            << c.target << ": " << std::get<std::string>(parsed);
        const ScorePost& p = std::get<ScorePost>(parsed);
        EXPECT_EQ(p.name, c.name) << c.target;
        EXPECT_EQ(p.date, c.date) << c.target;
        EXPECT_EQ(p.score, c.score) << c.target;
    }
}

TEST(Page, EscapesMarkupAndKeepsLinksOnPlainHosts) {
    EXPECT_EQ(htmlEscape(R"(<a href="x">&'</a>)"),
              "&lt;a href=&quot;x&quot;&gt;&amp;&#39;&lt;/a&gt;");
    struct Case {
        std::string host, home;
    };
    const Case cases[] = {
        {"scores.example:8080", "http://scores.example:8080/"},
        {"[::1]:80", "http://[::1]:80/"},
        {"", "/"},
        {"evil\"><script>", "/"},
        {"a b", "/"},
    };
    for (const Case& c : cases) EXPECT_EQ(linksFor(c.host).home, c.home) << c.host;
}

TEST(Options, ReadsEveryOption) {
    auto parsed =
        parseOptions({"--listen", "[::1]:8080", "--db", "postgresql://u@/d", "--files", "/srv/q",
                      "--version-text", "1.1.0", "--top", "20", "--posts-per-minute", "0"});
    ASSERT_TRUE(std::holds_alternative<ServerOptions>(parsed));
    const ServerOptions& o = std::get<ServerOptions>(parsed);
    EXPECT_EQ(o.host, "::1");
    EXPECT_EQ(o.port, 8080);
    EXPECT_EQ(o.db, "postgresql://u@/d");
    EXPECT_EQ(o.service.files, "/srv/q");
    EXPECT_EQ(o.service.versionText, "1.1.0");
    EXPECT_EQ(o.service.top, 20);
    EXPECT_EQ(o.service.postsPerMinute, 0);

    for (std::vector<std::string> bad :
         std::vector<std::vector<std::string>>{{"--listen", "::1:80"},
                                               {"--listen", "host:65536"},
                                               {"--listen", "host:-1"},
                                               {"--top", "10001"},
                                               {"--top", "ten"},
                                               {"--posts-per-minute", "-1"}}) {
        auto result = parseOptions(bad);
        ASSERT_TRUE(std::holds_alternative<EarlyExit>(result)) << bad[1];
        EXPECT_EQ(std::get<EarlyExit>(result).status, 2) << bad[1];
    }
    auto all = std::get<ServerOptions>(parseOptions({"--listen", ":8080"}));
    EXPECT_EQ(all.host, "0.0.0.0");
}

}  // namespace
}  // namespace quintelle::server
