// The game's own windows and network clients against a real quintelle-server
// process on loopback: a score posted from the game-over panel comes back on
// the high-score page, and the update check and installer download work
// against what the server publishes.
#include <QAction>
#include <QBuffer>
#include <QLabel>
#include <QRegularExpression>
#include <QDir>
#include <QTextDocument>
#include <fstream>
#include <optional>

#include "data/updatemanifest.h"
#include "mainwindow_fixture.h"
#include "net/httpcli.h"
#include "net/httpget.h"
#include "net/server.h"
#include "net/updatedownload.h"
#include "platform/dates.h"
#include "tests/server/harness.h"
#include "tests/support/update_testkey.h"
#include "ui/daily/dailyresult.h"
#include "ui/daily/dailyround.h"
#include "ui/highscore/highscoreform.h"
#include "ui/highscore/htmlviewer.h"
#include "ui/main/program.h"
#include "version.h"

namespace {

using quintelle::testing::ServerProcess;
using quintelle::testing::TempDir;

class GameAndService : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        quintelle::net::setUpdateKey(quintelle::testsupport::testUpdateKey());
    }
    void TearDown() override {
        program_.reset();
        quintelle::net::setUpdateKey(quintelle::net::builtInUpdateKey());
        quintelle::platform::setExecutableName({});
        quintelle::net::resetVendorServer();
        MainWindowTest::TearDown();
    }

    // A server on its own SQLite file, publishing `version` and whatever is
    // put into files() before it starts.
    ServerProcess& serve(const std::string& version, std::vector<std::string> more = {}) {
        std::vector<std::string> options{"--files", files_.path().string(), "--version-text",
                                         version};
        options.insert(options.end(), more.begin(), more.end());
        server_ = std::make_unique<ServerProcess>((data_.path() / "scores.db").string(), options);
        return *server_;
    }
    const std::filesystem::path& files() const { return files_.path(); }

    // The whole program, as the player starts it, pointed at the server.
    Tmain& startGame(bool checkAtStart) {
        quintelle::platform::setExecutableFolder(folder());
        quintelle::platform::setExecutableName(QStringLiteral("quintelle"));
        writeFile(QStringLiteral("quintelle"), "the program");
        writeIni({QStringLiteral("Server=127.0.0.1:%1").arg(server_->port()),
                  QStringLiteral("Update=%1").arg(checkAtStart ? "true" : "false")});
        program_ = std::make_unique<quintelle::ui::ProgramWindows>();
        showFirstFrame(program_->main());
        // The name panel settled: the update offer waits for it.
        QTest::mouseClick(program_->main().control(QStringLiteral("button_namedone")),
                          Qt::LeftButton);
        return program_->main();
    }

    // Signs the installer in files() for `version` with the tests' key, as
    // the vendor's tool does.
    void sign(const std::string& installer, const std::string& version) {
        quintelle::update::Sha256Stream hash;
        hash.add(installer.data(), installer.size());
        std::ofstream(files() / "qtlsetup.exe", std::ios::binary) << installer;
        std::ofstream(files() / "qtlsetup.manifest", std::ios::binary)
            << quintelle::update::signManifest({version, installer.size(), hash.finish()},
                                               quintelle::testsupport::testUpdateSecret());
    }
    quintelle::ui::ProgramWindows& program() { return *program_; }

    // Posts from the game-over panel as the player does and returns how the
    // post ended; an accepted post also waits until the high-score window
    // shows its page with its pictures.
    PostingOutcome::Kind post(int score, const QString& name) {
        Thighscore& highscore = *program_->highscore();
        highscore.hide();
        std::optional<PostingOutcome::Kind> ended;
        auto watch = QObject::connect(&highscore, &Thighscore::postingEnded,
                                      [&](const PostingOutcome& o) { ended = o.kind; });
        program_->main().board().setTag(quintelle::controls::label_score, score);
        qobject_cast<QLineEdit*>(program_->main().control(QStringLiteral("edit_name")))
            ->setText(name);
        program_->main().board().show(quintelle::controls::panel_cleared);
        MessageBoxAnswerer refusal;  // a refused post is told in a box
        QTest::mouseClick(program_->main().control(QStringLiteral("button_sendscore")),
                          Qt::LeftButton);
        const bool answered = QTest::qWaitFor([&] { return ended.has_value(); }, 15000);
        QObject::disconnect(watch);
        EXPECT_TRUE(answered) << score;
        if (ended != PostingOutcome::Accepted) return ended.value_or(PostingOutcome::Failed);
        EXPECT_TRUE(QTest::qWaitFor([&] { return highscore.isVisible(); }, 15000)) << score;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return !highscore.getit().busy() && !highscore.displayhtml()->pageLoading() &&
                       highscore.displayhtml()->picturesPending() == 0;
            },
            15000));
        return PostingOutcome::Accepted;
    }

  private:
    TempDir data_, files_;
    std::unique_ptr<ServerProcess> server_;
    std::unique_ptr<quintelle::ui::ProgramWindows> program_;
};

// The table rows of the page as the viewer shows them (one cell a line,
// after the Rank/Name/Score/Date heading), cells joined by "|".
std::vector<std::string> shownRows(const QTextDocument& page) {
    const QStringList lines = page.toPlainText().split(u'\n');
    std::vector<std::string> rows;
    qsizetype at = lines.indexOf(QStringLiteral("Rank"));
    if (at < 0) return rows;
    for (at += 4; at + 4 <= lines.size(); at += 4) {
        bool ranked = false;
        lines[at].toInt(&ranked);
        if (!ranked) break;
        rows.push_back(lines.mid(at, 4).join(u'|').toStdString());
    }
    return rows;
}

TEST_F(GameAndService, PostedScoresComeBackRankedOnTheHighScorePage) {
    serve("1.0.0");
    startGame(false);
    const std::string today =
        quintelle::platform::postingDate(QDate::currentDate(), quintelle::platform::dateSeparator())
            .toStdString();
    const struct Row {
        int score;
        QString typed;
        PostingOutcome::Kind ends;
    } posts[] = {{1234, QStringLiteral("Ann Lee&Co"), PostingOutcome::Accepted},
                 {5000, QString(), PostingOutcome::Accepted},
                 {1234, QStringLiteral("Zo\u00eb <b>"), PostingOutcome::Accepted},
                 // Sent unescaped, this name gives the post two dates: it has no
                 // single reading, so the server refuses it and stores nothing.
                 {-40, QStringLiteral("a=b&date=x"), PostingOutcome::Refused}};
    for (const Row& row : posts) EXPECT_EQ(post(row.score, row.typed), row.ends) << row.score;

    const THtmlViewer& viewer = *program().highscore()->displayhtml();
    const std::vector<std::string> expected = {
        "1|Guest|5000|" + today,
        "2|Ann Lee&Co|1234|" + today,
        "3|Zo\u00eb <b>|1234|" + today,
    };
    EXPECT_EQ(shownRows(*viewer.document()), expected) << viewer.toPlainText().toStdString();

    // The page's logo, its one picture, is the server's own, fetched by the viewer.
    const QVariant picture = viewer.document()->resource(QTextDocument::ImageResource,
                                                         QUrl(QStringLiteral("picture:0")));
    ASSERT_TRUE(picture.canConvert<QImage>());
    EXPECT_GT(picture.value<QImage>().width(), 1);
}

TEST_F(GameAndService, TheUpdateCheckOffersOnlyAVersionOtherThanTheGames) {
    const std::string own(quintelle::kVersion);
    const struct Row {
        std::string published;
        bool offered;
    } rows[] = {{own, false}, {own + "1", true}, {"0.9", true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.published);
        serve(row.published);
        Tmain& main = startGame(true);
        auto* check = main.findChild<THTTPGet*>(QStringLiteral("checkupdate"));
        ASSERT_NE(check, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !check->busy(); }, 15000));
        EXPECT_EQ(main.control(QStringLiteral("panel_update"))->isVisible(), row.offered);
    }
}

TEST_F(GameAndService, TheOfferedInstallerIsDownloadedWholeAndStarted) {
    // A stand-in installer: records its parameters, as the real one would
    // take them.
    const QString argsFile = QDir(folder()).filePath(QStringLiteral("args.txt"));
    std::string installer = "#!/bin/sh\necho \"$@\" > '" + argsFile.toStdString() +
                            ".part' && mv '" + argsFile.toStdString() + ".part' '" +
                            argsFile.toStdString() + "'\n";
    installer += "# " + std::string(20000, 'x') + "\n";  // several reads long
    sign(installer, "99.0");
    serve("99.0");
    Tmain& main = startGame(true);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return main.control(QStringLiteral("panel_update"))->isVisible(); }, 15000));
    QTest::mouseClick(main.control(QStringLiteral("button_updateyes")), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(argsFile); }, 15000));
    EXPECT_EQ(readFile(QStringLiteral("args.txt")), "/SP- /silent /noicons\n");
    EXPECT_EQ(readFile(QStringLiteral("qtlsetup.exe")), QByteArray::fromStdString(installer));
}

TEST_F(GameAndService, AMissingInstallerAbortsTheDownloadAndPutsTheProgramBack) {
    serve("99.0");
    Tmain& main = startGame(true);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return main.control(QStringLiteral("panel_update"))->isVisible(); }, 15000));
    QTest::mouseClick(main.control(QStringLiteral("button_updateyes")), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return qobject_cast<QLabel*>(main.control(QStringLiteral("label_update")))->text() ==
                   QStringLiteral("Download Aborted");
        },
        15000));
    EXPECT_EQ(readFile(QStringLiteral("quintelle")), "the program");
    EXPECT_FALSE(QFile::exists(QDir(folder()).filePath(QStringLiteral("quintelle.BAK"))));
    EXPECT_TRUE(main.isVisible());
}

// The download client alone: the installer's bytes and Content-Length as
// served, and the server's 404 raised with its status.
TEST_F(GameAndService, TheDownloadClientFetchesWhatTheServerPublishes) {
    std::string bytes;
    for (int i = 0; i < 300000; ++i) bytes += char(i * 7 + i / 256);
    std::ofstream(files() / "qtlsetup.exe", std::ios::binary) << bytes;
    ServerProcess& server = serve("1.0.0");
    const QString base = QStringLiteral("http://127.0.0.1:%1/quintelle/").arg(server.port());

    THttpCli client;
    QBuffer body;
    body.open(QIODevice::WriteOnly);
    client.ReceiveStream = &body;
    client.URL = base + QStringLiteral("qtlsetup.exe");
    client.RunGet();
    EXPECT_EQ(client.ResponseStatus(), 200);
    EXPECT_EQ(client.BodyLength(), qint64(bytes.size()));
    EXPECT_EQ(body.data(), QByteArray::fromStdString(bytes));

    std::filesystem::remove(files() / "qtlsetup.exe");
    body.buffer().clear();
    body.seek(0);
    int raised = 0;
    try {
        client.RunGet();
    } catch (const EHttpException& e) {
        raised = e.ErrorCode;
    }
    EXPECT_EQ(raised, 404);
    // An error page is kept only as far as it came with its header.
    const std::string page =
        quintelle::testing::httpGet(server.port(), "/quintelle/qtlsetup.exe").body;
    EXPECT_FALSE(page.empty());
    EXPECT_TRUE(page.starts_with(body.data().toStdString())) << body.data().toStdString();
}

}  // namespace

// --- the Daily Deal ------------------------------------------------------------

namespace {

// Plays today's deal from the File menu by clicking the cells, each once its
// card is on offer: the top left twice (a card and the replacement), then the
// rest row by row. The result panel's lines once it shows.
QStringList playDailyDeal(Tmain& main) {
    main.findChild<QAction*>(QStringLiteral("DailyDeal1"))->trigger();
    quintelle::GameController& game = main.game();
    EXPECT_TRUE(QTest::qWaitFor([&] { return game.dailyRound() && game.dealing(); }, 15000));
    std::vector<int> order{11};
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) order.push_back(r * 10 + c);
    for (int address : order) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !game.awaitingCard(); }, 15000)) << address;
        QTest::mouseClick(main.control(QStringLiteral("image_card%1").arg(address)), Qt::LeftButton);
    }
    auto& panel = main.dailyRound().resultPanel();
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.isVisible(); }, 15000));
    QStringList lines;
    for (int i = 1; i <= 5; ++i)
        if (auto* label = panel.findChild<QLabel*>(QStringLiteral("label_daily%1").arg(i)))
            if (!label->text().isEmpty()) lines << label->text();
    return lines;
}

}  // namespace

// Today's deal played on the board against the real server: the result shows
// the server's score, the place and the expert's par; a second round the same
// day is practice and the first stays the counted one, on the day's list too.
TEST_F(GameAndService, ADailyDealShowsTheServersRankAndParAndASecondRoundIsPractice) {
    serve("1.0.0", {"--par-playouts", "50"});
    Tmain& main = startGame(false);
    qobject_cast<QLineEdit*>(main.control(QStringLiteral("edit_name")))
        ->setText(QStringLiteral("Ann Lee"));

    const QStringList first = playDailyDeal(main);
    ASSERT_EQ(first.size(), 4) << first.join(u'|').toStdString();
    const QRegularExpression total(QStringLiteral("^Points (\\d+) \\+ time bonus (\\d+) = (\\d+)$"));
    const auto m = total.match(first[1]);
    ASSERT_TRUE(m.hasMatch()) << first[1].toStdString();
    const QString score = m.captured(3);
    // The board's own scoring of the grid agrees with the server's points.
    EXPECT_EQ(main.game().roundscore(), m.captured(1).toInt());
    EXPECT_EQ(first[2], QStringLiteral("Rank 1 of 1"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^You %1, expert \\d+$").arg(score))
                    .match(first[3])
                    .hasMatch())
        << first[3].toStdString();

    const QStringList second = playDailyDeal(main);
    ASSERT_EQ(second.size(), 5) << second.join(u'|').toStdString();
    EXPECT_TRUE(second[1].startsWith(QLatin1String("Practice: "))) << second[1].toStdString();
    EXPECT_EQ(second[2], QStringLiteral("Your counted score today: ") + score);
    EXPECT_EQ(second[3], QStringLiteral("Rank 1 of 1"));

    // The panel's list button shows the day's list: the counted round alone.
    Thighscore& highscore = *program().highscore();
    QTest::mouseClick(main.dailyRound().resultPanel().findChild<QWidget*>(
                          QStringLiteral("button_dailylist")),
                      Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return highscore.isVisible(); }, 15000));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return !highscore.getit().busy() &&
                   highscore.displayhtml()->toPlainText().contains(QLatin1String("Ann Lee"));
        },
        15000));
    const QString list = highscore.displayhtml()->toPlainText();
    EXPECT_EQ(list.count(QStringLiteral("Ann Lee")), 1) << list.toStdString();
    EXPECT_TRUE(list.contains(score)) << list.toStdString();
}
