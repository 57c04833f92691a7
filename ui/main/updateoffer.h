#pragma once
// The update offer on the main window: the vendor's version text, asked for
// at the window's first showing, against our own; on the player's word the
// installer's download and the hand-over to it.
#include <QObject>
#include <QString>
#include <functional>

class QLabel;
class QWidget;
class THTTPGet;
class THttpCli;

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
    void setHandover(Handover handover) { handover_ = std::move(handover); }

    // Asks the server for its version text in the background.
    void check();
    void checkupdateDoneString(QObject* sender, const QString& body);
    void button_updateyesClick();
    void button_updatecancelClick();
    void downloadit();

  private:
    void restoreExecutable();

    QWidget* window_;
    BoardView& board_;
    const QString productWord_;
    const QString installerName_;
    Handover handover_;
    THTTPGet* checkupdate = nullptr;
    THttpCli* getupdate = nullptr;
    QLabel* label_update = nullptr;
    // Where the running executable was moved aside to while updating.
    QString executable_;
    QString backup_;
};

}  // namespace quintelle::ui
