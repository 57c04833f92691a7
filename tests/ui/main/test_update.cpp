// The update offer: which version texts offer it, what cancel leaves alone,
// and how the download ends, judged by the panel and the files in the
// executable's folder.
#include <QDir>
#include <QTcpServer>

#include "mainwindow_fixture.h"
#include "ui/main/program.h"

namespace {

class UpdateTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        quintelle::platform::setExecutableFolder(folder());
        quintelle::platform::installSoundBackend(
            std::make_unique<SoundRecorder>(std::make_shared<std::vector<QString>>()));
    }
    void TearDown() override { quintelle::platform::setExecutableName({}); }

    // The running program as a file of the test folder, and the windows.
    Tmain& start(const QString& executable, const std::string& server = "127.0.0.1:9") {
        quintelle::platform::setExecutableName(executable);
        writeFile(executable, "the program");
        writeIni({QStringLiteral("Server=") + QString::fromStdString(server)});
        program_ = std::make_unique<quintelle::ui::ProgramWindows>();
        program_->main().show();
        return program_->main();
    }

    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(QDir(folder()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile(const QString& name) const {
        QFile file(QDir(folder()).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
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
        main.checkupdateDoneString(&main, body);
        EXPECT_EQ(widget("panel_update")->isVisible(), offered);
    }
}

TEST_F(UpdateTest, CancelHidesTheOfferAndTouchesNoFile) {
    Tmain& main = start(QStringLiteral("quintelle.exe"));
    main.checkupdateDoneString(&main, QStringLiteral("2.0.0"));
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
        main.checkupdateDoneString(&main, QStringLiteral("2.0.0"));
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

}  // namespace
