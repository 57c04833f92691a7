// Cue names to the program's WAVE resources, through a recording backend.
#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/sound.h"
#include "tests/support/warnings.h"

using quintelle::platform::SoundBackend;
using quintelle::platform::SoundService;

namespace {

class Recorder : public SoundBackend {
  public:
    explicit Recorder(std::vector<QString>& log) : log_(log) {}
    void play(const QString& path) override { log_.push_back(QStringLiteral("play ") + path); }
    void stop() override { log_.push_back(QStringLiteral("stop")); }

  private:
    std::vector<QString>& log_;
};

const char* const kCues[] = {"entered",   "invalid", "placecard", "replace",
                             "roundover", "turnnew", "winner"};

}  // namespace

TEST(SoundService, EveryCueFindsItsResourceWithoutRegardToCase) {
    for (const char* cue : kCues) {
        SCOPED_TRACE(cue);
        const QString lower = QString::fromLatin1(cue);
        const QString expected = QStringLiteral(":/sounds/%1.wav").arg(lower.toUpper());
        EXPECT_EQ(SoundService::resourceFor(lower), expected);
        EXPECT_EQ(SoundService::resourceFor(lower.toUpper()), expected);
        EXPECT_EQ(SoundService::resourceFor(lower.left(1).toUpper() + lower.mid(1)), expected);

        QFile wave(expected);
        ASSERT_TRUE(wave.open(QIODevice::ReadOnly));
        const QByteArray head = wave.read(12);
        EXPECT_EQ(head.left(4), QByteArray("RIFF"));
        EXPECT_EQ(head.mid(8, 4), QByteArray("WAVE"));
    }
}

TEST(SoundService, ACuePlaysItsResource) {
    for (const char* cue : kCues) {
        SCOPED_TRACE(cue);
        std::vector<QString> log;
        SoundService service(std::make_unique<Recorder>(log));
        service.play(QString::fromLatin1(cue));
        EXPECT_EQ(
            log,
            (std::vector<QString>{
                QStringLiteral("stop"),
                QStringLiteral("play :/sounds/%1.wav").arg(QString::fromLatin1(cue).toUpper())}));
    }
}

TEST(SoundService, ANewCueCutsOffTheOneBefore) {
    std::vector<QString> log;
    SoundService service(std::make_unique<Recorder>(log));
    service.play(QStringLiteral("placecard"));
    service.play(QStringLiteral("RoundOver"));
    EXPECT_EQ(log, (std::vector<QString>{
                       QStringLiteral("stop"), QStringLiteral("play :/sounds/PLACECARD.wav"),
                       QStringLiteral("stop"), QStringLiteral("play :/sounds/ROUNDOVER.wav")}));
}

TEST(SoundService, ACueWithoutASoundOnlySilencesTheOneBefore) {
    const char* const silent[] = {"startgame", "nosuchcue", "", "sounds", "ENTERED.wav"};
    for (const char* cue : silent) {
        SCOPED_TRACE(cue);
        std::vector<QString> log;
        SoundService service(std::make_unique<Recorder>(log));
        service.play(QStringLiteral("turnnew"));
        service.play(QString::fromLatin1(cue));
        EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("stop"),
                                             QStringLiteral("play :/sounds/TURNNEW.wav"),
                                             QStringLiteral("stop")}));
        EXPECT_TRUE(SoundService::resourceFor(QString::fromLatin1(cue)).isEmpty());
    }
}

TEST(SoundService, ServicesCreatedAfterAnInstallUseTheInstalledBackend) {
    std::vector<QString> log;
    quintelle::platform::installSoundBackend(std::make_unique<Recorder>(log));
    {
        SoundService first;
        first.play(QStringLiteral("winner"));
        SoundService second;
        second.play(QStringLiteral("startgame"));
    }
    quintelle::platform::installSoundBackend(nullptr);
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("stop"),
                                         QStringLiteral("play :/sounds/WINNER.wav"),
                                         QStringLiteral("stop")}));
}

// Every cue becomes mono 16-bit samples at the one playback rate, as long as
// its own data chunk lasts, whatever its rate, width and channels.
TEST(PlaybackPcm, EveryCueKeepsItsLength) {
    struct Row {
        const char* cue;
        double seconds;
    };
    const Row rows[] = {{"entered", 0.79}, {"turnnew", 0.43}, {"placecard", 0.14},
                        {"replace", 0.29}, {"invalid", 0.80}, {"roundover", 0.72},
                        {"winner", 1.06}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.cue);
        QFile wave(SoundService::resourceFor(QString::fromLatin1(row.cue)));
        ASSERT_TRUE(wave.open(QIODevice::ReadOnly));
        const QByteArray pcm = quintelle::platform::playbackPcm(wave.readAll());
        const double seconds = double(pcm.size() / 2) / quintelle::platform::kPlaybackRate;
        EXPECT_NEAR(seconds, row.seconds, 0.006);
        // Not silence: the samples reach a tenth of full scale somewhere.
        int peak = 0;
        for (qsizetype i = 0; i + 1 < pcm.size(); i += 2)
            peak = std::max(peak, std::abs(int(qint16(quint8(pcm[i]) | quint8(pcm[i + 1]) << 8))));
        EXPECT_GT(peak, 3276);
    }
}

namespace {

QByteArray wave(int channels, int rate, int bits, const QByteArray& data, int format = 1) {
    auto le = [](quint32 v, int bytes) {
        QByteArray b;
        for (int i = 0; i < bytes; ++i) b += char((v >> (8 * i)) & 0xff);
        return b;
    };
    const QByteArray fmt = le(quint32(format), 2) + le(quint32(channels), 2) +
                           le(quint32(rate), 4) + le(quint32(rate * channels * bits / 8), 4) +
                           le(quint32(channels * bits / 8), 2) + le(quint32(bits), 2);
    const QByteArray chunks =
        "fmt " + le(16, 4) + fmt + "data" + le(quint32(data.size()), 4) + data;
    return "RIFF" + le(quint32(chunks.size() + 4), 4) + "WAVE" + chunks;
}

std::vector<int> samples(const QByteArray& pcm) {
    std::vector<int> out;
    for (qsizetype i = 0; i + 1 < pcm.size(); i += 2)
        out.push_back(qint16(quint8(pcm[i]) | quint8(pcm[i + 1]) << 8));
    return out;
}

}  // namespace

TEST(PlaybackPcm, ConvertsWidthChannelsAndRate) {
    struct Row {
        const char* what;
        QByteArray riff;
        std::vector<int> expected;
    };
    const QByteArray stereo16("\x00\x10\x00\x30", 4);  // left 4096, right 12288
    const Row rows[] = {
        {"8-bit centre is silence, extremes are full scale",
         wave(1, 44100, 8, QByteArray("\x80\x00\xff", 3)),
         {0, -32768, 32512}},
        {"16-bit stereo mixed down", wave(2, 44100, 16, stereo16), {8192}},
        {"a quarter of the rate is interpolated",
         wave(1, 11025, 16, QByteArray("\x00\x00\x00\x40", 4)),
         {0, 4096, 8192, 12288, 16384, 16384, 16384, 16384}},
        {"odd chunk padding before the data",
         QByteArray("RIFF\x2e\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xac\0\0\x88\x58\x01\0\x02\0"
                    "\x10\0LIST\x01\0\0\0xpdata\x02\0\0\0\x34\x12",
                    56),
         {0x1234}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(samples(quintelle::platform::playbackPcm(row.riff)), row.expected);
    }
}

TEST(PlaybackPcm, RefusesWhatItCannotPlay) {
    const QByteArray rows[] = {
        QByteArray(),
        QByteArray("RIFF\x04\0\0\0WAVE", 12),
        wave(1, 11025, 16, QByteArray(4, 0)).replace(0, 4, "RIFX"),
        wave(1, 11025, 16, QByteArray(4, 0), 3),                 // floating point
        wave(1, 11025, 24, QByteArray(6, 0)),                    // 24-bit
        wave(0, 11025, 16, QByteArray(4, 0)),                    // no channels
        wave(1, 0, 16, QByteArray(4, 0)),                        // no rate
        wave(1, 11025, 16, QByteArray(4, 0)).left(46),           // data chunk cut short
        QByteArray("RIFF\x24\0\0\0WAVEdata\x02\0\0\0\0\0", 20),  // data before format
    };
    for (const QByteArray& row : rows) EXPECT_TRUE(quintelle::platform::playbackPcm(row).isEmpty());
}
