#pragma once
// The Daily Deal's protocol, version 1, as the server and the game speak it.
// Every request body, query and answer is one flat form
// (application/x-www-form-urlencoded, UTF-8): a handful of short fields, so
// neither side needs more than this small parser, whose input is bounded and
// has no nesting to go deep. Cards are card codes 1..52 (clubs, diamonds,
// hearts, spades; Two .. Ace within each), cells the board's addresses
// row·10+column (11..55), grids 25 codes row by row (0 an empty cell).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace quintelle::daily {

inline constexpr std::string_view kFormType = "application/x-www-form-urlencoded";
inline constexpr std::string_view kSessionPath = "/daily/1/session";
inline constexpr std::string_view kPlacePath = "/daily/1/place";
inline constexpr std::string_view kRevealPath = "/daily/1/reveal";
inline constexpr std::string_view kListPath = "/daily/1/list";
inline constexpr std::string_view kDealPath = "/daily/1/deal";
inline constexpr std::string_view kGridPath = "/daily/1/grid";

inline constexpr std::size_t kMaxFormBytes = 4096;
inline constexpr std::size_t kMaxFields = 24;
inline constexpr int kCards = 26;  // placements in a round

using Grid = std::array<int, 25>;

// Days are UTC calendar days, counted from 1970-01-01 (day 0).
int dayof(std::int64_t unixMs);
std::string daytext(int day);  // "2026-03-05"
std::optional<int> parseday(std::string_view text);

// One form: named fields in order, no name twice.
class Form {
  public:
    void add(std::string_view name, std::string_view value);
    void add(std::string_view name, std::int64_t value);
    const std::string* find(std::string_view name) const;
    const std::vector<std::pair<std::string, std::string>>& fields() const { return fields_; }
    // Percent-encoded; a space becomes "+".
    std::string text() const;

  private:
    std::vector<std::pair<std::string, std::string>> fields_;
};

// The form written in text, or why it is none: at most kMaxFormBytes bytes
// and kMaxFields fields, names of lower-case letters, none given twice, every
// "%" followed by two hex digits.
std::variant<Form, std::string> parseForm(std::string_view text);

// Requests. Opening names the player for a new session, or names a session
// of today's to carry on (resume); never both.
struct Open {
    std::string name;
    std::string session;
};
// Lays the card on offer at cell as the session's placement number move.
struct Place {
    std::string session;
    int move = 0;
    int cell = 0;
};

// Answers. A card is on offer, awaiting placement number move.
struct Deal {
    std::string day, session;
    int move = 1;
    int card = 0;
    bool canReplace = true;
    int seconds = 0;  // since the round's first card, by the server's clock
    Grid grid{};
};
// The round is over, scored by the server.
struct Result {
    std::string day, session;
    Grid grid{};
    std::array<int, 10> lines{};  // rows 1..5, then columns 1..5
    int points = 0, seconds = 0, bonus = 0, score = 0;
    bool ranked = false;         // this round is the one the name's place stands on
    int rank = 0;                // the place of the name's counted round
    int players = 0;             // counted rounds of the day
    std::optional<int> counted;  // a practice round: the score that counts
    std::optional<int> par;      // the expert's score, once known
};
struct Failure {
    std::string error;  // malformed, unknown-session, out-of-turn, illegal-cell,
                        // finished, day-over, too-many, unavailable
    std::string message;
};
using Reply = std::variant<Deal, Result, Failure>;

std::string format(const Open& m);
std::string format(const Place& m);
std::string format(const Deal& m);
std::string format(const Result& m);
std::string format(const Failure& m);

// Requests are read strictly (an unknown field is refused); answers leniently,
// so a server may add fields within version 1.
std::variant<Open, std::string> parseOpen(std::string_view body);
std::variant<Place, std::string> parsePlace(std::string_view body);
std::variant<Reply, std::string> parseReply(std::string_view body);

}  // namespace quintelle::daily
