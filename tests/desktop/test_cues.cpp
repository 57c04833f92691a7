// Every cue of a whole round, and of the game after it, is heard on a real
// sound server, in the order the game asked for them.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cstring>

#include "tests/support/desktop.h"

using quintelle::testing::Desktop;
using quintelle::testing::GameProcess;
using quintelle::testing::matchOnsets;
using quintelle::testing::Recording;
using quintelle::testing::waitUntil;

namespace {

// Cues are told apart by the silence between them. A loaded machine can
// stall the sound server long enough to tear a short gap into a cue, so only
// a long silence separates two cues, and the pace leaves one after each.
constexpr int kPaceMs = 700;
constexpr double kGap = 0.3;

// The game's audio stream runs on a thread of its own, named "sound",
// started by the first cue the game plays.
bool hasSoundThread(qint64 pid) {
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile name(tasks.filePath(task + QStringLiteral("/comm")));
        if (name.open(QIODevice::ReadOnly) && name.readAll().trimmed() == "sound") return true;
    }
    return false;
}

bool waitForSoundThread(qint64 pid, int timeoutMs) {
    return quintelle::testing::waitUntil([&] { return hasSoundThread(pid); }, timeoutMs);
}

}  // namespace

TEST(Cues, AWholeRoundAndTheNextGameSoundEveryCueInOrder) {
    Desktop desktop({.windowManager = true, .sound = true});
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    ASSERT_TRUE(desktop.startRecording());
    QElapsedTimer clock;
    clock.start();
    auto now = [&] { return double(clock.nsecsElapsed()) / 1e9; };

    GameProcess game(desktop);
    ASSERT_TRUE(game.start()) << game.output().toStdString();
    ASSERT_TRUE(waitForSoundThread(game.processId(), 10000));
    QThread::msleep(1500);  // "entered" plays out

    std::vector<double> requested;  // every input that asks for a cue
    auto act = [&](const std::function<void()>& input, int pauseMs = kPaceMs) {
        input();
        requested.push_back(now());
        QThread::msleep(pauseMs);
    };

    // Round one: "turnnew", the replacement early on, every cell filled;
    // the last placement's cue is cut off at once by the round's end.
    act([&] { game.click(game.startButton()); }, 900);
    act([&] { game.click(game.cellCentre(1, 1)); });
    act([&] { game.click(game.cellCentre(1, 1)); });  // "replace"
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c)
            if (r != 1 || c != 1) act([&] { game.click(game.cellCentre(r, c)); });
    QThread::msleep(1200);  // the round's end cue

    // A second game, from the menu's shortcut: "turnnew" and placements.
    act([&] { game.key(QStringLiteral("ctrl+s")); }, 900);
    for (int c = 1; c <= 5; ++c) act([&] { game.click(game.cellCentre(3, c)); });

    game.close();
    EXPECT_EQ(game.waitForExit(15000), std::optional<int>(0)) << game.output().toStdString();
    const Recording recording = desktop.stopRecording();

    const auto sounds = recording.sounds(0.01, kGap);
    ASSERT_FALSE(sounds.empty()) << "not even the start-up cue was heard";
    // The first sound is "entered", played as the window appeared.
    std::vector<double> onsets;
    for (size_t i = 1; i < sounds.size(); ++i) onsets.push_back(sounds[i].start);
    const QString mismatch = matchOnsets(requested, onsets);
    QString heard;
    for (const auto& sound : sounds)
        heard += QStringLiteral(" %1-%2").arg(sound.start, 0, 'f', 2).arg(sound.end, 0, 'f', 2);
    EXPECT_TRUE(mismatch.isEmpty())
        << mismatch.toStdString() << "\nheard:" << heard.toStdString() << "\n"
        << game.output().toStdString();
    // 1 start + 26 placements, then 1 start + 5 placements.
    ASSERT_EQ(requested.size(), 33u);
    // The round's end cue really sounded after the last placement's click:
    // far longer than a placement's 0.14 s.
    if (sounds.size() == 34) {
        EXPECT_GT(sounds[27].end - sounds[27].start, 0.5);
    }
}

// Whether the game has an audio stream open on the sound server.
bool streamOpen(const Desktop& desktop, qint64 pid) {
    const auto listing =
        desktop.run(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sink-inputs")});
    return listing && listing->contains("application.process.id = \"" +
                                        QByteArray::number(pid) + '"');
}

// A game left alone costs nothing: once no cue has sounded for a while it
// closes its stream, and the next cue opens one, heard as promptly after its
// click as a cue on a stream already open.
TEST(Cues, AfterAWhileWithoutCuesTheStreamClosesAndTheNextCueStillSoundsAtOnce) {
    Desktop desktop({.windowManager = true, .sound = true});
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    GameProcess game(desktop);
    ASSERT_TRUE(game.start()) << game.output().toStdString();
    const qint64 pid = game.processId();
    auto open = [&] { return streamOpen(desktop, pid); };
    auto closed = [&] { return !streamOpen(desktop, pid); };
    ASSERT_TRUE(waitUntil(open, 10000)) << "the start-up cue opened no stream";
    ASSERT_TRUE(waitUntil(closed, 15000)) << "the stream stayed open";
    ASSERT_TRUE(desktop.startRecording());
    QElapsedTimer clock;
    clock.start();
    std::vector<double> requested;
    auto click = [&](QPoint at) {
        game.click(at);
        requested.push_back(double(clock.nsecsElapsed()) / 1e9);
    };
    click(game.startButton());  // "turnnew" opens it
    EXPECT_TRUE(waitUntil(open, 5000));
    QThread::msleep(800);
    click(game.cellCentre(2, 2));  // "placecard" on the stream open
    ASSERT_TRUE(waitUntil(closed, 15000));
    click(game.cellCentre(2, 3));  // and on one opened once more
    QThread::msleep(800);
    const Recording recording = desktop.stopRecording();
    const QString mismatch = matchOnsets(requested, recording.onsets(0.01, kGap));
    EXPECT_TRUE(mismatch.isEmpty()) << mismatch.toStdString();

    ASSERT_TRUE(waitUntil(closed, 15000));
    game.close();
    EXPECT_EQ(game.waitForExit(15000), std::optional<int>(0)) << game.output().toStdString();
}

// A player with the sounds off is not connected to the sound server until the
// sounds are turned on (here from the menu bar by keyboard).
TEST(Cues, TheAudioStreamOpensOnlyWithTheSoundsOn) {
    Desktop desktop({.windowManager = true, .sound = true});
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    for (const bool soundsOn : {true, false}) {
        SCOPED_TRACE(soundsOn ? "sounds on" : "sounds off");
        GameProcess game(desktop);
        game.writeSettings({QStringLiteral("Update=false"),
                            soundsOn ? QStringLiteral("Sounds=yes") : QStringLiteral("Sounds=no")});
        ASSERT_TRUE(game.start()) << game.output().toStdString();
        const qint64 pid = game.processId();
        if (soundsOn) {
            EXPECT_TRUE(waitForSoundThread(pid, 5000));
        } else {
            QThread::msleep(1500);
            EXPECT_FALSE(hasSoundThread(pid));
            // Options > Play Sounds, then a round's first cue.
            for (const char* key : {"alt", "Right", "Down", "Return"}) {
                game.key(QString::fromLatin1(key));
                QThread::msleep(200);
            }
            game.click(game.startButton());
            EXPECT_TRUE(waitForSoundThread(pid, 5000));
        }
        game.close();
        EXPECT_EQ(game.waitForExit(15000), std::optional<int>(0)) << game.output().toStdString();
        if (!soundsOn) {
            EXPECT_TRUE(game.readFile(QStringLiteral("quintelle.ini"))
                            .value_or(QByteArray())
                            .contains("Sounds=yes"));
        }
    }
}

// A sound server can take the connection and then never answer (hung on a
// device, say). The game must come up, play, and end all the same, silent.
TEST(Cues, ASoundServerThatNeverAnswersHoldsUpNeitherTheWindowNorTheEnd) {
    Desktop desktop({.windowManager = true});
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    QTemporaryDir folder;
    const QByteArray path = QFile::encodeName(folder.filePath(QStringLiteral("mute")));
    // Listening is enough: the connection completes in the backlog and is
    // never accepted, let alone answered.
    struct Socket {
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        ~Socket() { close(fd); }
    } mute;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(size_t(path.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    ASSERT_EQ(bind(mute.fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(mute.fd, 16), 0);

    GameProcess game(desktop);
    game.setEnvironment(QStringLiteral("PULSE_SERVER"),
                        QStringLiteral("unix:") + QFile::decodeName(path));
    ASSERT_TRUE(game.start(15000)) << "no window: " << game.output().toStdString();
    game.click(game.startButton());  // a round's first cue, to the same server
    QThread::msleep(300);
    game.click(game.cellCentre(1, 1));
    QThread::msleep(300);
    EXPECT_TRUE(game.running());
    game.close();
    EXPECT_EQ(game.waitForExit(15000), std::optional<int>(0)) << game.output().toStdString();
}
