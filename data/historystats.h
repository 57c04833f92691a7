#pragma once
// The figures the statistics window shows, drawn from a stretch of the
// history, and the history as CSV.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "data/history.h"

namespace quintelle {

struct HistoryFigures {
    int games = 0;
    int rounds = 0;
    int cleared = 0;
    double clearRate = 0;                  // per cent of rounds
    std::uint32_t bestGame = 0;            // 0 when there is none
    int bestGamePoints = 0;                // rounds' points and bonuses together
    std::optional<std::size_t> bestRound;  // index into the stretch
    double averagePoints = 0;
    int currentStreak = 0;  // cleared rounds in a row, ending with the last
    int longestStreak = 0;
    double secondsPerRound = 0;
    double secondsPerCard = 0;
    long long bonus = 0;
    std::array<int, 10> hands{};  // lines made of each hand class
    int hinted = 0;               // rounds in which a hint was asked for
    int expertRounds = 0;         // rounds the coach has played again
    long long playerPoints = 0;   // over those rounds
    long long expertPoints = 0;
};

HistoryFigures figuresOf(std::span<const RoundRecord> rounds);

// The rounds from `from` (seconds since 1970) on; the history is oldest first.
std::span<const RoundRecord> roundsSince(std::span<const RoundRecord> rounds, std::int64_t from);

// One round a line under a header line; cards as codes 1..52 and cells as the
// board's addresses 11..55, in the order they were laid.
std::string historyCsv(std::span<const RoundRecord> rounds);

}  // namespace quintelle
