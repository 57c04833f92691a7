#include "game/names.h"

#include <array>

#include "game/cards.h"

namespace quintelle {

std::string cardname(int code) {
    if (!isCard(code)) return {};
    static constexpr std::array<std::string_view, kRanks> ranks = {
        "Two",  "Three", "Four", "Five",  "Six",  "Seven", "Eight",
        "Nine", "Ten",   "Jack", "Queen", "King", "Ace"};
    static constexpr std::array<std::string_view, 4> suits = {"Clubs", "Diamonds", "Hearts",
                                                              "Spades"};
    std::string name(ranks[rankof(code)]);
    name += " of ";
    name += suits[static_cast<int>(suitof(code))];
    return name;
}

std::string_view handname(int handclass) {
    static constexpr std::array<std::string_view, 10> names = {
        "no scoring hand", "Pair",       "Two Pair",       "Three of a Kind", "Straight",
        "Flush",           "Full House", "Four of a Kind", "Straight Flush",  "Royal Flush"};
    if (handclass < 0 || handclass >= static_cast<int>(names.size())) return {};
    return names[handclass];
}

}  // namespace quintelle
