// The folder the settings and tally files are looked for in.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>

#include "platform/appdir.h"

using quintelle::platform::executableFolder;
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
