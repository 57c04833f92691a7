// The folder the settings and tally files are looked for in.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/appdir.h"

using quintelle::platform::createPlayerFilesFolder;
using quintelle::platform::executableFolder;
using quintelle::platform::installedCopy;
using quintelle::platform::installedMarkerPath;
using quintelle::platform::playerFilesFolder;
using quintelle::platform::setExecutableFolder;

TEST(ExecutableFolder, EndsInExactlyOneSeparator) {
    const std::pair<QString, QString> rows[] = {
        {"/tmp/quintelle-test", QDir::toNativeSeparators("/tmp/quintelle-test/")},
        {"/tmp/quintelle-test/", QDir::toNativeSeparators("/tmp/quintelle-test/")},
        {"/", QDir::toNativeSeparators("/")},
    };
    for (const auto& [folder, expected] : rows) {
        setExecutableFolder(folder);
        EXPECT_EQ(executableFolder(), expected) << folder.toStdString();
    }
    setExecutableFolder({});
}

TEST(ExecutableFolder, WithoutOverrideIsTheExecutablesOwnFolder) {
    setExecutableFolder({});
    const QString folder = executableFolder();
    EXPECT_EQ(folder,
              QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + QDir::separator());
    EXPECT_TRUE(QDir(folder).exists());
}

// A data folder of its own under a temporary XDG_DATA_HOME, with the names
// the program gives itself.
class PlayerFilesFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        savedData_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(root_.filePath(QStringLiteral("data"))));
        QCoreApplication::setOrganizationName(QStringLiteral("Orvanta"));
        QCoreApplication::setApplicationName(QStringLiteral("Quintelle"));
    }
    void TearDown() override {
        setExecutableFolder({});
        qputenv("XDG_DATA_HOME", savedData_);
        QCoreApplication::setOrganizationName({});
    }
    QString path(const QString& name) const { return root_.filePath(name); }
    QString dataFolder() const {
        return QDir::toNativeSeparators(path(QStringLiteral("data/Orvanta/Quintelle/")));
    }

  private:
    QTemporaryDir root_;
    QByteArray savedData_;
};

// An installed copy keeps its files in the data folder, even for root, who
// may write its folder; a portable copy beside itself, unless it cannot.
TEST_F(PlayerFilesFolder, BesideAPortableCopyInTheDataFolderForAnInstalledOne) {
    struct Row {
        const char* folder;
        bool installed;
        bool writable;
        bool beside;
    };
    const Row rows[] = {
        {"portable", false, true, true},
        {"portable-read-only", false, false, false},
        {"installed", true, true, false},
        {"installed-read-only", true, false, false},
        {"missing", false, true, false},
        {"plain-file", false, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.folder);
        // Each copy under a prefix of its own, as the installation lays it out.
        const QString prefix = path(QString::fromLatin1(row.folder));
        const QString folder = prefix + QStringLiteral("/games");
        setExecutableFolder(folder);
        QDir().mkpath(prefix);
        if (row.folder == QStringLiteral("plain-file")) {
            QFile file(folder);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        } else if (row.folder != QStringLiteral("missing")) {
            QDir().mkpath(folder);
        }
        if (row.installed) {
            QDir().mkpath(QFileInfo(installedMarkerPath()).path());
            QFile marker(installedMarkerPath());
            ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
            ASSERT_TRUE(installedMarkerPath().startsWith(prefix + u'/'));
        }
        // Root writes any folder: its read-only rows say nothing.
        if (!row.writable && ::geteuid() == 0) continue;
        if (!row.writable) QFile(folder).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_EQ(installedCopy(), row.installed);
        EXPECT_EQ(playerFilesFolder(), row.beside ? QDir::toNativeSeparators(folder) +
                                                        QDir::separator()
                                                  : dataFolder());
        QFile(folder).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST_F(PlayerFilesFolder, TheDataFolderIsMadeByWritersOnly) {
    setExecutableFolder(path(QStringLiteral("missing")));
    EXPECT_EQ(playerFilesFolder(), dataFolder());
    EXPECT_FALSE(QDir(dataFolder()).exists()) << "asking must not create it";
    EXPECT_EQ(createPlayerFilesFolder(), dataFolder());
    EXPECT_TRUE(QDir(dataFolder()).exists());
    EXPECT_FALSE(QDir(path(QStringLiteral("missing"))).exists());
}
