// The update hand-over of the built program on a real desktop: a newer
// version on the server, the player's yes, the installer downloaded and
// started with its silent parameters, the program gone with exit code 0.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QFile>

#include "tests/desktop/panels.h"
#include "tests/support/desktop.h"
#include "tests/support/scripted_server.h"

using namespace quintelle::testing;
using quintelle::testsupport::Reply;
using quintelle::testsupport::ScriptedServer;

namespace {

// The "installer": notes the arguments it was started with.
const char* const kInstaller =
    "#!/bin/sh\n"
    "here=$(dirname \"$0\")\n"
    "for a in \"$@\"; do echo \"argument $a\"; done > \"$here/installer-ran.part\"\n"
    "mv \"$here/installer-ran.part\" \"$here/installer-ran\"\n";

// What happens to the files of a folder, in order, as the kernel saw it: a
// file "written" (closed after writing, or renamed into place) or "opened"
// (starting a script opens it too).
class FolderEvents {
  public:
    explicit FolderEvents(const QString& folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (fd_ >= 0)
            inotify_add_watch(fd_, QFile::encodeName(folder).constData(),
                              IN_CLOSE_WRITE | IN_MOVED_TO | IN_OPEN);
    }
    ~FolderEvents() {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderEvents(const FolderEvents&) = delete;
    FolderEvents& operator=(const FolderEvents&) = delete;

    bool watching() const { return fd_ >= 0; }

    // Everything seen so far, as "written NAME" and "opened NAME".
    QStringList read() {
        alignas(inotify_event) char buffer[64 * 1024];
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0) break;
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                const QString name = QFile::decodeName(event->len ? event->name : "");
                if (event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) seen_ << "written " + name;
                if (event->mask & IN_OPEN) seen_ << "opened " + name;
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        return seen_;
    }

  private:
    int fd_;
    QStringList seen_;
};

// Starts the game with its update check on `server`, and waits for the
// offer of the newer version the server names.
void startToTheOffer(GameProcess& game, const ScriptedServer& server) {
    game.writeSettings({QStringLiteral("Update=true"),
                        QStringLiteral("Server=") + QString::fromStdString(server.hostPort())});
    ASSERT_TRUE(game.start()) << game.output().toStdString();
    ASSERT_TRUE(server.waitForRequests(1, std::chrono::seconds(30)));
    // The offer comes up over the name panel, reaching 8 pixels above it.
    ASSERT_TRUE(waitUntil(
        [&] { return woodShare(game, game.grab(), QRect(40, 104, 300, 6)) > 0.8; }, 20000))
        << "no update panel";
}

std::string requestLine(const std::string& bytes) {
    return bytes.substr(0, bytes.find("\r\n"));
}

}  // namespace

TEST(UpdateHandOver, YesDownloadsAndStartsTheInstallerThenTheProgramEnds) {
    Desktop desktop({.screen = {1024, 768}});  // the board at its design size
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    ScriptedServer server(
        {Reply::ok("9.9.9", "text/plain"), Reply::ok(kInstaller, "application/octet-stream")});
    GameProcess game(desktop);
    const auto program = game.readFile(QStringLiteral("quintelle"));
    ASSERT_TRUE(program.has_value());
    ASSERT_NO_FATAL_FAILURE(startToTheOffer(game, server));
    EXPECT_FALSE(game.readFile(QStringLiteral("installer-ran")).has_value());
    FolderEvents events(game.folder());
    ASSERT_TRUE(events.watching());
    game.click(game.onBoard(updateYesButton()));

    const auto code = game.waitForExit(60000);
    EXPECT_EQ(code, std::optional<int>(0)) << game.output().toStdString();
    ASSERT_TRUE(waitUntil(
        [&] { return game.readFile(QStringLiteral("installer-ran")).has_value(); }, 20000))
        << "the installer never ran\n"
        << game.output().toStdString();

    EXPECT_EQ(*game.readFile(QStringLiteral("installer-ran")),
              "argument /SP-\nargument /silent\nargument /noicons\n");

    // Between the installer's download and its start, the program wrote its
    // settings and its tally: the installer may replace them at once.
    const QStringList seen = events.read();
    const qsizetype downloaded = seen.lastIndexOf(QStringLiteral("written qtlsetup.exe"));
    ASSERT_GE(downloaded, 0) << seen.join(u',').toStdString();
    const qsizetype started = seen.indexOf(QStringLiteral("opened qtlsetup.exe"), downloaded);
    ASSERT_GT(started, downloaded) << seen.join(u',').toStdString();
    const QStringList before = seen.mid(downloaded, started - downloaded);
    EXPECT_TRUE(before.contains(QStringLiteral("written quintelle.ini")))
        << seen.join(u',').toStdString();
    EXPECT_TRUE(before.contains(QStringLiteral("written quintelletally.tld")))
        << seen.join(u',').toStdString();
    EXPECT_EQ(game.readFile(QStringLiteral("qtlsetup.exe")), std::optional<QByteArray>(kInstaller));
    EXPECT_EQ(game.readFile(QStringLiteral("quintelle.BAK")), program)
        << "the running program steps aside for the installer";
    EXPECT_FALSE(QFile::exists(game.filePath(QStringLiteral("quintelle"))));

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requestLine(requests[0].bytes), "GET /quintelle/quintelleversion.txt HTTP/1.0");
    EXPECT_EQ(requestLine(requests[1].bytes), "GET /quintelle/qtlsetup.exe HTTP/1.0");
    EXPECT_NE(requests[1].bytes.find("\r\nUser-Agent: Mozilla/3.0 (compatible)\r\n"),
              std::string::npos)
        << requests[1].bytes;
}

// A logout while the installer is still coming in: the program that stepped
// aside for it is back under its own name, and the session's settings and
// tally are written, as when the player closes the window.
TEST(UpdateHandOver, EndingTheSessionDuringTheDownloadPutsTheProgramBack) {
    Desktop desktop({.screen = {1024, 768}});  // the board at its design size
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    ScriptedServer server({Reply::ok("9.9.9", "text/plain"),
                           Reply()
                               .send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n#!/bin/sh\n")
                               .pause(std::chrono::minutes(2))});
    GameProcess game(desktop);
    const auto program = game.readFile(QStringLiteral("quintelle"));
    ASSERT_TRUE(program.has_value());
    ASSERT_NO_FATAL_FAILURE(startToTheOffer(game, server));
    game.click(game.onBoard(updateYesButton()));
    ASSERT_TRUE(server.waitForRequests(2, std::chrono::seconds(20)));
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(game.filePath("quintelle.BAK")); }, 10000));

    ASSERT_EQ(::kill(pid_t(game.processId()), SIGTERM), 0);
    EXPECT_EQ(game.waitForExit(10000), std::optional<int>(0)) << game.output().toStdString();
    EXPECT_EQ(game.readFile(QStringLiteral("quintelle")), program);
    EXPECT_FALSE(QFile::exists(game.filePath(QStringLiteral("quintelle.BAK"))));
    EXPECT_FALSE(game.readFile(QStringLiteral("installer-ran")).has_value());
    EXPECT_TRUE(game.readFile(QStringLiteral("quintelletally.tld")).has_value());
    EXPECT_TRUE(game.readFile(QStringLiteral("quintelle.ini"))->contains("Sounds="));
}
