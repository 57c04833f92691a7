// Every picture of the art library: logical size at 1x and 2x, determinism,
// distinct cards, suit colours, and the places text is drawn over.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "art.h"

namespace art = quintelle::art;

namespace {

struct Picture {
    std::string name;
    QSize size;
    std::function<QPixmap(qreal)> draw;
};

void PrintTo(const Picture& p, std::ostream* os) {
    *os << p.name;
}

std::vector<Picture> allPictures() {
    std::vector<Picture> v{
        {"board", {455, 534}, [](qreal d) { return art::board(d); }},
        {"scoring_table", {192, 208}, [](qreal d) { return art::scoringTable(d); }},
        {"clock_frame",
         {135, 29},
         [](qreal d) {
             return art::clockFrame({135, 29}, d);
         }},
        {"clock_bar", {131, 25}, [](qreal d) { return art::clockBar(d); }},
        {"offer_frame", {117, 163}, [](qreal d) { return art::offerFrame(d); }},
        {"panel_cleared",
         {329, 336},
         [](qreal d) {
             return art::panelBackground({329, 336}, d);
         }},
        {"panel_continue",
         {329, 297},
         [](qreal d) {
             return art::panelBackground({329, 297}, d);
         }},
        {"replacement", {97, 14}, [](qreal d) { return art::replacementWord(d); }},
        {"logo", {194, 40}, [](qreal d) { return art::logo(d); }},
        {"emblem", {86, 86}, [](qreal d) { return art::emblem(d); }},
        {"title", {247, 44}, [](qreal d) { return art::titlePicture(d); }},
    };
    const std::pair<art::ButtonWord, std::string> buttons[] = {
        {art::ButtonWord::StartGame, "start_game"},   {art::ButtonWord::Done, "done"},
        {art::ButtonWord::Cancel, "cancel"},          {art::ButtonWord::SendScore, "send_score"},
        {art::ButtonWord::HighScores, "high_scores"}, {art::ButtonWord::ResetTally, "reset_tally"}};
    const QSize wide(135, 29);
    const QSize narrow(95, 29);
    for (const auto& [word, name] : buttons) {
        const art::ButtonWord w = word;
        const QSize size =
            w == art::ButtonWord::Done || w == art::ButtonWord::Cancel ? narrow : wide;
        v.push_back(
            {"button_" + name, size, [w](qreal d) { return art::buttonPicture(w, false, d); }});
        v.push_back({"button_" + name + "_pressed", size,
                     [w](qreal d) { return art::buttonPicture(w, true, d); }});
    }
    for (int k = 0; k < art::cardPictureCount; ++k)
        v.push_back(
            {"card_" + std::to_string(k), {71, 96}, [k](qreal d) { return art::card(k, d); }});
    return v;
}

class EveryPicture : public ::testing::TestWithParam<Picture> {};

TEST_P(EveryPicture, HasItsLogicalSizeAtEachPixelRatio) {
    for (qreal dpr : {1.0, 2.0}) {
        const QPixmap pm = GetParam().draw(dpr);
        EXPECT_EQ(pm.deviceIndependentSize().toSize(), GetParam().size) << "dpr " << dpr;
        EXPECT_EQ(pm.size(), GetParam().size * dpr) << "dpr " << dpr;
        EXPECT_EQ(pm.devicePixelRatio(), dpr);
    }
}

TEST_P(EveryPicture, IsTheSameEveryTimeAndNotEmpty) {
    const QImage first = GetParam().draw(2.0).toImage();
    EXPECT_EQ(first, GetParam().draw(2.0).toImage());
    int opaque = 0;
    for (int y = 0; y < first.height(); ++y)
        for (int x = 0; x < first.width(); ++x) opaque += qAlpha(first.pixel(x, y)) == 255;
    EXPECT_GT(opaque, first.width() * first.height() / 20) << "picture is (nearly) blank";
}

INSTANTIATE_TEST_SUITE_P(Art, EveryPicture, ::testing::ValuesIn(allPictures()),
                         [](const auto& info) { return info.param.name; });

bool redDominant(QRgb p) {
    return qAlpha(p) > 200 && qRed(p) > 150 && qGreen(p) < 100 && qBlue(p) < 100;
}

int redPixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += redDominant(img.pixel(x, y));
    return n;
}

TEST(Cards, AreAllDifferentPictures) {
    std::vector<QImage> cards;
    for (int k = 0; k < art::cardPictureCount; ++k) cards.push_back(art::card(k, 1.0).toImage());
    for (int a = 0; a < art::cardPictureCount; ++a)
        for (int b = a + 1; b < art::cardPictureCount; ++b)
            EXPECT_NE(cards[a], cards[b]) << "pictures " << a << " and " << b;
}

TEST(Cards, RedSuitsAreRedAndBlackSuitsHaveNoRed) {
    for (int code = 1; code <= 52; ++code) {
        const bool red = code >= 14 && code <= 39;  // diamonds and hearts
        const int n = redPixels(art::card(code, 1.0).toImage());
        if (red)
            EXPECT_GT(n, 40) << "card " << code;
        else
            EXPECT_EQ(n, 0) << "card " << code;
    }
}

TEST(Cards, HaveOpaqueRoundedFacesWithTransparentCorners) {
    for (int code : {0, 1, 26, 51}) {
        const QImage img = art::card(code, 2.0).toImage();
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0) << "card " << code;
        EXPECT_EQ(qAlpha(img.pixel(img.width() - 1, img.height() - 1)), 0) << "card " << code;
        EXPECT_EQ(qAlpha(img.pixel(img.width() / 2, 4)), 255) << "card " << code;
    }
}

// Contrast ratio of two colours by relative luminance, as used for legibility.
double luminance(QColor c) {
    auto lin = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.red()) + 0.7152 * lin(c.green()) + 0.0722 * lin(c.blue());
}
double contrast(QColor a, QColor b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(Board, TagInteriorsAreDarkEnoughForCreamText) {
    const QImage board = art::board(1.0).toImage();
    const QColor cream(245, 235, 216);
    std::vector<QPoint> centres;
    for (int r = 0; r < 5; ++r) centres.emplace_back(394 + 28, 45 + 100 * r + 9);
    for (int x : {4, 84, 159, 233, 308}) centres.emplace_back(x + 36, 512 + 9);
    centres.emplace_back(392 + 27, 504 + 9);  // TOTAL box
    for (const QPoint& c : centres)
        for (int dx : {-15, 0, 15}) {
            const QColor p = board.pixelColor(c + QPoint(dx, 0));
            EXPECT_EQ(p.alpha(), 255) << c.x() << "," << c.y();
            EXPECT_GE(contrast(p, cream), 7.0) << c.x() + dx << "," << c.y();
        }
}

TEST(Board, HasAGreenCardPlaceBehindEveryCell) {
    const QImage board = art::board(1.0).toImage();
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c) {
            // Near the top-left of the place, clear of the star in its middle.
            const QColor p = board.pixelColor(6 + 75 * c + 12, 6 + 100 * r + 14);
            EXPECT_EQ(p.alpha(), 255);
            EXPECT_GT(p.green(), p.red() + 40) << "cell " << r + 1 << c + 1;
            EXPECT_GT(p.green(), p.blue() + 20) << "cell " << r + 1 << c + 1;
        }
}

TEST(ClockBar, RunsFromGoldToPaleAndKeepsBlackTextReadable) {
    const QImage bar = art::clockBar(1.0).toImage();
    const int y = bar.height() / 2;
    const QColor left = bar.pixelColor(1, y);
    const QColor right = bar.pixelColor(bar.width() - 2, y);
    EXPECT_GT(left.hsvSaturation(), right.hsvSaturation() + 60) << "left is gold, right pale";
    EXPECT_GT(right.lightness(), left.lightness());
    for (int x = 0; x < bar.width(); x += 10)
        EXPECT_GE(contrast(bar.pixelColor(x, y), Qt::black), 7.0) << "x " << x;
}

TEST(ClockFrame, WellBehindTheBarKeepsBlackTextReadable) {
    // Early in a round the bar is only a few pixels wide; the clock text then
    // stands on the frame itself, in the rows its letters fill.
    const QImage frame = art::clockFrame(art::clockFrameSize, 1.0).toImage();
    for (int x = 6; x < frame.width() - 6; x += 4)
        for (int y : {7, 11, 15, 19})
            EXPECT_GE(contrast(frame.pixelColor(x, y), Qt::black), 7.0) << x << "," << y;
}

TEST(ClockFrame, BonusMarksStayClearOfTheClockText) {
    // The text fills the well's rows from 5 below the top to 5 above the
    // bottom: there the well is its plain top-to-bottom shading, the same
    // along the whole row, with no tick or figure in it.
    for (const qreal dpr : {1.0, 2.0}) {
        const QImage frame = art::clockFrame(art::clockFrameSize, dpr).toImage();
        const int margin = int(5 * dpr), inside = int(6 * dpr);
        for (int y = margin; y < frame.height() - margin; ++y)
            for (int x = inside; x < frame.width() - inside; ++x)
                ASSERT_EQ(frame.pixel(x, y), frame.pixel(inside, y))
                    << "dpr " << dpr << " at " << x << "," << y;
    }
}

TEST(Buttons, PressedDiffersFromRest) {
    for (auto w :
         {art::ButtonWord::StartGame, art::ButtonWord::Done, art::ButtonWord::Cancel,
          art::ButtonWord::SendScore, art::ButtonWord::HighScores, art::ButtonWord::ResetTally})
        EXPECT_NE(art::buttonPicture(w, false, 1.0).toImage(),
                  art::buttonPicture(w, true, 1.0).toImage());
}

}  // namespace
