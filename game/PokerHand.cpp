#include "game/PokerHand.h"

#include "game/cards.h"

namespace quintelle {
namespace {

struct Hand {
    int card[5];        // descending by code
    int keys[13] = {};  // how many cards share each rank

    // Only card codes count; anything else (which the game never passes)
    // must not index outside the table.
    void countKeys() {
        for (int c : card)
            if (isCard(c)) ++keys[rankof(c)];
    }
    int count(int key) const { return key >= 0 && key < 13 ? keys[key] : 0; }

    // Key of the first card whose key differs from all of `avoid`; key of
    // card 5 when there is none.
    int firstKeyOtherThan(int a) const {
        for (int c : card)
            if (rankof(c) != a) return rankof(c);
        return rankof(card[4]);
    }
    int firstKeyOtherThan(int a, int b) const {
        for (int c : card)
            if (rankof(c) != a && rankof(c) != b) return rankof(c);
        return rankof(card[4]);
    }
};

bool isFlush(const Hand& h) {
    int suits[4] = {0, 0, 0, 0};
    for (int c : h.card)
        if (isCard(c)) ++suits[static_cast<int>(suitof(c))];
    for (int n : suits)
        if (n == 5) return true;
    return false;
}

bool isStraight(const Hand& h) {
    int s[5];
    for (int i = 0; i < 5; ++i) s[i] = rankof(h.card[i]);
    for (int i = 1; i < 5; ++i)  // insertion sort, ascending
        for (int j = i; j > 0 && s[j - 1] > s[j]; --j) {
            const int t = s[j];
            s[j] = s[j - 1];
            s[j - 1] = t;
        }
    const bool lowFour = s[1] == s[0] + 1 && s[2] == s[1] + 1 && s[3] == s[2] + 1;
    if (lowFour && s[4] == s[3] + 1) return true;
    return lowFour && s[0] == 0 && s[4] == kAce;  // Ace played low: Two to Five and the Ace
}

bool hasCode(const Hand& h, int a, int b, int c, int d) {
    for (int x : h.card)
        if (x == a || x == b || x == c || x == d) return true;
    return false;
}

bool anyCountAtLeast(const Hand& h, int n) {
    for (int c : h.card)
        if (h.count(rankof(c)) >= n) return true;
    return false;
}

}  // namespace

int classifyhand(int c1, int c2, int c3, int c4, int c5) {
    Hand h{{c1, c2, c3, c4, c5}};
    for (int pass = 0; pass < 5; ++pass)
        for (int i = 0; i < 4; ++i)
            if (h.card[i] < h.card[i + 1]) {
                const int t = h.card[i];
                h.card[i] = h.card[i + 1];
                h.card[i + 1] = t;
            }

    h.countKeys();
    const bool flush = isFlush(h);
    const bool straight = isStraight(h);
    const bool hasAce = hasCode(h, 13, 26, 39, 52);
    const bool hasKing = hasCode(h, 12, 25, 38, 51);

    const int a = rankof(h.card[0]);
    const int b = h.firstKeyOtherThan(a);
    const int d = h.firstKeyOtherThan(a, b);
    const int ca = h.count(a), cb = h.count(b), cd = h.count(d);

    const bool four = ca == 4 || h.count(rankof(h.card[1])) == 4;
    const bool fullHouse = (ca == 3 && cb == 2) || (ca == 2 && cb == 3);
    const bool twoPair = (ca == 2 && cb == 2) || (ca == 2 && cd == 2) || (cb == 2 && cd == 2);

    if (flush && straight && hasAce && hasKing) return kRoyalFlush;
    if (flush && straight) return kStraightFlush;
    if (four) return kFourOfAKind;
    if (fullHouse) return kFullHouse;
    if (flush) return kFlush;
    if (straight) return kStraight;
    if (anyCountAtLeast(h, 3)) return kThreeOfAKind;
    if (twoPair) return kTwoPair;
    if (anyCountAtLeast(h, 2)) return kPair;
    return kNoHand;
}

}  // namespace quintelle
