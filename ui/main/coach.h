#pragma once
// The coach on the board: "Hint" (Ctrl+H) in the Options menu asks it, during
// a dealing round, where it would lay the card on offer. It thinks on a
// thread of its own, and its cell is ringed in gold until the board next
// changes.
#include <QObject>
#include <atomic>
#include <optional>
#include <thread>

#include "game/coach.h"

class QAction;
class QMenu;
class QWidget;

namespace quintelle {
class GameController;
}

namespace quintelle::ui {

class BoardKeys;
class BoardView;

class Coach : public QObject {
    Q_OBJECT
  public:
    // What the game allows the coach for one hint.
    static constexpr int kBudgetMilliseconds = 150;

    // Adds "Hint" to `options`.
    Coach(QMenu* options, BoardView& board, const GameController& game, BoardKeys& keys);
    ~Coach() override;

    void Hint1Click();
    // The ring, or nothing while no hint is shown.
    QWidget* mark() const;

  private:
    std::optional<Position> dealingPosition() const;
    void answered(Position asked, std::optional<int> cell);
    void clearMark();

    BoardView& board_;
    const GameController& game_;
    BoardKeys& keys_;
    QAction* Hint1 = nullptr;
    QWidget* glow_ = nullptr;
    std::thread worker_;
    std::atomic<bool> busy_{false};
    bool askedAgain_ = false;  // Ctrl+H pressed while an answer was on its way
};

}  // namespace quintelle::ui
