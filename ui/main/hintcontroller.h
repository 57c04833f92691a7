#pragma once
// "Hint" (Ctrl+H) in the Options menu: during a dealing round the coach is
// asked where it would lay the card on offer, on a thread of its own, and
// its cell is ringed in gold until the board next changes.
#include <QObject>
#include <QPointer>
#include <atomic>
#include <optional>
#include <thread>

#include "game/coach.h"

class QAction;
class QWidget;
class Tmain;

class HintController : public QObject {
    Q_OBJECT
  public:
    // What the game allows the coach for one hint.
    static constexpr int kBudgetMilliseconds = 150;

    explicit HintController(Tmain& window);
    ~HintController() override;

    void Hint1Click();
    // The ring, or nothing while no hint is shown.
    QWidget* mark() const;

  private:
    std::optional<quintelle::Position> dealingPosition() const;
    void answered(quintelle::Position asked, std::optional<int> cell);
    void clearMark();

    Tmain& window_;
    QAction* Hint1 = nullptr;
    QWidget* glow_ = nullptr;
    std::thread worker_;
    std::atomic<bool> busy_{false};
    bool askedAgain_ = false;  // Ctrl+H pressed while an answer was on its way
};
