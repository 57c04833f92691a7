#include "platform/appdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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
}  // namespace

QString executableFolder() {
    QString folder =
        overrideFolder().isEmpty() ? QCoreApplication::applicationDirPath() : overrideFolder();
    folder = QDir::toNativeSeparators(folder);
    if (!folder.endsWith(QDir::separator())) folder += QDir::separator();
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
