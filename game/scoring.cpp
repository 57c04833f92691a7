#include "game/scoring.h"

#include <array>

namespace quintelle {

int handpoints(int handclass) {
    static constexpr std::array<int, 10> kPoints = {0, 2, 5, 10, 15, 20, 25, 50, 75, 100};
    if (handclass < 0 || handclass >= static_cast<int>(kPoints.size())) return 0;
    return kPoints[static_cast<std::size_t>(handclass)];
}

int timebonusfor(int seconds) {
    if (seconds <= 30) return 50;
    if (seconds <= 60) return 35;
    if (seconds <= 90) return 20;
    return 0;
}

std::string_view praiseline(std::uint32_t draw) {
    static constexpr std::array<std::string_view, 10> kPraise = {
        "WAY TO GO!",   "Good Job!", "Good Work!",    "Awsome!",    "Cool Dude!",
        "What a Show!", "You Rock!", "I's so Proud!", "Excellent!", "Excellent!"};
    return kPraise[draw % kPraise.size()];
}

}  // namespace quintelle
