#pragma once
// The update offer on the main window: the vendor's version text, asked for
// at the window's first showing, against our own; on the player's word the
// signed update's download (net/updatedownload.h) and the hand-over to its
// installer.
//
// The offer is one panel among the board's: it waits while the name panel is
// up, takes no focus (Enter keeps its meaning on the board; Escape or NO
// declines), and once a download has failed it can be closed again.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "net/updatedownload.h"

class QLabel;
class QWidget;
class THTTPGet;

namespace quintelle::ui {

class BoardView;

class UpdateOffer : public QObject {
    Q_OBJECT
  public:
    // What the hand-over needs of the rest of the program.
    struct Handover {
        std::function<void()> saveSettings;  // reports its own errors
        std::function<void()> saveTally;
        std::function<QString()> vendorAddress;  // for the manual download
    };

    // `window` closes once the installer runs; the offer's panel is on `board`.
    UpdateOffer(QWidget* window, BoardView& board, QString productWord, QString installerName);
    ~UpdateOffer() override;
    void setHandover(Handover handover) { handover_ = std::move(handover); }

    // Whether this copy updates itself at all: a portable copy of a build
    // that trusts an update key. An installed copy is its installer's.
    static bool available();

    // Asks the server for its version text in the background.
    void check();
    void checkupdateDoneString(QObject* sender, const QString& body);
    void button_updateyesClick();
    void button_updatecancelClick();
    void downloadit();
    // Ends a download under way (the window closes, the session ends): the
    // program is back under its own name and nothing downloaded is left.
    void stop();
    bool downloading() const { return download_ && download_->running(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void offer();
    void downloadFailed(net::UpdateDownload::Failure failure, const QString& text);
    bool installerStarts(const QString& installer);

    QWidget* window_;
    BoardView& board_;
    const QString productWord_;
    const QString installerName_;
    Handover handover_;
    THTTPGet* checkupdate = nullptr;
    QLabel* label_update = nullptr;
    QWidget* panel_update = nullptr;
    QWidget* panel_name = nullptr;
    std::unique_ptr<net::UpdateDownload> download_;
    bool waiting_ = false;  // an offer held back until the name panel goes
};

}  // namespace quintelle::ui
