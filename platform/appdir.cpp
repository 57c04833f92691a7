#include "platform/appdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quintelle::platform {
namespace {
QString& overrideFolder() {
    static QString folder;
    return folder;
}
QString& overrideName() {
    static QString name;
    return name;
}

QString withSeparator(QString folder) {
    folder = QDir::toNativeSeparators(folder);
    if (!folder.endsWith(QDir::separator())) folder += QDir::separator();
    return folder;
}
}  // namespace

QString executableFolder() {
    return withSeparator(overrideFolder().isEmpty() ? QCoreApplication::applicationDirPath()
                                                    : overrideFolder());
}

QString installedMarkerPath() {
    return QDir::cleanPath(executableFolder() + QStringLiteral(QUINTELLE_INSTALLED_MARKER));
}

bool installedCopy() {
    return QFileInfo::exists(installedMarkerPath());
}

QString playerFilesFolder() {
    const QString beside = executableFolder();
    const QFileInfo info(beside);
    if (!installedCopy() && info.isDir() && info.isWritable()) return beside;
    return withSeparator(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString createPlayerFilesFolder() {
    const QString folder = playerFilesFolder();
    QDir().mkpath(folder);  // a failure shows as the writer's own error
    return folder;
}

void setExecutableFolder(const QString& folder) {
    overrideFolder() = folder;
}

QString executablePath() {
    const QString name = overrideName().isEmpty()
                             ? QFileInfo(QCoreApplication::applicationFilePath()).fileName()
                             : overrideName();
    return executableFolder() + name;
}

void setExecutableName(const QString& name) {
    overrideName() = name;
}

}  // namespace quintelle::platform
