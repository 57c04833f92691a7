// The update offer: which version texts offer it, when it comes up and how
// its keys behave, what cancel leaves alone, and how the signed download
// ends, judged by the panel and the files in the executable's folder.
#include <QDir>
#include <QTcpServer>

#include "data/updatemanifest.h"
#include "mainwindow_fixture.h"
#include "net/httpget.h"
#include "net/updatedownload.h"
#include "tests/support/scripted_server.h"
#include "tests/support/update_testkey.h"
#include "ui/main/program.h"

namespace {

using quintelle::testsupport::Reply;
using quintelle::testsupport::ScriptedServer;

// The manifest of `installer`, signed for version 2.0.0 with `key`.
Reply manifestFor(const std::string& installer, const quintelle::update::SecretKey& key =
                                                    quintelle::testsupport::testUpdateSecret()) {
    quintelle::update::Sha256Stream hash;
    hash.add(installer.data(), installer.size());
    return Reply::ok(
        quintelle::update::signManifest({"2.0.0", installer.size(), hash.finish()}, key),
        "text/plain");
}

class UpdateTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        quintelle::platform::setExecutableFolder(folder());
        quintelle::net::setUpdateKey(quintelle::testsupport::testUpdateKey());
        quintelle::platform::installSoundBackend(
            std::make_unique<SoundRecorder>(std::make_shared<std::vector<QString>>()));
    }
    void TearDown() override {
        program_.reset();
        quintelle::platform::setExecutableName({});
        quintelle::net::setUpdateKey(quintelle::net::builtInUpdateKey());
        MainWindowTest::TearDown();
    }

    // The running program as a file of the test folder, and the windows; the
    // check at start is off unless asked for, so the server sees only the
    // download.
    Tmain& start(const QString& executable, const std::string& server = "127.0.0.1:9",
                 bool checkAtStart = false) {
        quintelle::platform::setExecutableName(executable);
        writeFile(executable, "the program");
        writeIni({QStringLiteral("Server=") + QString::fromStdString(server),
                  checkAtStart ? QStringLiteral("Update=true") : QStringLiteral("Update=false")});
        program_ = std::make_unique<quintelle::ui::ProgramWindows>();
        showFirstFrame(program_->main());
        return program_->main();
    }

    QStringList files() const { return QDir(folder()).entryList(QDir::Files, QDir::Name); }

    // The offer up, the name panel settled, the player's yes, and the
    // download to its end.
    void acceptOffer(Tmain& main) {
        QTest::mouseClick(widget("button_namedone"), Qt::LeftButton);
        main.updateOffer().checkupdateDoneString(&main, QStringLiteral("2.0.0"));
        ASSERT_TRUE(widget("panel_update")->isVisible());
        QTest::mouseClick(widget("button_updateyes"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !main.updateOffer().downloading(); }, 10000));
    }

    QWidget* widget(const char* name) { return program_->main().control(QString(name)); }
    QString updateStatus() { return qobject_cast<QLabel*>(widget("label_update"))->text(); }

    std::unique_ptr<quintelle::ui::ProgramWindows> program_;
};

TEST_F(UpdateTest, OnlyAnExactlyEqualVersionTextOffersNothing) {
    const std::pair<QString, bool> rows[] = {
        {QStringLiteral("1.0.0"), false},    {QStringLiteral("1.0.0\n"), true},
        {QStringLiteral("1.0.0\r\n"), true}, {QStringLiteral(" 1.0.0"), true},
        {QStringLiteral("1.0.1"), true},     {QStringLiteral("<html>404</html>"), true},
    };
    Tmain& main = start(QStringLiteral("quintelle"));
    QTest::mouseClick(widget("button_namedone"), Qt::LeftButton);
    for (const auto& [body, offered] : rows) {
        SCOPED_TRACE(body.toStdString());
        widget("panel_update")->hide();
        main.updateOffer().checkupdateDoneString(&main, body);
        EXPECT_EQ(widget("panel_update")->isVisible(), offered);
    }
}

// The check at start asks the server for its version text when the option
// is on, and only then; the answer decides the offer.
TEST_F(UpdateTest, TheCheckAtStartAsksTheServerWhenTheOptionIsOn) {
    const struct Row {
        bool checkAtStart;
        const char* answer;
        bool offered;
        bool keyBuiltIn = true;  // a build without one offers no updates
    } rows[] = {{true, "2.0.0", true},
                {true, "1.0.0", false},
                {false, "2.0.0", false},
                {true, "2.0.0", false, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.answer) + (row.checkAtStart ? " on" : " off") +
                     (row.keyBuiltIn ? "" : ", no key"));
        quintelle::net::setUpdateKey(
            row.keyBuiltIn ? std::optional(quintelle::testsupport::testUpdateKey()) : std::nullopt);
        ScriptedServer server({Reply::ok(row.answer, "text/plain")});
        Tmain& main = start(QStringLiteral("quintelle"), server.hostPort(), row.checkAtStart);
        EXPECT_EQ(main.findChild<QAction*>("updatecheck")->isVisible(), row.keyBuiltIn);
        QTest::mouseClick(widget("button_namedone"), Qt::LeftButton);
        auto* check = main.findChild<THTTPGet*>(QStringLiteral("checkupdate"));
        ASSERT_NE(check, nullptr);
        const bool asks = row.checkAtStart && row.keyBuiltIn;
        EXPECT_EQ(check->busy(), asks);
        // The answer is handed over on the window's thread once the fetch ends.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !check->busy(); }, 10000));
        if (asks) {
            ASSERT_TRUE(server.waitForRequests(1));
            const std::string request = server.requests()[0].bytes;
            EXPECT_EQ(request.substr(0, request.find("\r\n")),
                      "GET /quintelle/quintelleversion.txt HTTP/1.0");
            EXPECT_NE(request.find("User-Agent: Quintelle HTTPGet\r\n"), std::string::npos);
        }
        EXPECT_EQ(widget("panel_update")->isVisible(), row.offered);
        EXPECT_EQ(server.connections(), asks ? 1 : 0);
        program_.reset();
    }
}

// An installed copy is updated by whatever installed it: it neither asks the
// server nor shows the option, and keeps the player's setting as it was.
TEST_F(UpdateTest, OnlyAPortableCopyChecksAndShowsTheOption) {
    for (const bool installed : {false, true}) {
        SCOPED_TRACE(installed ? "installed" : "portable");
        const QString prefix = QDir(folder()).filePath(installed ? "installed" : "portable");
        quintelle::platform::setExecutableFolder(prefix + QStringLiteral("/games"));
        QDir().mkpath(prefix + QStringLiteral("/games"));
        if (installed) {
            QDir().mkpath(QFileInfo(quintelle::platform::installedMarkerPath()).path());
            QFile(quintelle::platform::installedMarkerPath()).open(QIODevice::WriteOnly);
        }
        const QByteArray savedData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(prefix + QStringLiteral("/data")));
        ScriptedServer server({Reply::ok("2.0.0", "text/plain")});
        const QString settings =
            quintelle::platform::createPlayerFilesFolder() + QStringLiteral("quintelle.ini");
        QFile ini(settings);
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[quintelle]\r\nServer=" + QByteArray::fromStdString(server.hostPort()) +
                  "\r\nUpdate=true\r\n");
        ini.close();

        program_ = std::make_unique<quintelle::ui::ProgramWindows>();
        showFirstFrame(program_->main());
        EXPECT_EQ(program_->main().findChild<QAction*>("updatecheck")->isVisible(), !installed);
        auto* check = program_->main().findChild<THTTPGet*>(QStringLiteral("checkupdate"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !check->busy(); }, 10000));
        EXPECT_EQ(server.connections(), installed ? 0 : 1);
        program_.reset();
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
        EXPECT_TRUE(ini.readAll().contains("Update=true\r\n"));
        qputenv("XDG_DATA_HOME", savedData);
    }
}

TEST_F(UpdateTest, CancelHidesTheOfferAndTouchesNoFile) {
    Tmain& main = start(QStringLiteral("quintelle.exe"));
    QTest::mouseClick(widget("button_namedone"), Qt::LeftButton);
    main.updateOffer().checkupdateDoneString(&main, QStringLiteral("2.0.0"));
    ASSERT_TRUE(widget("panel_update")->isVisible());
    const QStringList before = files();
    QTest::mouseClick(widget("button_updatecancel"), Qt::LeftButton);
    EXPECT_FALSE(widget("panel_update")->isVisible());
    EXPECT_EQ(files(), before);
    EXPECT_EQ(readFile("quintelle.exe"), "the program");
}

// The offer comes up only once the name panel is settled, takes no focus,
// leaves Enter to the board and goes with Escape.
TEST_F(UpdateTest, TheOfferWaitsForTheNamePanelAndLeavesTheKeysToTheBoard) {
    Tmain& main = start(QStringLiteral("quintelle"));
    ASSERT_TRUE(widget("panel_name")->isVisible());
    main.updateOffer().checkupdateDoneString(&main, QStringLiteral("2.0.0"));
    EXPECT_FALSE(widget("panel_update")->isVisible()) << "one panel at a time";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // the name panel's DONE
    EXPECT_FALSE(widget("panel_name")->isVisible());
    ASSERT_TRUE(widget("panel_update")->isVisible());
    EXPECT_FALSE(widget("panel_update")->isAncestorOf(QApplication::focusWidget()));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(main.game().dealing()) << "Enter started a game";
    EXPECT_TRUE(widget("panel_update")->isVisible());
    EXPECT_FALSE(main.updateOffer().downloading());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(widget("panel_update")->isVisible());
    EXPECT_EQ(readFile("quintelle"), "the program");
}

// However the download fails, the player reads why on the panel and can close
// it; the program never left its name and nothing downloaded is left.
TEST_F(UpdateTest, AFailedUpdateSaysWhyAndThePanelCanBeClosed) {
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    const std::string installer = "#!/bin/sh\nexit 0\n";
    std::string tampered = installer;
    tampered[12] ^= 1;
    const struct Row {
        const char* what;
        std::vector<Reply> script;  // none: nothing listens
        const char* status;
        const char* outcome;
    } rows[] = {
        {"nothing listens", {}, "Download Aborted", "The update could not be downloaded."},
        {"no manifest",
         {Reply::status(404, "Not Found", "none")},
         "Download Aborted",
         "The update could not be downloaded."},
        {"a tampered installer",
         {manifestFor(installer), Reply::ok(tampered)},
         "Refused: installer altered",
         "This update is not safe to install."},
        {"a foreign key",
         {manifestFor(installer, quintelle::update::generateKeyPair().secretKey),
          Reply::ok(installer)},
         "Refused: unknown signing key",
         "This update is not safe to install."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ScriptedServer server(row.script);
        writeFile(QStringLiteral("quintelle.BAK"), "an old backup");
        Tmain& main = start(
            QStringLiteral("quintelle"),
            row.script.empty() ? "127.0.0.1:" + std::to_string(closedPort) : server.hostPort());
        ASSERT_NO_FATAL_FAILURE(acceptOffer(main));

        EXPECT_EQ(updateStatus(), row.status);
        EXPECT_EQ(qobject_cast<QLabel*>(widget("Label6"))->text(), row.outcome);
        EXPECT_FALSE(widget("button_updateyes")->isVisible());
        ASSERT_TRUE(widget("button_updatecancel")->isVisible());
        EXPECT_EQ(readFile("quintelle"), "the program");
        EXPECT_EQ(files(), (QStringList{"quintelle", "quintelle.BAK", "quintelle.ini"}));
        QTest::mouseClick(widget("button_updatecancel"), Qt::LeftButton);
        EXPECT_FALSE(widget("panel_update")->isVisible());
        if (!row.script.empty()) {
            ASSERT_TRUE(server.waitForRequests(1));
            const std::string request = server.requests()[0].bytes;
            EXPECT_EQ(request.substr(0, request.find("\r\n")),
                      "GET /quintelle/qtlsetup.manifest HTTP/1.0");
        }
        program_.reset();
        QFile::remove(QDir(folder()).filePath("quintelletally.tld"));
    }
}

TEST_F(UpdateTest, AnInstallerThatCannotStartIsReportedAndTheProgramStays) {
    const std::string installer = "not a program";
    ScriptedServer server({manifestFor(installer), Reply::ok(installer)});
    Tmain& main = start(QStringLiteral("quintelle"), server.hostPort());
    MessageBoxAnswerer answerer;
    ASSERT_NO_FATAL_FAILURE(acceptOffer(main));
    EXPECT_TRUE(answerer.shown().startsWith(
        "There was an error in the update process. Please download QUINTELLE manually from "));
    EXPECT_TRUE(answerer.shown().endsWith(u'.'));
    EXPECT_EQ(updateStatus(), "Installing");
    EXPECT_TRUE(widget("button_updatecancel")->isVisible());
    EXPECT_EQ(readFile("quintelle"), "the program");
    EXPECT_FALSE(QFile::exists(QDir(folder()).filePath("quintelle.BAK")));
    EXPECT_TRUE(main.isVisible());
}

TEST_F(UpdateTest, TheInstallerStartsWithItsParametersAfterTheSettingsAreWritten) {
    const QString argsFile = QDir(folder()).filePath("args.txt");
    const QString tallyPath = QDir(folder()).filePath("quintelletally.tld");
    const std::string script =
        "#!/bin/sh\n"
        "test -f '" +
        iniPath().toStdString() + "' && test -f '" + tallyPath.toStdString() +
        "' && echo \"$@\" > '" + argsFile.toStdString() + ".part' && mv '" +
        argsFile.toStdString() + ".part' '" + argsFile.toStdString() + "'\n";
    ScriptedServer server({manifestFor(script), Reply::ok(script, "application/octet-stream")});
    Tmain& main = start(QStringLiteral("quintelle"), server.hostPort());
    QFile::remove(iniPath());
    QFile::remove(tallyPath);
    ASSERT_NO_FATAL_FAILURE(acceptOffer(main));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !main.isVisible(); }, 5000)) << "the program ends";
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(argsFile); }, 10000));
    EXPECT_EQ(readFile("args.txt"), "/SP- /silent /noicons\n");
    EXPECT_TRUE(QFileInfo(QDir(folder()).filePath("qtlsetup.exe")).isExecutable());
    EXPECT_EQ(readFile("quintelle.BAK"), "the program");
}

}  // namespace
