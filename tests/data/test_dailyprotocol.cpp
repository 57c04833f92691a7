// The Daily Deal's messages: every message reads back as written, forms are
// read one way only, and the days of the protocol are the calendar's.
#include <gtest/gtest.h>

#include "data/dailyprotocol.h"

namespace quintelle::daily {
namespace {

Reply readBack(const std::string& text) {
    auto parsed = parseReply(text);
    EXPECT_TRUE(std::holds_alternative<Reply>(parsed)) << text << ": " << std::get<1>(parsed);
    return std::get<Reply>(parsed);
}

TEST(DailyProtocol, EveryMessageReadsBackAsWritten) {
    const std::string session(32, 'c');
    Deal deal{"2026-03-05", session, 26, 52, false, 91, {}};
    deal.grid[24] = 13;
    Result result{"2026-03-05", session, {}, {}, 120, 31, 35, 155, false, 3, 40, 131, std::nullopt};
    result.grid.fill(7);
    result.lines = {100, 0, 2, 5, 10, 15, 20, 25, 50, 75};
    Result ranked = result;
    ranked.ranked = true;
    ranked.counted.reset();
    ranked.par = 138;
    const Failure failure{"out-of-turn", "Placement 6 is next: 100% & more = \xC3\xA9"};

    auto deal2 = std::get<Deal>(readBack(format(deal)));
    EXPECT_EQ(std::tie(deal2.day, deal2.session, deal2.move, deal2.card, deal2.canReplace,
                       deal2.seconds, deal2.grid),
              std::tie(deal.day, deal.session, deal.move, deal.card, deal.canReplace, deal.seconds,
                       deal.grid));
    for (const Result& r : {result, ranked}) {
        auto back = std::get<Result>(readBack(format(r)));
        EXPECT_EQ(std::tie(back.grid, back.lines, back.points, back.seconds, back.bonus, back.score,
                           back.ranked, back.rank, back.players, back.counted, back.par),
                  std::tie(r.grid, r.lines, r.points, r.seconds, r.bonus, r.score, r.ranked, r.rank,
                           r.players, r.counted, r.par));
    }
    EXPECT_EQ(std::get<Failure>(readBack(format(failure))).message, failure.message);
    EXPECT_EQ(std::get<Open>(parseOpen(format(Open{"Tom & Jerry=1", ""}))).name, "Tom & Jerry=1");
    EXPECT_EQ(std::get<Open>(parseOpen(format(Open{"", session}))).session, session);
    auto place = std::get<Place>(parsePlace(format(Place{session, 7, 55})));
    EXPECT_EQ(std::tuple(place.session, place.move, place.cell), std::tuple(session, 7, 55));
    // A later server may add fields; a client reads on.
    EXPECT_EQ(std::get<Deal>(readBack(format(deal) + "&hint=1")).card, 52);
}

TEST(DailyProtocol, FormsAreReadOneWayOnly) {
    struct Row {
        std::string text;
        std::string refusal;  // empty: read, as field a holding value
        std::string value = "";
    };
    const Row rows[] = {
        {"a=x+y%26%3d%C3%A9", "", "x y&=\xC3\xA9"},
        {"a=", "", ""},
        {"a=1&a=1", "a is given twice"},
        {"A=1", "name in lower-case"},
        {"a", "name in lower-case"},
        {"a=1&", "name in lower-case"},
        {"a=%4", "not followed by two hex"},
        {"a=%zz", "not followed by two hex"},
        {"a=" + std::string(4095, 'x'), "longer than 4096"},
        {std::string("b=1&c=1&d=1&e=1&f=1&g=1&h=1&i=1&j=1&k=1&l=1&m=1&n=1&o=1&p=1&q=1") +
             "&r=1&s=1&t=1&u=1&v=1&w=1&x=1&y=1&z=1",
         "more than 24 fields"},
    };
    for (const Row& row : rows) {
        auto parsed = parseForm(row.text);
        if (row.refusal.empty()) {
            ASSERT_TRUE(std::holds_alternative<Form>(parsed)) << row.text;
            EXPECT_EQ(*std::get<Form>(parsed).find("a"), row.value);
        } else {
            ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << row.text;
            EXPECT_NE(std::get<std::string>(parsed).find(row.refusal), std::string::npos)
                << row.text << ": " << std::get<std::string>(parsed);
        }
    }
    const std::string s = "session=" + std::string(32, 'f');
    for (const std::string& refused :
         {s + "&move=6&cell=15&x=1", s + "&move=6&cell=50", s + "&move=+6&cell=15",
          "session=" + std::string(31, 'f') + "&move=6&cell=15", s + "&move=6&cell=015"}) {
        EXPECT_TRUE(std::holds_alternative<std::string>(parsePlace(refused))) << refused;
    }
    EXPECT_TRUE(std::holds_alternative<std::string>(
        parseReply("state=deal&day=x&session=" + std::string(32, 'f') +
                   "&move=1&card=53&replace=1&seconds=0&grid=0")));
}

TEST(DailyProtocol, DaysAreUtcCalendarDays) {
    const std::pair<std::string, int> days[] = {
        {"1970-01-01", 0}, {"2026-03-05", 20517}, {"2024-02-29", 19782}, {"2000-12-31", 11322}};
    for (const auto& [text, day] : days) {
        EXPECT_EQ(parseday(text), day) << text;
        EXPECT_EQ(daytext(day), text);
    }
    for (const char* bad : {"2026-02-29", "2026-3-05", "1969-12-31", "2026-13-01", "2026-03-5x"})
        EXPECT_FALSE(parseday(bad)) << bad;
    EXPECT_EQ(dayof(20517 * 86'400'000LL + 86'399'999), 20517);
    EXPECT_EQ(dayof(-1), -1);
}

}  // namespace
}  // namespace quintelle::daily
