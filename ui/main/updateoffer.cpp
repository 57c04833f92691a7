#include "ui/main/updateoffer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>

#include "net/httpget.h"
#include "net/server.h"
#include "platform/appdir.h"
#include "ui/controls/ImageButton.h"
#include "ui/main/boardview.h"
#include "version.h"

namespace quintelle::ui {

using net::UpdateDownload;

UpdateOffer::UpdateOffer(QWidget* window, BoardView& board, QString productWord,
                         QString installerName)
    : QObject(window),
      window_(window),
      board_(board),
      productWord_(std::move(productWord)),
      installerName_(std::move(installerName)),
      checkupdate(new THTTPGet(this)),
      label_update(qobject_cast<QLabel*>(board.control(QStringLiteral("label_update")))),
      panel_update(board.control(QStringLiteral("panel_update"))),
      panel_name(board.control(QStringLiteral("panel_name"))) {
    checkupdate->setObjectName(QStringLiteral("checkupdate"));
    // The version text is compared byte for byte; Latin-1 keeps every byte.
    checkupdate->OnDoneString = [this](THTTPGet* sender, const QByteArray& body) {
        checkupdateDoneString(sender, QString::fromLatin1(body));
    };
    connect(qobject_cast<ImageButton*>(board.control(QStringLiteral("button_updateyes"))),
            &ImageButton::clicked, this, &UpdateOffer::button_updateyesClick);
    connect(qobject_cast<ImageButton*>(board.control(QStringLiteral("button_updatecancel"))),
            &ImageButton::clicked, this, &UpdateOffer::button_updatecancelClick);
    if (panel_name) panel_name->installEventFilter(this);
}

UpdateOffer::~UpdateOffer() = default;

bool UpdateOffer::available() {
    return net::updateKey().has_value() && !platform::installedCopy();
}

void UpdateOffer::check() {
    if (!available()) return;
    net::aimAtVendor(*checkupdate, net::vendorpath::versionText());
    checkupdate->StartFetch();
}

void UpdateOffer::checkupdateDoneString(QObject* /*sender*/, const QString& body) {
    if (body == QLatin1String(kVersion.data(), static_cast<qsizetype>(kVersion.size()))) return;
    offer();
}

// One panel at a time: while the player is naming themselves, the offer waits.
void UpdateOffer::offer() {
    if (panel_name && panel_name->isVisible()) {
        waiting_ = true;
        return;
    }
    waiting_ = false;
    BoardView::showOnTop(panel_update);
}

bool UpdateOffer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel_name && event->type() == QEvent::Hide && waiting_) offer();
    return false;
}

void UpdateOffer::button_updatecancelClick() {
    panel_update->hide();
}

void UpdateOffer::button_updateyesClick() {
    // Without a key nothing could be verified, so nothing is fetched.
    if (downloading() || !net::updateKey()) return;
    board_.control(QStringLiteral("button_updateyes"))->hide();
    board_.control(QStringLiteral("button_updatecancel"))->hide();
    downloadit();
}

void UpdateOffer::downloadit() {
    UpdateDownload::Setup setup;
    setup.manifestUrl = net::vendorServer().address(net::vendorpath::manifest());
    setup.installerUrl = net::vendorServer().address(net::vendorpath::installer(installerName_));
    setup.program = platform::executablePath();
    setup.ourVersion =
        QString::fromLatin1(kVersion.data(), static_cast<qsizetype>(kVersion.size()));
    setup.key = *net::updateKey();
    setup.startInstaller = [this](const QString& installer) { return installerStarts(installer); };
    download_ = std::make_unique<UpdateDownload>(std::move(setup));
    connect(download_.get(), &UpdateDownload::status, label_update, &QLabel::setText);
    connect(download_.get(), &UpdateDownload::failed, this, &UpdateOffer::downloadFailed);
    // The installer replaces the program: it ends as when the player closes it.
    connect(download_.get(), &UpdateDownload::installerStarted, window_, &QWidget::close,
            Qt::QueuedConnection);
    download_->start();
}

bool UpdateOffer::installerStarts(const QString& installer) {
    // The installer may replace our files at once: what this run changed is
    // written before it starts.
    if (handover_.saveSettings) handover_.saveSettings();
    if (handover_.saveTally) handover_.saveTally();
    return net::startInstallerWithShell(installer);
}

void UpdateOffer::downloadFailed(UpdateDownload::Failure failure, const QString& text) {
    // The question is answered: the panel says what became of the update, its
    // status line why, and it can be closed.
    const char* outcome =
        failure == UpdateDownload::Failure::Refused    ? "This update is not safe to install."
        : failure == UpdateDownload::Failure::Download ? "The update could not be downloaded."
                                                       : "The installer could not be started.";
    if (auto* question = qobject_cast<QLabel*>(board_.control(QStringLiteral("Label6"))))
        question->setText(QString::fromLatin1(outcome));
    label_update->setText(text);
    board_.control(QStringLiteral("button_updatecancel"))->show();
    if (failure != UpdateDownload::Failure::Install) return;
    const QString vendor = handover_.vendorAddress ? handover_.vendorAddress() : QString();
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(),
                    QStringLiteral("There was an error in the update process. Please download ") +
                        productWord_.toUpper() + QStringLiteral(" manually from ") + vendor + u'.',
                    QMessageBox::Ok, window_);
    box.exec();
}

void UpdateOffer::stop() {
    if (download_) download_->stop();
}

}  // namespace quintelle::ui
