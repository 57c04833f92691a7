#include "game/coach.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <numeric>
#include <vector>

#include "game/handeval.h"
#include "game/scoring.h"

namespace quintelle {
namespace {

// Small and fast, and private to the coach: the game's own generator must
// never be drawn by a hint.
struct Rng {
    std::uint64_t s;
    std::uint64_t next() {
        std::uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) {
        return static_cast<int>((next() >> 32) * static_cast<std::uint64_t>(n) >> 32);
    }
};

constexpr int rowOf(int cell) {
    return cell / 5;
}
constexpr int colLine(int cell) {
    return 5 + cell % 5;
}

// Rank masks that still fit inside one straight (the Ace may play low).
const std::array<bool, 8192> kStraightable = [] {
    std::array<bool, 8192> t{};
    std::array<unsigned, 10> windows{};
    windows[0] = 0x100Fu;  // Ace, Two .. Five
    for (int i = 0; i < 9; ++i) windows[i + 1] = 0x1Fu << i;
    for (unsigned m = 0; m < 8192; ++m)
        for (unsigned w : windows)
            if ((m & ~w) == 0) t[m] = true;
    return t;
}();

// What an unfinished line is likely worth in the end, in points. Only the
// differences matter: they steer the playouts and the greedy player towards
// pairs and trips in some lines and suits and runs in others.
float linevalue(const LineCards& line) {
    if (line.n == 5) return static_cast<float>(handpoints(classof(line)));
    if (line.n == 0) return 0.0f;
    const int distinct = std::popcount(line.ranks);
    if (distinct < line.n) {
        if (line.hasCount(4)) return 50.0f;
        if (line.hasCount(3)) return line.n == 3 ? 15.0f : 12.0f;
        if (line.n - distinct == 2) return 8.0f;  // two pair
        static constexpr float kPair[5] = {0, 0, 5.0f, 4.0f, 3.0f};
        return kPair[line.n];
    }
    static constexpr float kLoose[5] = {0, 0.5f, 1.0f, 0.8f, 0.4f};
    static constexpr float kSuited[5] = {0, 2.0f, 5.0f, 9.0f, 13.0f};
    static constexpr float kRun[5] = {0, 1.0f, 3.0f, 5.0f, 8.0f};
    float v = kLoose[line.n];
    if (line.oneSuit()) v += kSuited[line.n];
    if (kStraightable[line.ranks]) v += kRun[line.n];
    return v;
}

struct Board {
    std::array<int, 25> grid{};
    std::array<LineCards, 10> lines{};
    int empty = 25;
    bool canReplace = true;

    explicit Board(const Position& p) : grid(p.grid), canReplace(p.canReplace) {
        for (int i = 0; i < 25; ++i)
            if (grid[i] != 0) {
                lines[rowOf(i)].add(grid[i]);
                lines[colLine(i)].add(grid[i]);
                --empty;
            }
    }

    LineCards rebuilt(int line) const {
        LineCards l;
        for (int k = 0; k < 5; ++k) {
            const int code = line < 5 ? grid[line * 5 + k] : grid[k * 5 + line - 5];
            if (code != 0) l.add(code);
        }
        return l;
    }

    void put(int cell, int code) {
        if (grid[cell] != 0) {
            canReplace = false;
            grid[cell] = code;
            lines[rowOf(cell)] = rebuilt(rowOf(cell));
            lines[colLine(cell)] = rebuilt(colLine(cell));
            return;
        }
        grid[cell] = code;
        lines[rowOf(cell)].add(code);
        lines[colLine(cell)].add(code);
        --empty;
    }

    int points() const {
        int sum = 0;
        for (const LineCards& l : lines) sum += handpoints(classof(l));
        return sum;
    }

    // Points of a full grid if `code` covered `cell`.
    int pointsWith(int cell, int code) const {
        int sum = 0;
        for (int line : {rowOf(cell), colLine(cell)}) {
            LineCards l;
            for (int k = 0; k < 5; ++k) {
                const int at = line < 5 ? line * 5 + k : k * 5 + line - 5;
                l.add(at == cell ? code : grid[at]);
            }
            sum += handpoints(classof(l));
        }
        for (int line = 0; line < 10; ++line)
            if (line != rowOf(cell) && line != colLine(cell))
                sum += handpoints(classof(lines[line]));
        return sum;
    }

    // The playout policy and the greedy player: the empty cell whose row and
    // column gain most in likely worth; on a full grid the replacement that
    // scores best. The replacement is otherwise kept for the end.
    int policy(int code) const {
        if (empty == 0) {
            int best = 0, bestPoints = -1;
            for (int i = 0; i < 25; ++i)
                if (const int p = pointsWith(i, code); p > bestPoints) {
                    bestPoints = p;
                    best = i;
                }
            return best;
        }
        float gain[10];
        for (int l = 0; l < 10; ++l) {
            if (lines[l].n == 5) continue;
            LineCards with = lines[l];
            with.add(code);
            gain[l] = linevalue(with) - linevalue(lines[l]);
        }
        int best = -1;
        float bestGain = 0;
        for (int i = 0; i < 25; ++i) {
            if (grid[i] != 0) continue;
            const float g = gain[rowOf(i)] + gain[colLine(i)];
            if (best < 0 || g > bestGain) {
                best = i;
                bestGain = g;
            }
        }
        return best;
    }

    int playout(const int* cards, int count) {
        for (int k = 0; k < count && (empty > 0 || canReplace); ++k)
            put(policy(cards[k]), cards[k]);
        return points();
    }
};

std::vector<int> legalmoves(const Position& p) {
    std::vector<int> moves;
    if (p.offer < 1 || p.offer > 52 || p.placementsLeft < 1) return moves;
    for (int i = 0; i < 25; ++i)
        if (p.legal(i)) moves.push_back(i);
    return moves;
}

using Clock = std::chrono::steady_clock;

}  // namespace

int playround(const Deck& deck, const std::function<int(const Position&)>& player) {
    Position p = Position::start(deck[1]);
    for (int k = 1; k <= 26; ++k) p.place(player(p), k < 26 ? deck[k + 1] : 0);
    return Board(p).points();
}

std::optional<int> greedymove(const Position& position) {
    if (legalmoves(position).empty()) return std::nullopt;
    return Board(position).policy(position.offer);
}

std::optional<int> randommove(const Position& position, std::uint64_t& state) {
    const std::vector<int> moves = legalmoves(position);
    if (moves.empty()) return std::nullopt;
    Rng rng{state};
    const int pick = moves[static_cast<std::size_t>(rng.below(static_cast<int>(moves.size())))];
    state = rng.s;
    return pick;
}

std::optional<int> coachmove(const Position& position, const Budget& budget) {
    std::vector<int> moves = legalmoves(position);
    if (moves.empty()) return std::nullopt;
    if (moves.size() == 1 || position.filled() == 0)
        return moves.front();  // every first cell is alike

    const Board board(position);
    const int need = position.placementsLeft - 1;
    if (need <= 0) {  // the last card: no chance left, score every move exactly
        int best = moves.front(), bestPoints = -1;
        for (int m : moves) {
            Board b = board;
            b.put(m, position.offer);
            if (const int p = b.points(); p > bestPoints) {
                bestPoints = p;
                best = m;
            }
        }
        return best;
    }

    std::vector<int> unseen;
    for (int c = 1; c <= 52; ++c) {
        const bool seen = (position.dealt >> c) & 1u;
        const bool onBoard =
            std::find(position.grid.begin(), position.grid.end(), c) != position.grid.end();
        if (!seen && !onBoard && c != position.offer) unseen.push_back(c);
    }
    const int drawn = std::min<int>(need, static_cast<int>(unseen.size()));

    // Sequential halving: the budget is split into equal phases; every
    // surviving move is played out on the same random deals (so moves are
    // compared on equal luck) and the better half goes on to the next phase.
    struct Arm {
        int cell;
        Board after;
        double sum = 0;
        long n = 0;
        double mean() const { return n ? sum / static_cast<double>(n) : 0; }
    };
    std::vector<Arm> arms;
    for (int m : moves) {
        Board b = board;
        b.put(m, position.offer);
        arms.push_back({m, b});
    }
    int phases = 0;
    for (std::size_t k = arms.size(); k > 1; k = (k + 1) / 2) ++phases;

    Rng rng{budget.seed};
    const auto started = Clock::now();
    const bool timed = budget.playouts <= 0;
    const auto total = std::chrono::milliseconds(std::max(1, budget.milliseconds));
    for (int phase = 0; phase < phases; ++phase) {
        const auto deadline = started + total * (phase + 1) / phases;
        const long deals =
            timed ? 0
                  : std::max<long>(1, budget.playouts / (phases * static_cast<long>(arms.size())));
        for (long deal = 0; timed ? (deal == 0 || Clock::now() < deadline) : deal < deals; ++deal) {
            for (int k = 0; k < drawn; ++k)  // a fresh partial shuffle of the unseen cards
                std::swap(unseen[k], unseen[k + rng.below(static_cast<int>(unseen.size()) - k)]);
            for (Arm& arm : arms) {
                Board b = arm.after;
                arm.sum += b.playout(unseen.data(), drawn);
                ++arm.n;
            }
        }
        std::stable_sort(arms.begin(), arms.end(),
                         [](const Arm& a, const Arm& b) { return a.mean() > b.mean(); });
        arms.erase(arms.begin() + static_cast<long>((arms.size() + 1) / 2), arms.end());
    }
    return arms.front().cell;
}

}  // namespace quintelle
