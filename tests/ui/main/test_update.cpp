// The update offer: which version texts offer it, what cancel leaves alone,
// and how the download ends, judged by the panel and the files in the
// executable's folder.
#include <QDir>
#include <QTcpServer>
#include <atomic>

#include "mainwindow_fixture.h"
#include "net/httpget.h"
#include "tests/support/scripted_server.h"
#include "ui/main/program.h"

namespace {

using quintelle::testsupport::RecordedRequest;
using quintelle::testsupport::Reply;
using quintelle::testsupport::ScriptedServer;

class UpdateTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        quintelle::platform::setExecutableFolder(folder());
        quintelle::platform::installSoundBackend(
            std::make_unique<SoundRecorder>(std::make_shared<std::vector<QString>>()));
    }
    void TearDown() override {
        program_.reset();
        quintelle::platform::setExecutableName({});
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
    } rows[] = {{true, "2.0.0", true}, {true, "1.0.0", false}, {false, "2.0.0", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.answer) + (row.checkAtStart ? " on" : " off"));
        ScriptedServer server({Reply::ok(row.answer, "text/plain")});
        Tmain& main = start(QStringLiteral("quintelle"), server.hostPort(), row.checkAtStart);
        auto* check = main.findChild<THTTPGet*>(QStringLiteral("checkupdate"));
        ASSERT_NE(check, nullptr);
        EXPECT_EQ(check->busy(), row.checkAtStart);
        // The answer is handed over on the window's thread once the fetch ends.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !check->busy(); }, 10000));
        if (row.checkAtStart) {
            ASSERT_TRUE(server.waitForRequests(1));
            const std::string request = server.requests()[0].bytes;
            EXPECT_EQ(request.substr(0, request.find("\r\n")),
                      "GET /quintelle/quintelleversion.txt HTTP/1.0");
            EXPECT_NE(request.find("User-Agent: Quintelle HTTPGet\r\n"), std::string::npos);
        }
        EXPECT_EQ(widget("panel_update")->isVisible(), row.offered);
        EXPECT_EQ(server.connections(), row.checkAtStart ? 1 : 0);
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
    main.updateOffer().checkupdateDoneString(&main, QStringLiteral("2.0.0"));
    const QStringList before = files();
    QTest::mouseClick(widget("button_updatecancel"), Qt::LeftButton);
    EXPECT_FALSE(widget("panel_update")->isVisible());
    EXPECT_EQ(files(), before);
    EXPECT_EQ(readFile("quintelle.exe"), "the program");
}

TEST_F(UpdateTest, ADownloadThatCannotConnectPutsTheProgramBack) {
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    const struct {
        const char* executable;
        const char* backup;
    } rows[] = {{"quintelle.exe", "quintelle.BAK"},
                {"quintelle", "quintelle.BAK"},
                {"quint.elle.bin", "quint.elle.BAK"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.executable);
        writeFile(row.backup, "an old backup");
        Tmain& main = start(QString(row.executable), "127.0.0.1:" + std::to_string(closedPort));
        main.updateOffer().checkupdateDoneString(&main, QStringLiteral("2.0.0"));
        QTest::mouseClick(widget("button_updateyes"), Qt::LeftButton);

        EXPECT_EQ(updateStatus(), "Download Aborted");
        EXPECT_TRUE(widget("panel_update")->isVisible());
        EXPECT_FALSE(widget("button_updateyes")->isVisible());
        EXPECT_FALSE(widget("button_updatecancel")->isVisible());
        EXPECT_EQ(readFile(row.executable), "the program");
        EXPECT_FALSE(QFile::exists(QDir(folder()).filePath(row.backup)))
            << "the old backup was replaced by the program, which went back";
        EXPECT_EQ(readFile("qtlsetup.exe"), "");
        program_.reset();
        QFile::remove(QDir(folder()).filePath("qtlsetup.exe"));
    }
}

TEST_F(UpdateTest, AFailedDownloadLeavesTheProgramUnderItsOwnName) {
    struct Row {
        const char* executable;
        const char* backup;
    } rows[] = {{"quintelle.exe", "quintelle.BAK"},
                {"quintelle", "quintelle.BAK"},
                {"quint.elle.bin", "quint.elle.BAK"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.executable);
        ScriptedServer server({Reply::status(404, "Not Found", "no such installer")});
        // While the request is served, the program has stepped aside.
        std::atomic<bool> asideDuringDownload = false;
        server.onRequest([&](const RecordedRequest&) {
            asideDuringDownload = !QFile::exists(QDir(folder()).filePath(row.executable)) &&
                                  QFile(QDir(folder()).filePath(row.backup)).size() == 11;
        });
        writeFile(row.backup, "an old backup");
        Tmain& main = start(QString(row.executable), server.hostPort());
        main.updateOffer().checkupdateDoneString(&main, QStringLiteral("2.0.0"));
        QTest::mouseClick(widget("button_updateyes"), Qt::LeftButton);

        EXPECT_TRUE(asideDuringDownload);
        EXPECT_EQ(updateStatus(), "Download Aborted");
        EXPECT_TRUE(widget("panel_update")->isVisible());
        EXPECT_FALSE(widget("button_updateyes")->isVisible());
        EXPECT_EQ(readFile(row.executable), "the program");
        EXPECT_FALSE(QFile::exists(QDir(folder()).filePath(row.backup)));
        EXPECT_EQ(readFile("qtlsetup.exe"), "no such installer");
        ASSERT_TRUE(server.waitForRequests(1));
        EXPECT_EQ(server.requests()[0].bytes.substr(0, 38),
                  "GET /quintelle/qtlsetup.exe HTTP/1.0\r\n");
        program_.reset();
        QFile::remove(QDir(folder()).filePath("qtlsetup.exe"));
    }
}

TEST_F(UpdateTest, AnInstallerThatCannotStartIsReportedAndTheProgramStays) {
    ScriptedServer server({Reply::ok("not a program", "application/octet-stream")});
    Tmain& main = start(QStringLiteral("quintelle"), server.hostPort());
    main.updateOffer().checkupdateDoneString(&main, QStringLiteral("2.0.0"));
    MessageBoxAnswerer answerer;
    QTest::mouseClick(widget("button_updateyes"), Qt::LeftButton);
    EXPECT_TRUE(answerer.shown().startsWith(
        "There was an error in the update process. Please download QUINTELLE manually from "));
    EXPECT_TRUE(answerer.shown().endsWith(u'.'));
    EXPECT_EQ(updateStatus(), "Installing");
    EXPECT_EQ(readFile("quintelle"), "the program");
    EXPECT_EQ(readFile("qtlsetup.exe"), "not a program");
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
    ScriptedServer server({Reply::ok(script, "application/octet-stream")});
    Tmain& main = start(QStringLiteral("quintelle"), server.hostPort());
    QFile::remove(iniPath());
    QFile::remove(tallyPath);
    main.updateOffer().checkupdateDoneString(&main, QStringLiteral("2.0.0"));
    QTest::mouseClick(widget("button_updateyes"), Qt::LeftButton);
    EXPECT_FALSE(main.isVisible()) << "the program ends";
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(argsFile); }, 10000));
    EXPECT_EQ(readFile("args.txt"), "/SP- /silent /noicons\n");
    EXPECT_TRUE(QFileInfo(QDir(folder()).filePath("qtlsetup.exe")).isExecutable());
}

}  // namespace
