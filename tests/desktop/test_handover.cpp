// The update hand-over of the built program on a real desktop: a newer
// version on the server, the player's yes, the installer downloaded and
// started with its silent parameters, the program gone with exit code 0.
#include <gtest/gtest.h>

#include <QFile>

#include "tests/desktop/panels.h"
#include "tests/support/desktop.h"
#include "tests/support/scripted_server.h"

using namespace quintelle::testing;
using quintelle::testsupport::Reply;
using quintelle::testsupport::ScriptedServer;

namespace {

// The "installer": notes its arguments and which of the program's files
// were already there when it started.
const char* const kInstaller =
    "#!/bin/sh\n"
    "here=$(dirname \"$0\")\n"
    "{\n"
    "  for a in \"$@\"; do echo \"argument $a\"; done\n"
    "  [ -f \"$here/quintelle.ini\" ] && echo settings\n"
    "  [ -f \"$here/quintelletally.tld\" ] && echo tally\n"
    "} > \"$here/installer-ran.part\"\n"
    "mv \"$here/installer-ran.part\" \"$here/installer-ran\"\n";

std::string requestLine(const std::string& bytes) {
    return bytes.substr(0, bytes.find("\r\n"));
}

}  // namespace

TEST(UpdateHandOver, YesDownloadsAndStartsTheInstallerThenTheProgramEnds) {
    Desktop desktop;
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    ScriptedServer server(
        {Reply::ok("9.9.9", "text/plain"), Reply::ok(kInstaller, "application/octet-stream")});
    GameProcess game(desktop);
    game.writeSettings({QStringLiteral("Update=true"),
                        QStringLiteral("Server=") + QString::fromStdString(server.hostPort())});
    const auto program = game.readFile(QStringLiteral("quintelle"));
    ASSERT_TRUE(program.has_value());
    ASSERT_TRUE(game.start()) << game.output().toStdString();

    // The offer comes up over the name panel, reaching 8 pixels above it.
    ASSERT_TRUE(server.waitForRequests(1, std::chrono::seconds(30)));
    ASSERT_TRUE(waitUntil(
        [&] {
            const QImage client = game.grab();
            return woodShare(game, client, QRect(40, 104, 300, 6)) > 0.8;
        },
        20000))
        << "no update panel";
    EXPECT_FALSE(game.readFile(QStringLiteral("installer-ran")).has_value());
    game.click(game.onBoard(updateYesButton()));

    const auto code = game.waitForExit(60000);
    EXPECT_EQ(code, std::optional<int>(0)) << game.output().toStdString();
    ASSERT_TRUE(waitUntil(
        [&] { return game.readFile(QStringLiteral("installer-ran")).has_value(); }, 20000))
        << "the installer never ran\n"
        << game.output().toStdString();

    EXPECT_EQ(*game.readFile(QStringLiteral("installer-ran")),
              "argument /SP-\nargument /silent\nargument /noicons\nsettings\ntally\n");
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
