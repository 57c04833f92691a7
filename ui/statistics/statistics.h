#pragma once
// The main window's statistics: every finished round goes into the history
// (beside the tally) and to the expert, who plays its cards again in the
// background; View → Statistics (Ctrl+T) opens the window. Nothing is read
// and no window is made before the first round ends or the window is opened,
// so the game's start does not pay for a long history.
#include <QObject>
#include <memory>

#include "data/history.h"
#include "game/coach.h"
#include "game/playedround.h"

class QAction;
class QMainWindow;

namespace quintelle {
class GameController;
}

namespace quintelle::ui {

class ExpertPlay;
class Tstatistics;

class Statistics : public QObject, public RoundSink {
    Q_OBJECT
  public:
    // Adds "Statistics" to the View menu, hears the coach's "Hint", and takes
    // the game's finished rounds.
    Statistics(QMainWindow* main, GameController& game);
    ~Statistics() override;

    void roundPlayed(const PlayedRound& round) override;
    void StatisticsClick();

    // The window once it was opened, else null.
    Tstatistics* window() const { return window_.get(); }
    const ExpertPlay& expert() const { return *expert_; }
    // How long the expert thinks per card; the hint's time unless a test says.
    static void setExpertBudget(const Budget& budget);

  private:
    HistoryStore& store();
    void expertPlayed(std::uint64_t id, int points);
    void reportProblems();

    QMainWindow* main_;
    std::unique_ptr<HistoryStore> store_;
    std::unique_ptr<Tstatistics> window_;
    std::unique_ptr<ExpertPlay> expert_;
    QAction* Statistics1 = nullptr;
};

}  // namespace quintelle::ui
