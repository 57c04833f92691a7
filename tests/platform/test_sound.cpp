// Cue names to the program's WAVE resources, through a recording backend.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSoundEffect>
#include <QUrl>
#include <memory>
#include <vector>

#include "platform/sound.h"

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

TEST(SoundService, TheProgramServiceUsesTheInstalledBackend) {
    static std::vector<QString> log;  // outlives the program-wide service
    quintelle::platform::installSoundBackend(std::make_unique<Recorder>(log));
    quintelle::platform::sounds().play(QStringLiteral("winner"));
    quintelle::platform::sounds().play(QStringLiteral("startgame"));
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("stop"),
                                         QStringLiteral("play :/sounds/WINNER.wav"),
                                         QStringLiteral("stop")}));
}

// The sounds must be ones the real player can decode: 8-bit and 16-bit PCM,
// mono and stereo, one with a "fact" chunk. Decoding needs no sound device.
TEST(SoundResources, EveryCueDecodesInQtMultimedia) {
    for (const char* cue : kCues) {
        SCOPED_TRACE(cue);
        QSoundEffect effect;
        effect.setSource(
            QUrl(QStringLiteral("qrc") + SoundService::resourceFor(QString::fromLatin1(cue))));
        QDeadlineTimer deadline(10000);
        while (effect.status() != QSoundEffect::Ready && effect.status() != QSoundEffect::Error &&
               !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(effect.status(), QSoundEffect::Ready);
    }
}
