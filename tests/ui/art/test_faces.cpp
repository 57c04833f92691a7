// The faces of the cards as a player reads them: twelve court figures that
// are each their own character, corner indices that line up, and the clock
// frame's marks where the time bonus drops.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QRect>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "art.h"

namespace art = quintelle::art;

namespace {

constexpr int kDpr = 2;
const char* const kSuits[] = {"clubs", "diamonds", "hearts", "spades"};
const char* const kRanks[] = {"jack", "queen", "king"};

int courtCode(int suit, int rank) {  // rank 0..2: Jack, Queen, King
    return suit * 13 + 10 + rank;
}

std::string courtName(int suit, int rank) {
    return std::string(kRanks[rank]) + " of " + kSuits[suit];
}

QImage face(int code) {
    return art::card(code, kDpr).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The portrait area of a court card, clear of the corner indices; the small
// suit signs in the portrait's own corners are masked out too, so only the
// figures are compared.
bool inPortrait(int x, int y) {
    const QRect portrait(16 * kDpr, 11 * kDpr, 39 * kDpr, 74 * kDpr);
    const QRect pipTop(15 * kDpr, 10 * kDpr, 8 * kDpr, 8 * kDpr);
    const QRect pipBottom(48 * kDpr, 78 * kDpr, 8 * kDpr, 8 * kDpr);
    const QPoint p(x, y);
    return portrait.contains(p) && !pipTop.contains(p) && !pipBottom.contains(p);
}

// Share of the portrait's pixels that differ clearly between two cards,
// either in full colour or in lightness alone (the drawing without its paint).
double differingShare(const QImage& a, const QImage& b, bool lightnessOnly) {
    int differing = 0, total = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (!inPortrait(x, y)) continue;
            ++total;
            const QColor ca = a.pixelColor(x, y), cb = b.pixelColor(x, y);
            const int d =
                lightnessOnly
                    ? std::abs(qGray(ca.rgb()) - qGray(cb.rgb()))
                    : std::max({std::abs(ca.red() - cb.red()), std::abs(ca.green() - cb.green()),
                                std::abs(ca.blue() - cb.blue())});
            differing += d > 40;
        }
    const double share = double(differing) / total;
    if (qEnvironmentVariableIsSet("QUINTELLE_PRINT_SHARES")) std::printf("%.3f\n", share);
    return share;
}

// One figure recoloured, or two suits sharing a palette, differ only in the
// small emblems: a few hundredths of the portrait.
constexpr double kDistinct = 0.12;   // in colour: suits' palettes, other figures
constexpr double kOwnFigure = 0.25;  // in lightness alone: a different drawing

TEST(CourtCards, EachRankIsItsOwnFigureInEverySuit) {
    // Lightness only: a figure that merely changes colour does not count.
    for (int suit = 0; suit < 4; ++suit)
        for (int a = 0; a < 3; ++a)
            for (int b = a + 1; b < 3; ++b)
                EXPECT_GT(differingShare(face(courtCode(suit, a)), face(courtCode(suit, b)), true),
                          kOwnFigure)
                    << courtName(suit, a) << " vs " << courtName(suit, b);
}

TEST(CourtCards, EachSuitDressesItsCourtInItsOwnColours) {
    for (int rank = 0; rank < 3; ++rank)
        for (int a = 0; a < 4; ++a)
            for (int b = a + 1; b < 4; ++b)
                EXPECT_GT(differingShare(face(courtCode(a, rank)), face(courtCode(b, rank)), false),
                          kDistinct)
                    << courtName(a, rank) << " vs " << courtName(b, rank);
}

TEST(CourtCards, NoTwoOfTheTwelveAreAlike) {
    std::vector<QImage> courts;
    for (int suit = 0; suit < 4; ++suit)
        for (int rank = 0; rank < 3; ++rank) courts.push_back(face(courtCode(suit, rank)));
    for (size_t a = 0; a < courts.size(); ++a)
        for (size_t b = a + 1; b < courts.size(); ++b)
            EXPECT_GT(differingShare(courts[a], courts[b], false), kDistinct)
                << courtName(a / 3, a % 3) << " vs " << courtName(b / 3, b % 3);
}

bool reddish(const QColor& c) {
    return c.alpha() > 200 && c.red() > c.green() + 60 && c.red() > c.blue() + 40;
}

bool cool(const QColor& c) {
    return c.alpha() > 200 && c.blue() + c.green() > 2 * c.red() + 60;
}

TEST(CourtCards, PortraitsKeepTheRedAndBlackConvention) {
    for (int suit = 0; suit < 4; ++suit)
        for (int rank = 0; rank < 3; ++rank) {
            const QImage img = face(courtCode(suit, rank));
            int red = 0, blue = 0, total = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (inPortrait(x, y)) {
                        ++total;
                        red += reddish(img.pixelColor(x, y));
                        blue += cool(img.pixelColor(x, y));
                    }
            const bool redSuit = suit == 1 || suit == 2;
            const int& own = redSuit ? red : blue;
            const int& other = redSuit ? blue : red;
            EXPECT_GT(own, total / 16) << courtName(suit, rank);
            EXPECT_GT(own, 3 * other) << courtName(suit, rank);
        }
}

// The box of index ink in a card's top-left corner, in device pixels, looked
// for up to `right` (logical): the pips of the Ten begin at 15.5, the
// portraits of the courts at 13.5.
QRect indexInk(const QImage& img, int right) {
    QRect box;
    for (int y = 2 * kDpr; y < 16 * kDpr; ++y)
        for (int x = 2 * kDpr; x < right * kDpr; ++x) {  // inside the card's edge
            const QColor c = img.pixelColor(x, y);
            const bool black = c.lightness() < 90;
            const bool red = c.red() > 150 && c.green() < 90 && c.blue() < 90;
            if (c.alpha() == 255 && (black || red)) box |= QRect(x, y, 1, 1);
        }
    return box;
}

TEST(CardIndices, LineUpOnEveryCardAndStayClearOfThePips) {
    const QRect reference = indexInk(face(2), 15);  // the Four of clubs
    ASSERT_FALSE(reference.isEmpty());
    for (int code = 1; code <= 52; ++code) {
        const int rank = (code - 1) % 13 + 2;
        const QRect box = indexInk(face(code), rank >= 11 && rank <= 13 ? 13 : 15);
        ASSERT_FALSE(box.isEmpty()) << "card " << code;
        EXPECT_NEAR(box.top(), reference.top(), 1) << "card " << code;
        if (rank != 12) {  // the Queen's tail may dip below the line
            EXPECT_NEAR(box.bottom(), reference.bottom(), 1) << "card " << code;
        }
        EXPECT_NEAR(box.center().x(), reference.center().x(), 1.5 * kDpr) << "card " << code;
        // The figures keep to their own column, two pixels clear of the pips.
        EXPECT_LE(box.right(), 13.5 * kDpr) << "card " << code;
        EXPECT_GE(box.left(), 2 * kDpr) << "card " << code;
    }
}

TEST(CardIndices, TenIsNoWiderThanALetter) {
    const int tenWidth = indexInk(face(9), 15).width();
    const int queenWidth = indexInk(face(11), 13).width();
    EXPECT_LE(tenWidth, queenWidth + kDpr);
}

// The columns of the clock frame's top rim that carry a tick, as offsets
// from the bar's left edge, which lies 2 pixels inside the frame.
std::vector<int> tickColumns(qreal dpr) {
    const QImage img = art::clockFrame(art::clockFrameSize, dpr).toImage();
    const int barLeft = (art::clockFrameSize.width() - art::clockBarSize.width()) / 2;
    const int row = int(1 * dpr);
    std::vector<int> ticks;
    // Away from the rounded corners, the rim is plain gold between the ticks.
    for (int x = int(6 * dpr); x < img.width() - int(6 * dpr); ++x) {
        const int here = qGray(img.pixel(x, row));
        const int beside = std::max(qGray(img.pixel(x - int(2 * dpr), row)),
                                    qGray(img.pixel(x + int(2 * dpr), row)));
        if (here + 40 < beside) {
            const int logical = int(x / dpr) - barLeft;
            if (ticks.empty() || ticks.back() != logical) ticks.push_back(logical);
        }
    }
    return ticks;
}

TEST(ClockFrame, MarksTheBonusStepsAtThirtySixtyAndNinetyPixels) {
    for (qreal dpr : {1.0, 1.5, 2.0, 3.0})
        EXPECT_EQ(tickColumns(dpr), (std::vector<int>{30, 60, 90})) << "dpr " << dpr;
}

}  // namespace
