#include "platform/appdir.h"

#include <QCoreApplication>
#include <QDir>

namespace quintelle::platform {
namespace {
QString& overrideFolder() {
    static QString folder;
    return folder;
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

}  // namespace quintelle::platform
