// The wood tile: its exact bitmap file, its colour, and that it repeats
// without visible seams.

#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "art.h"

namespace {

std::uint32_t le(const QByteArray& b, int at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

double difference(QRgb a, QRgb b) {
    return (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
            std::abs(qBlue(a) - qBlue(b))) /
           3.0;
}

// Mean colour difference between column x1 and column x2 (or rows).
double columnDifference(const QImage& img, int x1, int x2) {
    double sum = 0;
    for (int y = 0; y < img.height(); ++y) sum += difference(img.pixel(x1, y), img.pixel(x2, y));
    return sum / img.height();
}
double rowDifference(const QImage& img, int y1, int y2) {
    double sum = 0;
    for (int x = 0; x < img.width(); ++x) sum += difference(img.pixel(x, y1), img.pixel(x, y2));
    return sum / img.width();
}

TEST(WoodTile, IsAnUncompressed24BitBitmapOfExactSize) {
    QFile f(QStringLiteral(":/tile.bmp"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    ASSERT_EQ(b.size(), 24054);
    EXPECT_EQ(b.left(2), "BM");
    EXPECT_EQ(le(b, 2, 4), 24054u) << "file size field";
    EXPECT_EQ(le(b, 10, 4), 54u) << "pixel data offset";
    EXPECT_EQ(le(b, 14, 4), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(le(b, 18, 4), 100u);
    EXPECT_EQ(le(b, 22, 4), 80u) << "positive height: bottom-up rows";
    EXPECT_EQ(le(b, 26, 2), 1u) << "planes";
    EXPECT_EQ(le(b, 28, 2), 24u) << "bits per pixel";
    EXPECT_EQ(le(b, 30, 4), 0u) << "BI_RGB";
}

TEST(WoodTile, LoadsAsWarmBrownThatCreamTextReadsOn) {
    const QImage tile = quintelle::art::woodTile();
    ASSERT_EQ(tile.size(), QSize(100, 80));
    double r = 0, g = 0, b = 0, brightest = 0;
    for (int y = 0; y < tile.height(); ++y)
        for (int x = 0; x < tile.width(); ++x) {
            const QRgb p = tile.pixel(x, y);
            r += qRed(p);
            g += qGreen(p);
            b += qBlue(p);
            brightest = std::max(brightest, 0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p));
        }
    const double n = tile.width() * tile.height();
    EXPECT_NEAR(r / n, 166, 12);
    EXPECT_NEAR(g / n, 103, 12);
    EXPECT_NEAR(b / n, 51, 12);
    const double cream = 0.299 * 245 + 0.587 * 235 + 0.114 * 216;
    EXPECT_LT(brightest, cream - 80) << "texture too light behind cream text";
}

TEST(WoodTile, EdgesMeetTheirOppositeEdgesSeamlessly) {
    const QImage tile = quintelle::art::woodTile().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(tile.size(), QSize(100, 80));
    // Across a seam the colour may step no more than between neighbours inside.
    double columns = 0;
    for (int x = 0; x + 1 < tile.width(); ++x) columns += columnDifference(tile, x, x + 1);
    columns /= tile.width() - 1;
    EXPECT_LE(columnDifference(tile, tile.width() - 1, 0), 2 * columns);
    double rows = 0;
    for (int y = 0; y + 1 < tile.height(); ++y) rows += rowDifference(tile, y, y + 1);
    rows /= tile.height() - 1;
    EXPECT_LE(rowDifference(tile, tile.height() - 1, 0), 2 * rows);
    // And the texture is not flat: there is grain to see.
    EXPECT_GT(rows, 1.0);
}

}  // namespace
