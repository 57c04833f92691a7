#pragma once
// The Daily Deal on the main window's board: the File menu's "Daily Deal"
// opens a round of today's deal on the vendor's server, and this part deals
// it to the game controller card by card as the server answers each
// placement, then shows the server's result. A round that cannot be opened
// or carried on is said in a message; the board is left as it was.
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

#include "game/cardsource.h"
#include "game/controller.h"
#include "net/dailyclient.h"

class QAction;

namespace quintelle::ui {

class BoardView;
class DailyResultPanel;

class DailyRound : public QObject, public CardSource {
    Q_OBJECT
  public:
    // A card the server has not sent within this time, the placement's own
    // cue, shows as the card back until it comes.
    static constexpr std::chrono::milliseconds kHiddenWait{150};

    DailyRound(QWidget* window, BoardView& board, GameController& game, QAction* menuItem,
               std::function<QString()> playerName);
    ~DailyRound() override;

    // The menu item: opens a round of today's deal.
    void begin();

    // The game's card source while a daily round runs.
    void beginRound() override {}
    int card(int move) const override { return move == offerMove_ ? offer_ : kNoCard; }
    void placed(int move, int address) override;

    net::DailyClient& client() { return client_; }
    DailyResultPanel& resultPanel() { return *result_; }
    // The message of the last round that could not be opened or went on, while shown.
    QMessageBox* message() const { return message_; }

  signals:
    // The result panel's button: the day's list, please.
    void listWanted();

  private:
    void dealt(const daily::Deal& deal);
    void over(const daily::Result& result);
    void failed(const QString& why);
    void say(const QString& text);
    bool ours() const { return game_.dailyRound() && opened_; }

    QWidget* window_;
    BoardView& board_;
    GameController& game_;
    QAction* menuItem_;
    std::function<QString()> playerName_;
    net::DailyClient client_;
    DailyResultPanel* result_;
    QPointer<QMessageBox> message_;
    QTimer slowCard_;
    bool opened_ = false;  // the controller plays this source's round
    int offerMove_ = 0, offer_ = kNoCard;
};

}  // namespace quintelle::ui
