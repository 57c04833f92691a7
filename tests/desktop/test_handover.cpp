// The update hand-over of the built program on a real desktop: a newer
// version signed on the vendor's server, the player's yes, the installer
// downloaded, checked and started with its silent parameters, the program
// gone with exit code 0; and a session that ends in the middle of it.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "data/tallystore.h"
#include "data/updatemanifest.h"
#include "tests/desktop/panels.h"
#include "tests/support/desktop.h"
#include "tests/support/scripted_server.h"
#include "tests/support/update_testkey.h"

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
// file "written" (closed after writing, renamed into place, or linked into
// place whole from a file without a name) or "opened" (starting a script
// opens it too).
class FolderEvents {
  public:
    explicit FolderEvents(const QString& folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (fd_ >= 0)
            inotify_add_watch(fd_, QFile::encodeName(folder).constData(),
                              IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_OPEN);
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
                if (event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE))
                    seen_ << "written " + name;
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

// The vendor's own service on a port of its own, serving `files`.
class VendorService {
  public:
    VendorService(const QString& files, const QString& database) {
        process_.setProgram(QStringLiteral(QUINTELLE_SERVER_EXE));
        process_.setArguments({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                               QStringLiteral("--db"), database, QStringLiteral("--files"), files,
                               QStringLiteral("--version-text"), QStringLiteral("9.9.9")});
        process_.start();
        // Its first line names the port the kernel picked.
        if (!process_.waitForReadyRead(20000)) return;
        const QByteArray line = process_.readLine();
        const qsizetype colon = line.lastIndexOf(':');
        if (line.contains("listening on") && colon > 0)
            port_ = line.mid(colon + 1).split('/').first().toInt();
    }
    ~VendorService() {
        process_.terminate();
        if (!process_.waitForFinished(10000)) process_.kill();
    }
    int port() const { return port_; }

  private:
    QProcess process_;
    int port_ = 0;
};

std::optional<QByteArray> runTool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral(QUINTELLE_SIGN_EXE), arguments);
    if (!tool.waitForFinished(20000) || tool.exitCode() != 0) return std::nullopt;
    return tool.readAllStandardOutput();
}

// Starts the game with its update check on `server` ("host:port"), settles
// the name panel and waits for the offer.
void startToTheOffer(GameProcess& game, const QString& server) {
    game.writeSettings({QStringLiteral("Update=true"), QStringLiteral("Server=") + server});
    ASSERT_TRUE(game.start()) << game.output().toStdString();
    game.key(QStringLiteral("Return"));  // the name panel's DONE
    ASSERT_TRUE(waitUntil([&] { return updateOfferShown(game); }, 20000)) << "no update panel";
}

std::string requestLine(const std::string& bytes) {
    return bytes.substr(0, bytes.find("\r\n"));
}

}  // namespace

// The vendor signs an installer into the service's files folder; the game,
// which trusts the vendor's key, offers it once the name panel is settled,
// downloads and checks it, and hands over to it.
TEST(UpdateHandOver, ASignedUpdateFromOurOwnServerInstallsEndToEnd) {
    QTemporaryDir vendor;
    ASSERT_TRUE(vendor.isValid());
    const QString files = vendor.filePath(QStringLiteral("files"));
    ASSERT_TRUE(QDir().mkpath(files));
    // The vendor's tool makes key pairs; the game of the tests trusts the
    // tests' own pair, written as the tool writes its secret.
    ASSERT_TRUE(runTool({QStringLiteral("keygen"), vendor.filePath(QStringLiteral("new.secret")),
                         vendor.filePath(QStringLiteral("new.public"))}));
    const QString secret = vendor.filePath(QStringLiteral("vendor.secret"));
    {
        QFile key(secret);
        ASSERT_TRUE(key.open(QIODevice::WriteOnly));
        key.write(QByteArray(quintelle::testsupport::kTestUpdateSecret) + "\n");
    }
    const QString script = vendor.filePath(QStringLiteral("setup.sh"));
    {
        QFile installer(script);
        ASSERT_TRUE(installer.open(QIODevice::WriteOnly));
        installer.write(kInstaller);
    }
    ASSERT_TRUE(runTool({QStringLiteral("sign"), secret, script, QStringLiteral("9.9.9"), files}));
    ASSERT_TRUE(QFile::exists(QDir(files).filePath(QStringLiteral("qtlsetup.manifest"))));
    VendorService service(files, vendor.filePath(QStringLiteral("scores.db")));
    ASSERT_NE(service.port(), 0);

    Desktop desktop({.screen = {1024, 768}});  // the board at its design size
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    GameProcess game(desktop, QStringLiteral(QUINTELLE_TESTKEY_GAME));
    const auto program = game.readFile(QStringLiteral("quintelle"));
    ASSERT_TRUE(program.has_value());
    game.writeSettings(
        {QStringLiteral("Update=true"), QStringLiteral("Server=127.0.0.1:%1").arg(service.port())});
    ASSERT_TRUE(game.start()) << game.output().toStdString();
    PingProbe pings(desktop, game.window());

    // One panel at a time: the offer waits while the name panel is up.
    EXPECT_FALSE(waitUntil([&] { return updateOfferShown(game); }, 3000))
        << "the offer came up over the name panel";
    game.key(QStringLiteral("Return"));  // the name panel's DONE
    ASSERT_TRUE(waitUntil([&] { return updateOfferShown(game); }, 20000)) << "no update panel";
    // No button of the offer holds the focus: Enter starts a game, a round
    // the tally counts.
    game.key(QStringLiteral("Return"));
    EXPECT_FALSE(game.readFile(QStringLiteral("installer-ran")).has_value());
    ASSERT_TRUE(updateOfferShown(game));

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
    std::cout << "[ figures ] signed update: worst ping " << pings.worstMs() << " ms of "
              << pings.answered() << "\n";
    EXPECT_LT(pings.worstMs(), 1000) << "the window froze";

    // The verified installer came into place, then the settings and the tally
    // were written (the installer may replace them at once), then it started.
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

    quintelle::TallyModel tally([] { return std::string(); });
    quintelle::TallyStore(game.folder().toStdString()).load(tally);
    EXPECT_EQ(tally.statistic(quintelle::TallyModel::kRoundsPlayed), "1")
        << "Enter over the offer started a game";
}

// A logout while the verified installer is still coming in: the download
// ends, nothing of it is left, the program never left its name, and the
// session's settings and tally are written, as when the player closes the
// window.
TEST(UpdateHandOver, EndingTheSessionDuringTheDownloadLeavesTheProgram) {
    Desktop desktop({.screen = {1024, 768}});  // the board at its design size
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    const std::string installer = std::string(kInstaller) + std::string(100000, '#');
    quintelle::update::Sha256Stream hash;
    hash.add(installer.data(), installer.size());
    ScriptedServer server(
        {Reply::ok("9.9.9", "text/plain"),
         Reply::ok(quintelle::update::signManifest({"9.9.9", installer.size(), hash.finish()},
                                                   quintelle::testsupport::testUpdateSecret()),
                   "text/plain"),
         Reply()
             .send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + installer.substr(0, 500))
             .pause(std::chrono::minutes(2))});
    GameProcess game(desktop, QStringLiteral(QUINTELLE_TESTKEY_GAME));
    const auto program = game.readFile(QStringLiteral("quintelle"));
    ASSERT_TRUE(program.has_value());
    ASSERT_NO_FATAL_FAILURE(startToTheOffer(game, QString::fromStdString(server.hostPort())));
    game.click(game.onBoard(updateYesButton()));
    ASSERT_TRUE(server.waitForRequests(3, std::chrono::seconds(20)));

    ASSERT_EQ(::kill(pid_t(game.processId()), SIGTERM), 0);
    EXPECT_EQ(game.waitForExit(10000), std::optional<int>(0)) << game.output().toStdString();
    EXPECT_EQ(game.readFile(QStringLiteral("quintelle")), program);
    EXPECT_EQ(QDir(game.folder()).entryList(QDir::Files, QDir::Name),
              (QStringList{"quintelle", "quintelle.ini", "quintelletally.tld"}))
        << "nothing of the download is left";
    EXPECT_TRUE(game.readFile(QStringLiteral("quintelletally.tld")).has_value());
    EXPECT_TRUE(game.readFile(QStringLiteral("quintelle.ini"))->contains("Sounds="));
}
