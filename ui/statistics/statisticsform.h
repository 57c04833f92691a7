#pragma once
// View → Statistics: the player's records, streaks and habits over the last 7
// days, 30 days or all time, the best round's grid as it was laid, charts of
// the round points and the hands made, how the player's rounds compare with
// the expert's play of the same cards, and the history as CSV. Made when it is
// first opened; the history is read when it is first shown, and kept.
#include <QString>
#include <functional>
#include <vector>

#include "data/history.h"
#include "data/historystats.h"
#include "ui/main/secondarywindow.h"

class QGridLayout;
class QLabel;
class QTabBar;

namespace quintelle::ui {

class BestRoundGrid;
class HandsChart;
class PointsChart;
class SpreadChart;

class Tstatistics : public SecondaryWindow {
  public:
    enum Period { LastWeek, LastMonth, AllTime };
    using Clock = std::function<std::int64_t()>;

    Tstatistics(QWidget* mainWindow, HistoryStore& store, Clock now = {});
    ~Tstatistics() override;

    // Shown over the main window, kept inside the desktop's work area.
    void showWithin();
    // Shows the history as it now is, over the chosen period.
    void refresh();
    void setPeriod(Period period);
    const HistoryFigures& figures() const { return figures_; }
    // Writes the whole history as CSV; false (and nothing changed) on failure.
    bool exportTo(const QString& path);

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void display(const HistoryFigures& f, std::span<const RoundRecord> rounds);
    void exportClick();
    void addFigure(const char* name, const QString& caption);

    HistoryStore& store_;
    Clock now_;
    HistoryFigures figures_;
    QTabBar* period_ = nullptr;
    QGridLayout* figureGrid_ = nullptr;
    QLabel* expert_ = nullptr;
    QLabel* expertNote_ = nullptr;
    BestRoundGrid* bestGrid_ = nullptr;
    PointsChart* pointsChart_ = nullptr;
    SpreadChart* spreadChart_ = nullptr;
    HandsChart* handsChart_ = nullptr;
};

}  // namespace quintelle::ui
