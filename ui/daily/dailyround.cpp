#include "ui/daily/dailyround.h"

#include <QAction>
#include <QMessageBox>

#include "ui/daily/dailyresult.h"
#include "ui/main/boardview.h"

namespace quintelle::ui {

DailyRound::DailyRound(QWidget* window, BoardView& board, GameController& game, QAction* menuItem,
                       std::function<QString()> playerName)
    : QObject(window),
      window_(window),
      board_(board),
      game_(game),
      menuItem_(menuItem),
      playerName_(std::move(playerName)) {
    QWidget* gameOver = board_.control(controls::panel_cleared);
    result_ = new DailyResultPanel(gameOver->parentWidget());
    connect(result_, &DailyResultPanel::listWanted, this, &DailyRound::listWanted);
    client_.setHandlers({[this](const daily::Deal& d) { dealt(d); },
                         [this](const daily::Result& r) { over(r); },
                         [this](const QString& why) { failed(why); }});
    slowCard_.setSingleShot(true);
    slowCard_.setInterval(kHiddenWait);
    connect(&slowCard_, &QTimer::timeout, this, [this] {
        if (ours() && game_.awaitingCard()) board_.drawCard(controls::image_topcard, kCardBack);
    });
    connect(menuItem_, &QAction::triggered, this, &DailyRound::begin);
}

DailyRound::~DailyRound() = default;

void DailyRound::begin() {
    // Until the server answers, the item waits; the board stays as it is.
    menuItem_->setEnabled(false);
    // A new round drops the one under way, as Start Game does.
    if (ours()) game_.abandonRound(*this);
    opened_ = false;
    QString name = playerName_().trimmed();
    if (name.isEmpty()) name = QStringLiteral("Guest");
    client_.open(name);
}

void DailyRound::placed(int move, int address) {
    offerMove_ = 0;
    offer_ = kNoCard;
    client_.place(move, address);
    slowCard_.start();
}

void DailyRound::dealt(const daily::Deal& deal) {
    slowCard_.stop();
    offerMove_ = deal.move;
    offer_ = deal.card;
    if (!opened_) {
        // A fresh round, its first card on offer.
        menuItem_->setEnabled(true);
        opened_ = true;
        result_->hide();
        game_.startDaily(*this);
        return;
    }
    if (ours()) game_.cardArrived(*this);
}

void DailyRound::over(const daily::Result& result) {
    slowCard_.stop();
    // A classic game started since has the board now.
    if (!ours() || game_.dealing()) return;
    result_->present(result, board_.control(controls::panel_cleared)->pos());
}

void DailyRound::failed(const QString& why) {
    slowCard_.stop();
    menuItem_->setEnabled(true);
    if (!opened_) {
        say(why);
        return;
    }
    if (!ours()) return;
    game_.abandonRound(*this);
    say(why);
}

void DailyRound::say(const QString& text) {
    if (message_) message_->close();
    message_ = new QMessageBox(QMessageBox::Information, QStringLiteral("Daily Deal"), text,
                               QMessageBox::Ok, window_);
    message_->setObjectName(QStringLiteral("dailyMessage"));
    message_->setAttribute(Qt::WA_DeleteOnClose);
    message_->open();
}

}  // namespace quintelle::ui
