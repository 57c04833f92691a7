// The hostile server of the review, row by row: each row is what a server
// that lies, stalls or attacks did, played against the part of the program
// that met it (the update, the score post, the update check, the high-score
// page), and what that part must do instead. Every row is bounded in time;
// every server is on the loopback address.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include "net/httpget.h"
#include "net/server.h"
#include "net/updatedownload.h"
#include "tests/support/hostile_pages.h"
#include "tests/support/scripted_server.h"
#include "ui/highscore/highscoreform.h"
#include "ui/highscore/htmlviewer.h"

using namespace quintelle;
using namespace std::chrono_literals;
using quintelle::net::UpdateDownload;
using namespace quintelle::testsupport;

namespace {

// Short bounds, so a row that stalls ends in a second or two; the program's
// own are longer, and each part's tests show they are the same rule.
constexpr int kStallMs = 2000;
constexpr int kDeadlineMs = 3000;

const update::KeyPair& vendorKey() {
    static const update::KeyPair pair = update::generateKeyPair();
    return pair;
}

const std::string kInstaller = "#!/bin/sh\necho installed\n";

std::string manifestText(const std::string& version = "1.0.1",
                         const update::SecretKey& key = vendorKey().secretKey) {
    update::Sha256Stream hash;
    hash.add(kInstaller.data(), kInstaller.size());
    return update::signManifest({version, kInstaller.size(), hash.finish()}, key);
}

Reply signedManifest() {
    return Reply::ok(manifestText(), "text/plain");
}

Reply drip(const std::string& head, int bytes) {
    Reply reply;
    reply.send(head);
    for (int i = 0; i < bytes; ++i) reply.send("x").pause(200ms);
    return reply;
}

enum class Part { Update, Post, Check, Page };

struct Row {
    const char* what;  // what the server did
    Part part;
    std::vector<Reply> script;
    // What the part must do instead: the update's panel text ("runs" when the
    // installer starts), the post's outcome, the check's status, or a text
    // the page shows.
    std::string expected;
    int boundMs;          // the part is done within this
    int maxRequests = 0;  // when set: the server sees at most this many
};

struct Played {
    std::string outcome;
    int installerRuns = 0;
    QStringList files{};     // in the program's folder, after an update
    QStringList statuses{};  // the update's panel texts
    QImage page{};
};

// The program in a folder of its own, updating from `server`; the installer
// is recorded, not run.
struct UpdateRun {
    QTemporaryDir folder;
    QString program = folder.filePath(QStringLiteral("quintelle"));
    Played played;
    std::unique_ptr<UpdateDownload> download;

    UpdateRun(const ScriptedServer& server, bool installerStarts = true) {
        QFile file(program);
        file.open(QIODevice::WriteOnly);
        file.write("the program");
        file.close();
        UpdateDownload::Setup setup;
        const QString origin = QString::fromStdString(server.origin());
        setup.manifestUrl = origin + QStringLiteral("/quintelle/qtlsetup.manifest");
        setup.installerUrl = origin + QStringLiteral("/quintelle/qtlsetup.exe");
        setup.program = program;
        setup.ourVersion = QStringLiteral("1.0.0");
        setup.key = vendorKey().publicKey;
        setup.stallLimitMs = kStallMs;
        setup.deadlineMs = kDeadlineMs;
        setup.startInstaller = [this, installerStarts](const QString& path) {
            QFile installer(path);
            // Only the verified bytes, and the program already aside.
            if (installer.open(QIODevice::ReadOnly) && installer.readAll() == kInstaller.c_str() &&
                !QFile::exists(program))
                ++played.installerRuns;
            return installerStarts;
        };
        download = std::make_unique<UpdateDownload>(setup);
        played.outcome = "runs";
        QObject::connect(download.get(), &UpdateDownload::status,
                         [this](const QString& text) { played.statuses << text; });
        QObject::connect(download.get(), &UpdateDownload::failed,
                         [this](UpdateDownload::Failure, const QString& text) {
                             played.outcome = text.toStdString();
                         });
    }

    Played run() {
        download->start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !download->running(); }, 20000));
        return finish();
    }

    Played finish() {
        played.files = QDir(folder.path()).entryList(QDir::Files, QDir::Name);
        QFile back(program);
        if (played.outcome != "runs") {
            EXPECT_TRUE(back.open(QIODevice::ReadOnly) && back.readAll() == "the program");
        }
        return played;
    }
};

void shorten(THTTPGet& get) {
    get.StallLimit = std::chrono::milliseconds(kStallMs);
    get.Deadline = std::chrono::milliseconds(kDeadlineMs);
}

Played playPost(Thighscore& window) {
    QStringList outcomes;
    const auto connection =
        QObject::connect(&window, &Thighscore::postingEnded, [&](const PostingOutcome& outcome) {
            const char* kinds[] = {"Accepted", "Refused", "Failed"};
            outcomes << QString::fromLatin1(kinds[outcome.kind]) +
                            (outcome.kind == PostingOutcome::Refused ? ": " + outcome.reason
                                                                     : QString());
        });
    shorten(window.sendit());
    window.sendscore(QStringLiteral("Ann"), QStringLiteral("3/5/26"), QStringLiteral("100"));
    // A second post, from another player, while the first is under way.
    window.sendscore(QStringLiteral("Bo"), QStringLiteral("3/5/26"), QStringLiteral("90"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return outcomes.size() == 2; }, 20000));
    QObject::disconnect(connection);
    window.hide();
    // Each of the two posts ends the same way.
    outcomes.removeDuplicates();
    return {outcomes.join(QStringLiteral(" | ")).toStdString()};
}

Played playCheck(const ScriptedServer& server) {
    THTTPGet check;
    shorten(check);
    check.URL = QStringLiteral("http://127.0.0.1/quintelle/qtlsetup.manifest");
    check.Port = server.port();
    std::string outcome;
    check.OnDoneString = [&](THTTPGet*, const QByteArray&) { outcome = "offered"; };
    check.OnError = [&](THTTPGet* sender) {
        outcome = "not offered, status " + std::to_string(sender->LastResult().Status);
    };
    check.StartFetch();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !check.busy(); }, 20000));
    return {outcome};
}

Played playPage(Thighscore& window) {
    shorten(window.getit());
    window.loadit();
    window.show();
    THtmlViewer& viewer = *window.displayhtml();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return !window.getit().busy() && !viewer.pageLoading() && viewer.picturesPending() == 0;
        },
        20000));
    Played played{viewer.toPlainText().toStdString()};
    played.page = viewer.grab().toImage();
    window.hide();
    return played;
}

int redPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() > 200 && c.green() < 60 && c.blue() < 60;
        }
    return n;
}

}  // namespace

TEST(HostileServer, EveryRowOfTheReviewEndsSoundly) {
    // A picture on this machine that a page names by its path.
    QTemporaryDir local;
    QImage red(120, 120, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString localPicture = local.filePath(QStringLiteral("red.png"));
    ASSERT_TRUE(red.save(localPicture));

    const std::string head200 = "HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n";
    std::string tampered = kInstaller;
    tampered[3] ^= 1;
    std::string altered = manifestText();
    altered.replace(altered.find("1.0.1"), 5, "9.9.9");
    // clang-format off
    const Row rows[] = {
        {"a signed, whole installer",
         Part::Update, {signedManifest(), Reply::ok(kInstaller)}, "runs", 5000},
        {"an installer with a tampered byte",
         Part::Update, {signedManifest(), Reply::ok(tampered)}, "Refused: installer altered",
         5000},
        {"an installer longer than signed",
         Part::Update, {signedManifest(), Reply::ok(kInstaller + "x")},
         "Refused: wrong installer size", 5000},
        {"a manifest signed by a foreign key",
         Part::Update, {Reply::ok(manifestText("1.0.1", update::generateKeyPair().secretKey)),
                        Reply::ok(kInstaller)},
         "Refused: unknown signing key", 5000},
        {"a signed manifest altered to 9.9.9",
         Part::Update, {Reply::ok(altered), Reply::ok(kInstaller)}, "Refused: bad signature",
         5000},
        {"a manifest of 5000 bytes",
         Part::Update, {Reply::ok(std::string(5000, 'm'))}, "Download Aborted", 5000},
        {"installer answered 500",
         Part::Update, {signedManifest(), Reply::status(500, "Error", kInstaller)},
         "Download Aborted", 5000},
        {"an older signed version",
         Part::Update, {Reply::ok(manifestText("0.9")), Reply::ok(kInstaller)},
         "Refused: not a newer version", 5000},
        {"offered 9.9.9 and served a shell script as the installer",
         Part::Update, {Reply::ok("9.9.9"), Reply::ok(kInstaller)}, "Refused: unreadable manifest",
         5000},
        {"no manifest, a shell script as the installer",
         Part::Update, {Reply::status(404, "Not Found", "none"), Reply::ok(kInstaller)},
         "Download Aborted", 5000},
        {"installer with status line HTTP/2 200",
         Part::Update, {signedManifest(), Reply().send("HTTP/2 200\r\n\r\n" + kInstaller)},
         "Download Aborted", 5000},
        {"installer cut short, no Content-Length",
         Part::Update, {signedManifest(),
                        Reply().send("HTTP/1.0 200 OK\r\n\r\n" + kInstaller.substr(0, 9))},
         "Download Aborted", 5000},
        {"accepted the download and never answered",
         Part::Update, {signedManifest(), Reply::silence()}, "Download Aborted", 5000},
        {"sent the installer 1 byte at a time",
         Part::Update, {signedManifest(), drip("HTTP/1.0 200 OK\r\n\r\n", 100)},
         "Download Aborted", 5000},
        {"endless header lines",
         Part::Update, {signedManifest(),
                        Reply().send("HTTP/1.0 200 OK\r\n" + std::string(1 << 20, 'h') + "\r\n")},
         "Download Aborted", 5000},
        {"a post answered 400 (name over the server's limit)",
         Part::Post, {Reply::status(400, "Bad Request",
                                    "Score not accepted: name is longer than 32 bytes.\n")},
         "Refused: Score not accepted: name is longer than 32 bytes.", 5000},
        {"a post answered 429",
         Part::Post, {Reply::status(429, "Too Many Requests",
                                    "Too many scores from your address; please wait a minute.\n")},
         "Refused: Too many scores from your address; please wait a minute.", 5000},
        {"a post answered 503 with a page",
         Part::Post, {Reply::status(503, "Service Unavailable", "<html>down</html>")},
         "Refused: The server refused the score (503 Service Unavailable).", 5000},
        {"a post with no answer",
         Part::Post, {Reply::silence()}, "Failed", 10000},
        {"a post answer dripping a byte at a time",
         Part::Post, {drip(head200, 1000)}, "Failed", 10000},
        {"second post while busy",
         Part::Post, {Reply::ok("Score received.")}, "Accepted", 5000},
        {"update check answered 404",
         Part::Check, {Reply::status(404, "Not Found", "x")}, "not offered, status 404", 5000},
        {"update check answered 500",
         Part::Check, {Reply::status(500, "Error", "x")}, "not offered, status 500", 5000},
        {"update check answered 302",
         Part::Check, {Reply().send("HTTP/1.0 302 Found\r\nLocation: /x\r\n\r\n")},
         "not offered, status 302", 5000},
        {"update check body shorter than its Content-Length",
         Part::Check, {Reply().send("HTTP/1.0 200 OK\r\nContent-Length: 50\r\n\r\n2.0.0").close()},
         "not offered, status 200", 5000},
        {"nested tables, depth 22",
         Part::Page, {Reply::ok(nestedTables(22))}, "deepest", 10000},
        {"nested tables, depth 100",
         Part::Page, {Reply::ok(nestedTables(100))}, "deepest", 10000},
        {"nested tables, depth 3000",
         Part::Page, {Reply::ok(nestedTables(3000))}, "deepest", 10000},
        {"an 8 MiB table",
         Part::Page, {Reply::ok(hugeTable((8 << 20) - 64))}, "The rest of this page is not shown.",
         20000},
        {"a picture by a local path, answered 404",
         Part::Page,
         {Reply::ok("<p>pic <img src=\"" + localPicture.toStdString() + "\"><img src=\"file://" +
                    localPicture.toStdString() + "\"></p>"),
          Reply::status(404, "Not Found", "")},
         "pic", 10000},
        {"200 distinct pictures",
         Part::Page, {Reply::ok(pictures(200, "/p")), Reply::status(404, "Not Found", "")}, "",
         20000, 65},
        {"six 5600 x 5600 pictures",
         Part::Page, {Reply::ok(pictures(6, "/big")),
                      Reply::ok(bombJpeg(5600, 5600), "image/jpeg")},
         "", 20000, 7},
        {"a page over 8 MiB",
         Part::Page, {Reply::ok(std::string((8 << 20) + 1, 'x'))},
         "The high-score list could not be loaded (The answer is over 8388608 bytes). "
         "Please try again later.", 10000},
        {"a page with no answer",
         Part::Page, {Reply::silence()},
         "The high-score list could not be loaded (No answer for 2 seconds). "
         "Please try again later.", 5000},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ScriptedServer server(row.script);
        net::setVendorServer(*net::parseServer(QString::fromStdString(server.hostPort())));
        Thighscore window(nullptr, nullptr);
        QElapsedTimer clock;
        clock.start();
        Played played;
        switch (row.part) {
            case Part::Update:
                played = UpdateRun(server).run();
                break;
            case Part::Post:
                played = playPost(window);
                break;
            case Part::Check:
                played = playCheck(server);
                break;
            case Part::Page:
                played = playPage(window);
                break;
        }
        EXPECT_LT(clock.elapsed(), row.boundMs);
        if (row.part == Part::Page) {
            EXPECT_NE(played.outcome.find(row.expected), std::string::npos) << played.outcome;
        } else {
            EXPECT_EQ(played.outcome, row.expected);
        }
        const bool runs = row.expected == "runs";
        EXPECT_EQ(played.installerRuns, runs ? 1 : 0);
        if (row.part == Part::Update) {
            // Nothing downloaded is left, and the program is under its own name
            // unless the installer runs.
            const QStringList left =
                runs ? QStringList{"qtlsetup.exe", "quintelle.BAK"} : QStringList{"quintelle"};
            EXPECT_EQ(played.files, left);
            const QStringList statuses = {
                "Updating. Please Wait...",
                QStringLiteral("Received %1 bytes").arg(kInstaller.size()), "Installing"};
            if (runs) {
                EXPECT_EQ(played.statuses, statuses);
            }
        }
        EXPECT_EQ(redPixels(played.page), 0) << "a local or oversized picture was shown";
        if (row.maxRequests) {
            EXPECT_LE(server.requests().size(), std::size_t(row.maxRequests));
        }
        if (row.part == Part::Post) {
            // Both posts reached the server: the second was not dropped.
            int posts = 0;
            for (const auto& request : server.requests())
                posts += request.bytes.find("/cgi-bin/") != std::string::npos;
            EXPECT_EQ(posts, 2);
        }
    }
    net::resetVendorServer();
}

TEST(HostileServer, AnInstallerThatDoesNotStartPutsTheProgramBack) {
    ScriptedServer server({signedManifest(), Reply::ok(kInstaller)});
    const Played played = UpdateRun(server, false).run();
    EXPECT_EQ(played.installerRuns, 1);
    EXPECT_EQ(played.outcome, "Installing");
    EXPECT_EQ(played.files, QStringList{"quintelle"});
}

TEST(HostileServer, AStopMidDownloadLeavesTheProgramAndNoDownload) {
    ScriptedServer server({signedManifest(), drip("HTTP/1.0 200 OK\r\n\r\n", 100)});
    UpdateRun update(server);
    int progress = 0;
    QObject::connect(update.download.get(), &UpdateDownload::progress, [&] { ++progress; });
    update.download->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return progress >= 3; }, 10000));
    update.download->stop();
    EXPECT_FALSE(update.download->running());
    QTest::qWait(300);
    const Played played = update.finish();
    EXPECT_EQ(played.outcome, "runs") << "nothing is reported after a stop";
    EXPECT_EQ(played.installerRuns, 0);
    EXPECT_EQ(played.files, QStringList{"quintelle"});
}

TEST(HostileServer, TheBuiltInUpdateKeyIsTheBuildsSetting) {
    EXPECT_EQ(net::builtInUpdateKey().has_value(),
              std::string_view(QUINTELLE_UPDATE_KEY).size() == 64);
    EXPECT_EQ(net::backupPathOf("/a/quint.elle.bin"), "/a/quint.elle.BAK");
    EXPECT_EQ(net::backupPathOf("/a.d/quintelle"), "/a.d/quintelle.BAK");
}
