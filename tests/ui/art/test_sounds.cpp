// The seven sound cues as embedded: exact RIFF layout, format, length, and
// that each one actually sounds without clipping or clicking.

#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Cue {
    const char* name;
    qint64 fileSize;
    int channels;
    int rate;
    int bits;
    double seconds;
    bool withFact;
};

void PrintTo(const Cue& c, std::ostream* os) {
    *os << c.name;
}

const Cue cues[] = {
    {"ENTERED", 8712, 1, 11025, 8, 0.79, false},   {"TURNNEW", 19012, 1, 44100, 8, 0.43, false},
    {"PLACECARD", 1642, 1, 11025, 8, 0.14, true},  {"REPLACE", 6444, 1, 11025, 16, 0.29, false},
    {"INVALID", 35428, 2, 11025, 16, 0.80, false}, {"ROUNDOVER", 15920, 1, 22050, 8, 0.72, false},
    {"WINNER", 23468, 1, 22050, 8, 1.06, false},
};

struct Chunk {
    std::string id;
    std::size_t offset;  // of the chunk body
    std::uint32_t size;
};

std::uint32_t le(const QByteArray& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[static_cast<qsizetype>(at) + i]);
    return v;
}

// Walks the chunks after the RIFF/WAVE header; an empty result means the
// file is malformed (a chunk runs past the end).
std::optional<std::vector<Chunk>> chunks(const QByteArray& b) {
    std::vector<Chunk> out;
    std::size_t at = 12;
    const auto size = static_cast<std::size_t>(b.size());
    while (at + 8 <= size) {
        Chunk c{b.mid(static_cast<qsizetype>(at), 4).toStdString(), at + 8, le(b, at + 4, 4)};
        if (c.offset + c.size > size) return std::nullopt;
        out.push_back(c);
        at = c.offset + c.size + (c.size & 1);
    }
    if (at != size) return std::nullopt;
    return out;
}

class SoundCue : public ::testing::TestWithParam<Cue> {
  protected:
    void SetUp() override {
        QFile f(QStringLiteral(":/sounds/%1.wav").arg(QLatin1String(GetParam().name)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "resource missing";
        bytes = f.readAll();
    }
    // Samples of all channels, scaled to [-1, 1].
    std::vector<double> samples(const Chunk& data) const {
        std::vector<double> v;
        const int width = GetParam().bits / 8;
        for (std::size_t i = data.offset; i + width <= data.offset + data.size; i += width) {
            if (width == 1)
                v.push_back((static_cast<int>(le(bytes, i, 1)) - 128) / 128.0);
            else
                v.push_back(static_cast<std::int16_t>(le(bytes, i, 2)) / 32768.0);
        }
        return v;
    }
    QByteArray bytes;
};

TEST_P(SoundCue, HasTheExactRiffLayoutAndFormat) {
    const Cue& cue = GetParam();
    ASSERT_EQ(bytes.size(), cue.fileSize);
    ASSERT_EQ(bytes.left(4), "RIFF");
    EXPECT_EQ(le(bytes, 4, 4), cue.fileSize - 8);
    ASSERT_EQ(bytes.mid(8, 4), "WAVE");
    const auto list = chunks(bytes);
    ASSERT_TRUE(list.has_value()) << "a chunk runs past the end of the file";

    std::vector<std::string> ids;
    for (const Chunk& c : *list) ids.push_back(c.id);
    const std::vector<std::string> expected = cue.withFact
                                                  ? std::vector<std::string>{"fmt ", "fact", "data"}
                                                  : std::vector<std::string>{"fmt ", "data"};
    ASSERT_EQ(ids, expected);

    const Chunk& fmt = list->front();
    const int blockAlign = cue.channels * cue.bits / 8;
    EXPECT_EQ(fmt.size, cue.withFact ? 18u : 16u);
    EXPECT_EQ(le(bytes, fmt.offset, 2), 1u) << "format tag: PCM";
    EXPECT_EQ(le(bytes, fmt.offset + 2, 2), static_cast<std::uint32_t>(cue.channels));
    EXPECT_EQ(le(bytes, fmt.offset + 4, 4), static_cast<std::uint32_t>(cue.rate));
    EXPECT_EQ(le(bytes, fmt.offset + 8, 4), static_cast<std::uint32_t>(cue.rate * blockAlign));
    EXPECT_EQ(le(bytes, fmt.offset + 12, 2), static_cast<std::uint32_t>(blockAlign));
    EXPECT_EQ(le(bytes, fmt.offset + 14, 2), static_cast<std::uint32_t>(cue.bits));
    if (cue.withFact) {
        EXPECT_EQ(le(bytes, fmt.offset + 16, 2), 0u) << "cbSize";
        const Chunk& fact = (*list)[1];
        EXPECT_EQ(fact.size, 4u);
        EXPECT_EQ(le(bytes, fact.offset, 4), list->back().size / blockAlign) << "frames in fact";
    }

    const Chunk& data = list->back();
    EXPECT_EQ(data.size % blockAlign, 0u);
    EXPECT_NEAR(static_cast<double>(data.size) / (cue.rate * blockAlign), cue.seconds, 0.01);
}

TEST_P(SoundCue, SoundsWithoutClippingAndFadesAtBothEnds) {
    const auto list = chunks(bytes);
    ASSERT_TRUE(list.has_value() && !list->empty());
    const std::vector<double> v = samples(list->back());
    ASSERT_FALSE(v.empty());

    double sumSquares = 0;
    double peak = 0;
    int run = 0;
    int longestRunAtLimit = 0;
    for (double s : v) {
        sumSquares += s * s;
        peak = std::max(peak, std::abs(s));
        run = std::abs(s) >= 0.99 ? run + 1 : 0;
        longestRunAtLimit = std::max(longestRunAtLimit, run);
    }
    EXPECT_GT(std::sqrt(sumSquares / static_cast<double>(v.size())), 0.03) << "too quiet";
    EXPECT_GT(peak, 0.3);
    EXPECT_LE(longestRunAtLimit, 2) << "clipped";

    const std::size_t edge = static_cast<std::size_t>(GetParam().channels);
    for (std::size_t i = 0; i < edge; ++i) {
        EXPECT_LT(std::abs(v[i]), 0.02) << "starts with a click";
        EXPECT_LT(std::abs(v[v.size() - 1 - i]), 0.02) << "ends with a click";
    }
}

INSTANTIATE_TEST_SUITE_P(AllCues, SoundCue, ::testing::ValuesIn(cues),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
