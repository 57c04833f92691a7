// The real-desktop harness itself: that it hears what is played, and that
// its sound analysis counts cues the way the whole-program tests rely on.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cmath>

#include "tests/support/desktop.h"

using quintelle::testing::decodeWave;
using quintelle::testing::Desktop;
using quintelle::testing::matchOnsets;
using quintelle::testing::Recording;

namespace {

// A recording of tone bursts: (start, length) in seconds, at a level.
Recording bursts(const std::vector<std::pair<double, double>>& toneAt, double level = 0.3) {
    Recording r;
    r.rate = 16000;
    r.samples.assign(size_t(r.rate * 4), 0);
    for (auto [start, length] : toneAt)
        for (size_t i = size_t(start * r.rate); i < size_t((start + length) * r.rate); ++i)
            r.samples[i] = qint16(level * 32767 * std::sin(2 * M_PI * 440 * double(i) / r.rate));
    return r;
}

}  // namespace

TEST(SoundAnalysis, OnsetsAreWhereSoundFollowsSilence) {
    struct Row {
        const char* what;
        std::vector<std::pair<double, double>> tones;
        double level;
        std::vector<double> onsets;
    };
    const Row rows[] = {
        {"silence", {}, 0.3, {}},
        {"one tone", {{0.5, 0.2}}, 0.3, {0.5}},
        {"three apart", {{0.2, 0.1}, {0.6, 0.3}, {1.5, 0.8}}, 0.3, {0.2, 0.6, 1.5}},
        {"a short gap is one sound", {{0.2, 0.1}, {0.33, 0.2}}, 0.3, {0.2}},
        {"just long enough a gap", {{0.2, 0.1}, {0.38, 0.2}}, 0.3, {0.2, 0.38}},
        {"below the threshold", {{0.5, 0.5}}, 0.005, {}},
        {"sound from the start", {{0.0, 0.3}, {1.0, 0.1}}, 0.3, {0.0, 1.0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::vector<double> found = bursts(row.tones, row.level).onsets();
        ASSERT_EQ(found.size(), row.onsets.size());
        for (size_t i = 0; i < found.size(); ++i) EXPECT_NEAR(found[i], row.onsets[i], 0.006);
    }
}

TEST(SoundAnalysis, ASoundEndsWhereItsSilenceBegins) {
    const auto sounds = bursts({{0.2, 0.15}, {1.0, 0.7}}).sounds();
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_NEAR(sounds[0].end - sounds[0].start, 0.15, 0.011);
    EXPECT_NEAR(sounds[1].end - sounds[1].start, 0.7, 0.011);
}

TEST(SoundAnalysis, OnsetsMatchRequestsInOrderWhateverTheLatency) {
    struct Row {
        const char* what;
        std::vector<double> requested;
        std::vector<double> onsets;
        bool matches;
    };
    const Row rows[] = {
        {"exact", {1.0, 1.5, 2.0}, {1.0, 1.5, 2.0}, true},
        {"late by a constant latency", {1.0, 1.5, 2.0}, {1.4, 1.9, 2.45}, true},
        {"a cue missing at the end", {1.0, 1.5, 2.0}, {1.0, 1.5}, false},
        {"a cue missing in the middle", {1.0, 1.5, 2.0, 2.5}, {1.0, 2.0, 2.5}, false},
        {"a sound nobody asked for", {1.0, 1.5}, {1.0, 1.5, 2.2}, false},
        {"one far too late", {1.0, 1.5, 2.0}, {1.0, 1.5, 2.6}, false},
        {"nothing asked, nothing heard", {}, {}, true},
        {"nothing heard", {1.0}, {}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(matchOnsets(row.requested, row.onsets).isEmpty(), row.matches)
            << matchOnsets(row.requested, row.onsets).toStdString();
    }
}

// Every cue the program carries must count as exactly one sound, or the
// whole-program tests would miscount them.
TEST(SoundAnalysis, EveryCueOfTheProgramIsOneSound) {
    const QStringList cues = QDir(QStringLiteral(":/sounds")).entryList(QDir::Files);
    ASSERT_EQ(cues.size(), 7);
    for (const QString& cue : cues) {
        SCOPED_TRACE(cue.toStdString());
        QFile file(QStringLiteral(":/sounds/") + cue);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const auto wave = decodeWave(file.readAll());
        ASSERT_TRUE(wave.has_value());
        const auto sounds = wave->sounds(0.01, 0.12);
        ASSERT_EQ(sounds.size(), 1u);
        EXPECT_LT(sounds[0].start, 0.05);
    }
}

TEST(SoundAnalysis, DecodingRefusesWhatIsNotPcmWave) {
    const QByteArray rows[] = {
        QByteArray(),
        QByteArray("RIFF\x04\0\0\0WAVE", 12),
        QByteArray("RIFX\x04\0\0\0WAVEfmt ", 16),
        // A chunk that claims more bytes than there are.
        QByteArray("RIFF\x24\0\0\0WAVEfmt \xff\xff\0\0", 20),
    };
    for (const QByteArray& row : rows) EXPECT_FALSE(decodeWave(row).has_value());
}

// The whole chain the cue tests rest on: a private sound server, its null
// sink's monitor recorded, a file played into it heard once per play; and
// everything gone when the desktop is.
TEST(RealDesktop, HearsWhatIsPlayedAndLeavesNothingBehind) {
    QString socket;
    {
        Desktop desktop({.windowManager = true, .sound = true});
        ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
        socket = QStringLiteral("/tmp/.X11-unix/X") + desktop.display().mid(1);
        EXPECT_TRUE(QFileInfo::exists(socket));

        QFile cue(QStringLiteral(":/sounds/PLACECARD.wav"));
        ASSERT_TRUE(cue.open(QIODevice::ReadOnly));
        const QString path = QDir::temp().filePath(
            QStringLiteral("harness-%1.wav").arg(QCoreApplication::applicationPid()));
        {
            QFile out(path);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(cue.readAll());
        }
        ASSERT_TRUE(desktop.startRecording()) << desktop.error().toStdString();
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(desktop.run(QStringLiteral("paplay"), {path}).has_value());
            QThread::msleep(250);
        }
        const Recording recording = desktop.stopRecording();
        QFile::remove(path);
        EXPECT_EQ(recording.onsets(0.01, 0.12).size(), 3u);

        const QImage screen = desktop.screenshot();
        EXPECT_EQ(screen.size(), desktop.screenSize());
    }
    EXPECT_FALSE(QFileInfo::exists(socket));
}
