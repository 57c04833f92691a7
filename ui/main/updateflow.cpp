// The update offer on the main window: the server's version text against our
// own, and on the player's word the installer's download and the hand-over.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <stdexcept>

#include "net/httpcli.h"
#include "net/server.h"
#include "platform/appdir.h"
#include "platform/shell.h"
#include "ui/main/application.h"
#include "ui/main/mainform.h"
#include "version.h"

using namespace quintelle;

namespace {

// The executable's path with its extension (of the file name only) replaced
// by ".BAK", or ".BAK" appended when it has none.
QString backupPathOf(const QString& executable) {
    const QFileInfo info(executable);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return info.dir().filePath((dot > 0 ? name.left(dot) : name) + QStringLiteral(".BAK"));
}

}  // namespace

void Tmain::checkupdateDoneString(QObject* /*sender*/, const QString& body) {
    if (body == QLatin1String(kVersion.data(), static_cast<qsizetype>(kVersion.size()))) return;
    showPanel(control(QStringLiteral("panel_update")));
}

void Tmain::button_updatecancelClick() {
    control(QStringLiteral("panel_update"))->hide();
}

void Tmain::button_updateyesClick() {
    control(QStringLiteral("button_updateyes"))->hide();
    control(QStringLiteral("button_updatecancel"))->hide();
    label_update->setText(QStringLiteral("Updating. Please Wait..."));
    executable_ = platform::executablePath();
    backup_ = backupPathOf(executable_);
    QFile::remove(backup_);
    // The installer replaces the program under its own name; the running copy
    // steps aside. Should that fail, the download still goes on.
    if (!QFile::rename(executable_, backup_)) backup_.clear();
    downloadit();
}

void Tmain::restoreExecutable() {
    if (!backup_.isEmpty() && !QFile::exists(executable_)) QFile::rename(backup_, executable_);
    backup_.clear();
}

void Tmain::downloadit() {
    getupdate->URL = net::vendorServer().address(net::vendorpath::installer(installerName_));
    QString name = getupdate->URL;
    while (name.contains(u'/')) name = name.mid(name.indexOf(u'/') + 1);
    const QString path = QFileInfo(executable_.isEmpty() ? platform::executablePath() : executable_)
                             .dir()
                             .filePath(name);

    QFile installer(path);
    if (!installer.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        restoreExecutable();
        throw std::runtime_error(QStringLiteral("Cannot create file %1")
                                     .arg(QDir::toNativeSeparators(path))
                                     .toStdString());
    }
    getupdate->ReceiveStream = &installer;
    bool failed = false;
    try {
        getupdate->RunGet();
        installer.flush();
        label_update->setText(QStringLiteral("Received %1 bytes").arg(installer.size()));
    } catch (const EHttpException&) {
        label_update->setText(QStringLiteral("Download Aborted"));
        failed = true;
    } catch (...) {
        installer.close();
        getupdate->ReceiveStream = nullptr;
        restoreExecutable();
        throw;
    }
    installer.close();
    getupdate->ReceiveStream = nullptr;
    if (failed) {
        restoreExecutable();
        return;
    }

    label_update->setText(QStringLiteral("Installing"));
    installer.setPermissions(installer.permissions() | QFileDevice::ExeOwner |
                             QFileDevice::ExeGroup | QFileDevice::ExeOther);
    // The installer may replace our files at once: what this run changed is
    // written before it starts.
    ui::guarded([this] { saveinifile(); });
    if (windows_.saveTally) windows_.saveTally();
    if (platform::shellStart(path, {QStringLiteral("/SP-"), QStringLiteral("/silent"),
                                    QStringLiteral("/noicons")})) {
        backup_.clear();
        close();
        return;
    }
    restoreExecutable();
    const QString vendor = windows_.vendorLink ? windows_.vendorLink->address() : QString();
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(),
                    QStringLiteral("There was an error in the update process. Please download ") +
                        productWord_.toUpper() + QStringLiteral(" manually from ") + vendor + u'.',
                    QMessageBox::Ok, this);
    box.exec();
}
