// The folder the settings and tally files are looked for in.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/appdir.h"

using quintelle::platform::createPlayerFilesFolder;
using quintelle::platform::executableFolder;
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

TEST_F(PlayerFilesFolder, BesideTheExecutableOnlyWhileItsFolderIsWritable) {
    QDir().mkpath(path(QStringLiteral("portable")));
    QDir().mkpath(path(QStringLiteral("installed")));
    QFile(path(QStringLiteral("installed"))).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    QFile file(path(QStringLiteral("plain-file")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    struct Row {
        const char* folder;
        bool beside;
        bool needsNonRoot;  // root may write any folder
    };
    const Row rows[] = {
        {"portable", true, false},
        {"installed", false, true},
        {"missing", false, false},
        {"plain-file", false, false},
    };
    for (const Row& row : rows) {
        if (row.needsNonRoot && ::geteuid() == 0) continue;
        const QString folder = path(QString::fromLatin1(row.folder));
        setExecutableFolder(folder);
        const QString expected =
            row.beside ? QDir::toNativeSeparators(folder) + QDir::separator() : dataFolder();
        EXPECT_EQ(playerFilesFolder(), expected) << row.folder;
    }
    QFile(path(QStringLiteral("installed")))
        .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(PlayerFilesFolder, TheDataFolderIsMadeByWritersOnly) {
    setExecutableFolder(path(QStringLiteral("missing")));
    EXPECT_EQ(playerFilesFolder(), dataFolder());
    EXPECT_FALSE(QDir(dataFolder()).exists()) << "asking must not create it";
    EXPECT_EQ(createPlayerFilesFolder(), dataFolder());
    EXPECT_TRUE(QDir(dataFolder()).exists());
    EXPECT_FALSE(QDir(path(QStringLiteral("missing"))).exists());
}
