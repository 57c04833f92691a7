#include "ui/main/updateoffer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <stdexcept>

#include "net/httpcli.h"
#include "net/httpget.h"
#include "net/server.h"
#include "platform/appdir.h"
#include "platform/shell.h"
#include "ui/controls/ImageButton.h"
#include "ui/main/application.h"
#include "ui/main/boardview.h"
#include "version.h"

namespace quintelle::ui {

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

UpdateOffer::UpdateOffer(QWidget* window, BoardView& board, QString productWord,
                         QString installerName)
    : QObject(window),
      window_(window),
      board_(board),
      productWord_(std::move(productWord)),
      installerName_(std::move(installerName)),
      checkupdate(new THTTPGet(this)),
      getupdate(new THttpCli(this)),
      label_update(qobject_cast<QLabel*>(board.control(QStringLiteral("label_update")))) {
    checkupdate->setObjectName(QStringLiteral("checkupdate"));
    // The version text is compared byte for byte; Latin-1 keeps every byte.
    checkupdate->OnDoneString = [this](THTTPGet* sender, const QByteArray& body) {
        checkupdateDoneString(sender, QString::fromLatin1(body));
    };
    connect(qobject_cast<ImageButton*>(board.control(QStringLiteral("button_updateyes"))),
            &ImageButton::clicked, this, &UpdateOffer::button_updateyesClick);
    connect(qobject_cast<ImageButton*>(board.control(QStringLiteral("button_updatecancel"))),
            &ImageButton::clicked, this, &UpdateOffer::button_updatecancelClick);
}

void UpdateOffer::check() {
    net::aimAtVendor(*checkupdate, net::vendorpath::versionText());
    checkupdate->StartFetch();
}

void UpdateOffer::checkupdateDoneString(QObject* /*sender*/, const QString& body) {
    if (body == QLatin1String(kVersion.data(), static_cast<qsizetype>(kVersion.size()))) return;
    BoardView::showOnTop(board_.control(QStringLiteral("panel_update")));
}

void UpdateOffer::button_updatecancelClick() {
    board_.control(QStringLiteral("panel_update"))->hide();
}

void UpdateOffer::button_updateyesClick() {
    board_.control(QStringLiteral("button_updateyes"))->hide();
    board_.control(QStringLiteral("button_updatecancel"))->hide();
    label_update->setText(QStringLiteral("Updating. Please Wait..."));
    executable_ = platform::executablePath();
    backup_ = backupPathOf(executable_);
    QFile::remove(backup_);
    // The installer replaces the program under its own name; the running copy
    // steps aside. Should that fail, the download still goes on.
    if (!QFile::rename(executable_, backup_)) backup_.clear();
    downloadit();
}

void UpdateOffer::restoreExecutable() {
    if (!backup_.isEmpty() && !QFile::exists(executable_)) QFile::rename(backup_, executable_);
    backup_.clear();
}

void UpdateOffer::downloadit() {
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
    if (handover_.saveSettings) handover_.saveSettings();
    if (handover_.saveTally) handover_.saveTally();
    if (platform::shellStart(path, {QStringLiteral("/SP-"), QStringLiteral("/silent"),
                                    QStringLiteral("/noicons")})) {
        backup_.clear();
        window_->close();
        return;
    }
    restoreExecutable();
    const QString vendor = handover_.vendorAddress ? handover_.vendorAddress() : QString();
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(),
                    QStringLiteral("There was an error in the update process. Please download ") +
                        productWord_.toUpper() + QStringLiteral(" manually from ") + vendor + u'.',
                    QMessageBox::Ok, window_);
    box.exec();
}

}  // namespace quintelle::ui
