#include "game/handeval.h"

#include <array>
#include <bit>

#include "game/PokerHand.h"

namespace quintelle {
namespace {

// Every answer below is asked of classifyhand once, at first use, so the two
// classifiers cannot drift apart: five distinct ranks are looked up by their
// rank mask (flush or not), and repeated ranks only depend on how many
// distinct ranks there are and whether one of them is held three or four
// times.
struct Tables {
    std::array<std::uint8_t, 8192> plain{};
    std::array<std::uint8_t, 8192> flush{};
    std::uint8_t pair = 0, twoPair = 0, trips = 0, fullHouse = 0, quads = 0;

    static int code(int r, int s) { return cardcode(static_cast<Suit>(s), r); }

    Tables() {
        for (unsigned mask = 0; mask < 8192; ++mask) {
            if (std::popcount(mask) != 5) continue;
            int r[5], k = 0;
            for (int b = 0; b < 13; ++b)
                if (mask & (1u << b)) r[k++] = b;
            flush[mask] = static_cast<std::uint8_t>(classifyhand(
                code(r[0], 0), code(r[1], 0), code(r[2], 0), code(r[3], 0), code(r[4], 0)));
            plain[mask] = static_cast<std::uint8_t>(classifyhand(
                code(r[0], 0), code(r[1], 1), code(r[2], 2), code(r[3], 3), code(r[4], 0)));
        }
        pair = static_cast<std::uint8_t>(
            classifyhand(code(0, 0), code(0, 1), code(1, 0), code(2, 0), code(3, 0)));
        twoPair = static_cast<std::uint8_t>(
            classifyhand(code(0, 0), code(0, 1), code(1, 0), code(1, 1), code(2, 0)));
        trips = static_cast<std::uint8_t>(
            classifyhand(code(0, 0), code(0, 1), code(0, 2), code(1, 0), code(2, 0)));
        fullHouse = static_cast<std::uint8_t>(
            classifyhand(code(0, 0), code(0, 1), code(0, 2), code(1, 0), code(1, 1)));
        quads = static_cast<std::uint8_t>(
            classifyhand(code(0, 0), code(0, 1), code(0, 2), code(0, 3), code(1, 0)));
    }
};

// Built at first use: a program that never searches deals never pays for it.
const Tables& tables() {
    static const Tables built;
    return built;
}

}  // namespace

int classof(const LineCards& line) {
    const Tables& t = tables();
    switch (std::popcount(line.ranks)) {
        case 5:
            return (line.oneSuit() ? t.flush : t.plain)[line.ranks];
        case 4:
            return t.pair;
        case 3:
            return line.hasCount(3) ? t.trips : t.twoPair;
        default:
            return line.hasCount(4) ? t.quads : t.fullHouse;
    }
}

int fastclass(int c1, int c2, int c3, int c4, int c5) {
    LineCards line;
    line.add(c1);
    line.add(c2);
    line.add(c3);
    line.add(c4);
    line.add(c5);
    return classof(line);
}

}  // namespace quintelle
