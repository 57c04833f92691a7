#pragma once
#include <cstdint>
#include <string_view>

namespace quintelle {

inline constexpr int kTargetStep = 150;

// Points for a hand class 0..9.
int handpoints(int handclass);

// Bonus for the seconds a round took: 0-30 -> 50, 31-60 -> 35, 61-90 -> 20, else 0.
int timebonusfor(int seconds);

// Praise line of the continue panel for a draw 0..9 (8 and 9 share a line).
std::string_view praiseline(std::uint32_t draw);

constexpr int targetfor(int totalBeforeRound) {
    return totalBeforeRound + kTargetStep;
}

}  // namespace quintelle
