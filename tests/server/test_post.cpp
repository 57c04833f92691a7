// Reading posts, escaping, links, client addresses and the command line: the
// pure pieces.
#include <gtest/gtest.h>

#include "server/http.h"
#include "server/options.h"
#include "server/page.h"
#include "server/post.h"

namespace quintelle::server {
namespace {

TEST(Post, HasOneReadingOrNone) {
    struct Case {
        std::string query, name, date;
        std::int32_t score;
        std::string refusal;  // empty: accepted
    };
    const Case cases[] = {
        {"name=Ann&date=3/5/26&score=120", "Ann", "3/5/26", 120, ""},
        {"name=A&B&date=1/1/09&score=0", "A&B", "1/1/09", 0, ""},
        {"name=a=1&b=2&date=x&score=-3", "a=1&b=2", "x", -3, ""},
        {"name=%41%6e%6E&date=1%2F2%2F03&score=%35", "Ann", "1/2/03", 5, ""},
        {"name=50%&date=%zz&score=7", "50%", "%zz", 7, ""},
        {"name=a+b&date=d&score=1", "a+b", "d", 1, ""},
        // An escaped marker is part of a value, not a second field.
        {"name=x%26date%3D1&date=d&score=1", "x&date=1", "d", 1, ""},
        // One normal form: a decomposed name is stored composed.
        {"name=Zoe%CC%88&date=d&score=1", "Zo\xC3\xAB", "d", 1, ""},
        {"name=%D7%A9%E2%80%8F&date=d&score=1", "\xD7\xA9\xE2\x80\x8F", "d", 1, ""},
        {"name=n&date=d&score=1&score=2", "", "", 0, "given twice"},
        {"name=a&date=x&date=2&score=-3", "", "", 0, "given twice"},
        {"name=a&name=b&date=x&score=3", "", "", 0, "given twice"},
        {"name=%ff%fe&date=d&score=1", "", "", 0, "name is not valid UTF-8"},
        {"name=%C0%80&date=d&score=1", "", "", 0, "not valid UTF-8"},
        {"name=%ED%A0%80&date=d&score=1", "", "", 0, "not valid UTF-8"},
        {"name=%E2%82&date=d&score=1", "", "", 0, "not valid UTF-8"},
        {"name=Ann&date=%ff&score=1", "", "", 0, "date is not valid UTF-8"},
        {"name=%E2%80%AEnnA&date=d&score=1", "", "", 0, "text-direction"},
        {"name=a%E2%81%A6b&date=d&score=1", "", "", 0, "text-direction"},
        {"name=a%C2%85b&date=d&score=1", "", "", 0, "control"},
        {"name=a%E2%80%A8b&date=d&score=1", "", "", 0, "control"},
        // The limit counts the stored bytes: 65 sent, 64 kept.
        {"name=" + std::string(62, 'a') + "e%CC%81&date=d&score=1",
         std::string(62, 'a') + "\xC3\xA9", "d", 1, ""},
    };
    for (const Case& c : cases) {
        auto parsed = parsePost("/c?" + c.query);
        if (!c.refusal.empty()) {
            ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << c.query;
            EXPECT_NE(std::get<std::string>(parsed).find(c.refusal), std::string::npos)
                << c.query << ": " << std::get<std::string>(parsed);
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<ScorePost>(parsed))
            << c.query << ": " << std::get<std::string>(parsed);
        const ScorePost& p = std::get<ScorePost>(parsed);
        EXPECT_EQ(p.name, c.name) << c.query;
        EXPECT_EQ(p.date, c.date) << c.query;
        EXPECT_EQ(p.score, c.score) << c.query;
    }
}

TEST(Page, EscapesMarkupAndLinksUnderThePublicAddress) {
    EXPECT_EQ(htmlEscape(R"(<a href="x">&'</a>)"),
              "&lt;a href=&quot;x&quot;&gt;&amp;&#39;&lt;/a&gt;");
    struct Case {
        std::string base, home, installer;
    };
    const Case cases[] = {
        {"http://scores.example:8080", "http://scores.example:8080/",
         "http://scores.example:8080/quintelle/qtlsetup.exe"},
        {"https://s.example/q/", "https://s.example/q/",
         "https://s.example/q/quintelle/qtlsetup.exe"},
        {"", "/", "/quintelle/qtlsetup.exe"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(linksUnder(c.base).home, c.home) << c.base;
        EXPECT_EQ(linksUnder(c.base).installer, c.installer) << c.base;
    }
}

TEST(ClientAddress, TakesTheForwardedAddressOnlyFromTrustedProxies) {
    const std::vector<std::string> trusted = {"127.0.0.1", "10.0.0.2"};
    struct Case {
        std::string peer, forwarded, client;
    };
    const Case cases[] = {
        {"198.51.100.4", "203.0.113.9", "198.51.100.4"},  // not a proxy: header ignored
        {"127.0.0.1", "203.0.113.9", "203.0.113.9"},
        {"127.0.0.1", "203.0.113.9, 10.0.0.2", "203.0.113.9"},  // two of our proxies
        {"127.0.0.1", "1.1.1.1, 203.0.113.9", "203.0.113.9"},   // the client's own claim ignored
        {"127.0.0.1", "", "127.0.0.1"},
        {"127.0.0.1", "unknown", "127.0.0.1"},
        {"127.0.0.1", "::ffff:198.51.100.7", "198.51.100.7"},
        {"127.0.0.1", "2001:DB8::1", "2001:db8::1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clientAddress(c.peer, c.forwarded, trusted), c.client) << c.forwarded;
    }
}

TEST(Options, ReadsEveryOption) {
    auto parsed = parseOptions({"--listen",
                                "[::1]:8080",
                                "--db",
                                "postgresql://u@/d",
                                "--files",
                                "/srv/q",
                                "--version-text",
                                "1.1.0",
                                "--top",
                                "20",
                                "--posts-per-minute",
                                "0",
                                "--public-url",
                                "https://scores.example/",
                                "--trusted-proxy",
                                "127.0.0.1",
                                "--trusted-proxy",
                                "::1",
                                "--connections-per-address",
                                "0",
                                "--request-timeout",
                                "3"});
    ASSERT_TRUE(std::holds_alternative<ServerOptions>(parsed));
    const ServerOptions& o = std::get<ServerOptions>(parsed);
    EXPECT_EQ(o.host, "::1");
    EXPECT_EQ(o.port, 8080);
    EXPECT_EQ(o.db, "postgresql://u@/d");
    EXPECT_EQ(o.service.files, "/srv/q");
    EXPECT_EQ(o.service.versionText, "1.1.0");
    EXPECT_EQ(o.service.top, 20);
    EXPECT_EQ(o.service.postsPerMinute, 0);
    EXPECT_EQ(o.service.publicUrl, "https://scores.example");
    EXPECT_EQ(o.limits.trustedProxies, (std::vector<std::string>{"127.0.0.1", "::1"}));
    EXPECT_EQ(o.limits.connectionsPerAddress, 0);
    EXPECT_EQ(o.limits.request, std::chrono::seconds(3));

    for (std::vector<std::string> bad :
         std::vector<std::vector<std::string>>{{"--listen", "::1:80"},
                                               {"--listen", "host:65536"},
                                               {"--listen", "host:-1"},
                                               {"--top", "10001"},
                                               {"--top", "ten"},
                                               {"--posts-per-minute", "-1"},
                                               {"--public-url", "ftp://scores.example"},
                                               {"--public-url", "http://"},
                                               {"--public-url", "http://a b"},
                                               {"--public-url", "http://a\"><script>"},
                                               {"--public-url", "http://a/?q=1"},
                                               {"--trusted-proxy", "proxy.example"},
                                               {"--connections-per-address", "-1"},
                                               {"--request-timeout", "0"}}) {
        auto result = parseOptions(bad);
        ASSERT_TRUE(std::holds_alternative<EarlyExit>(result)) << bad[1];
        EXPECT_EQ(std::get<EarlyExit>(result).status, 2) << bad[1];
    }
    auto all = std::get<ServerOptions>(parseOptions({"--listen", ":8080"}));
    EXPECT_EQ(all.host, "0.0.0.0");

    EXPECT_EQ(defaultPublicUrl("127.0.0.1", 80), "http://127.0.0.1");
    EXPECT_EQ(defaultPublicUrl("::1", 8080), "http://[::1]:8080");
    EXPECT_EQ(defaultPublicUrl("0.0.0.0", 80), "");
}

}  // namespace
}  // namespace quintelle::server
