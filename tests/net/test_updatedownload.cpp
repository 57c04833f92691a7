// The update after the player's yes, against a scripted vendor server: an
// installer runs only when its signed manifest, its size and its hash all
// check, and whatever else happens the program stays under its own name and
// nothing downloaded is left behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "net/updatedownload.h"
#include "tests/support/scripted_server.h"

using namespace quintelle;
using namespace quintelle::update;
using quintelle::net::UpdateDownload;
using quintelle::testsupport::Reply;
using quintelle::testsupport::ScriptedServer;
using std::chrono::milliseconds;

namespace {

const KeyPair& vendorKey() {
    static const KeyPair pair = generateKeyPair();
    return pair;
}

Manifest manifestFor(const std::string& installer, const std::string& version = "1.0.1") {
    Sha256Stream hash;
    hash.add(installer.data(), installer.size());
    return Manifest{version, installer.size(), hash.finish()};
}

std::string signedFor(const std::string& installer, const std::string& version = "1.0.1") {
    return signManifest(manifestFor(installer, version), vendorKey().secretKey);
}

Reply raw(const std::string& bytes) {
    return Reply::ok(bytes, "application/octet-stream");
}

// One update against a server answering the manifest and then the installer.
struct Update {
    QTemporaryDir folder;
    QString program = folder.filePath(QStringLiteral("quintelle"));
    ScriptedServer server;
    QStringList started;  // installers started, with their bytes
    QStringList statuses;
    QString failure;
    int failures = 0;
    std::unique_ptr<UpdateDownload> download;

    explicit Update(std::vector<Reply> script, bool startsFine = true) : server(std::move(script)) {
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
        setup.startInstaller = [this, startsFine](const QString& path) {
            QFile installer(path);
            installer.open(QIODevice::ReadOnly);
            // The program has stepped aside by now.
            started << QString::fromLatin1(installer.readAll()) +
                           (QFile::exists(program) ? " (program in place)" : "");
            return startsFine;
        };
        download = std::make_unique<UpdateDownload>(setup);
        QObject::connect(download.get(), &UpdateDownload::status,
                         [this](const QString& text) { statuses << text; });
        QObject::connect(download.get(), &UpdateDownload::failed,
                         [this](UpdateDownload::Failure, const QString& text) {
                             failure = text;
                             ++failures;
                         });
    }

    bool run(int timeoutMs = 10000) {
        download->start();
        return QTest::qWaitFor([&] { return !download->running(); }, timeoutMs);
    }

    QStringList files() const { return QDir(folder.path()).entryList(QDir::Files, QDir::Name); }
    QByteArray programBytes() const {
        QFile file(program);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
};

}  // namespace

TEST(UpdateDownload, RunsOnlyAnInstallerThatItsSignedManifestVouchesFor) {
    const std::string installer = "#!/bin/sh\necho the new version\n";
    std::string tampered = installer;
    tampered[3] ^= 1;
    const KeyPair stranger = generateKeyPair();
    const std::string altered = [&] {
        std::string text = signedFor(installer);
        text.replace(text.find("1.0.1"), 5, "9.9.9");
        return text;
    }();
    const struct Row {
        const char* name;
        std::vector<Reply> script;
        const char* failure;  // empty: the installer runs
    } rows[] = {
        {"signed and whole", {raw(signedFor(installer)), raw(installer)}, ""},
        {"a tampered byte", {raw(signedFor(installer)), raw(tampered)}, "Refused: installer altered"},
        {"a longer installer", {raw(signedFor(installer)), raw(installer + "x")},
         "Refused: wrong installer size"},
        {"a shorter one, no length",
         {raw(signedFor(installer)), Reply().send("HTTP/1.0 200 OK\r\n\r\n" + installer.substr(3))},
         "Download Aborted"},
        {"a foreign key",
         {raw(signManifest(manifestFor(installer), stranger.secretKey)), raw(installer)},
         "Refused: unknown signing key"},
        {"an altered manifest", {raw(altered), raw(installer)}, "Refused: bad signature"},
        {"an older signed version", {raw(signedFor(installer, "0.9")), raw(installer)},
         "Refused: not a newer version"},
        {"no manifest", {Reply::status(404, "Not Found", "none"), raw(installer)},
         "Download Aborted"},
        {"a manifest too long", {raw(std::string(5000, 'm'))}, "Download Aborted"},
        {"installer refused", {raw(signedFor(installer)), Reply::status(500, "Oops", "")},
         "Download Aborted"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Update update(row.script);
        ASSERT_TRUE(update.run());
        const bool runs = *row.failure == 0;
        EXPECT_EQ(update.failure, row.failure);
        EXPECT_EQ(update.started,
                  runs ? QStringList{QString::fromStdString(installer)} : QStringList{});
        if (runs) {
            EXPECT_EQ(update.statuses,
                      (QStringList{"Updating. Please Wait...",
                                   QStringLiteral("Received %1 bytes").arg(installer.size()),
                                   "Installing"}));
            EXPECT_EQ(update.files(), (QStringList{"qtlsetup.exe", "quintelle.BAK"}));
        } else {
            EXPECT_FALSE(update.download->detail().isEmpty());
            EXPECT_EQ(update.files(), QStringList{"quintelle"});
            EXPECT_EQ(update.programBytes(), "the program");
        }
        EXPECT_EQ(update.failures, runs ? 0 : 1);
    }
}

TEST(UpdateDownload, AnInstallerThatDoesNotStartPutsTheProgramBack) {
    const std::string installer = "setup";
    Update update({raw(signedFor(installer)), raw(installer)}, false);
    ASSERT_TRUE(update.run());
    EXPECT_EQ(update.started, QStringList{"setup"});
    EXPECT_EQ(update.failure, "Installing");
    EXPECT_EQ(update.files(), QStringList{"quintelle"});
    EXPECT_EQ(update.programBytes(), "the program");
}

TEST(UpdateDownload, AStopMidwayLeavesTheProgramAndNoDownload) {
    const std::string installer(10000, 'i');
    Reply drip;
    drip.send("HTTP/1.0 200 OK\r\nContent-Length: 10000\r\n\r\n");
    for (int i = 0; i < 100; ++i) drip.send(std::string(100, 'i')).pause(milliseconds(50));
    Update update({raw(signedFor(installer)), drip});
    QSignalSpy progress(update.download.get(), &UpdateDownload::progress);
    update.download->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return progress.count() >= 3; }, 10000));
    update.download->stop();
    EXPECT_FALSE(update.download->running());
    EXPECT_EQ(update.files(), QStringList{"quintelle"});
    QTest::qWait(300);
    EXPECT_EQ(update.failures, 0) << update.failure.toStdString();
    EXPECT_TRUE(update.started.isEmpty());
}

TEST(UpdateDownload, TheBuiltInKeyIsTheBuildsSetting) {
    EXPECT_EQ(quintelle::net::builtInUpdateKey().has_value(),
              std::string_view(QUINTELLE_UPDATE_KEY).size() == 64);
    EXPECT_EQ(quintelle::net::backupPathOf("/a/quint.elle.bin"), "/a/quint.elle.BAK");
    EXPECT_EQ(quintelle::net::backupPathOf("/a.d/quintelle"), "/a.d/quintelle.BAK");
}
