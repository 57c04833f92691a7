#pragma once
// The statistics window's charts, drawn with QPainter in the game's own look:
// felt under cream marks and gold averages, on the wood. Drawn at paint time
// in logical coordinates, so they are crisp at any pixel density, and nothing
// of a charting library is loaded before the window opens.
#include <QWidget>
#include <array>
#include <vector>

namespace quintelle::ui {

// Round points in the order played, with their moving average.
class PointsChart : public QWidget {
  public:
    static constexpr int kAverageOver = 10;
    explicit PointsChart(QWidget* parent);
    void setPoints(std::vector<int> points);
    // The moving average the chart draws: the mean of each round and the
    // up to kAverageOver - 1 before it.
    static std::vector<double> movingAverage(const std::vector<int>& points);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    std::vector<int> points_;
};

// How many rounds scored in each band of 25 points.
class SpreadChart : public QWidget {
  public:
    static constexpr int kBand = 25;
    explicit SpreadChart(QWidget* parent);
    void setPoints(const std::vector<int>& points);
    const std::vector<int>& bands() const { return bands_; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    std::vector<int> bands_;
};

// How many lines made each hand, Pair to Royal Flush, with the share of all lines.
class HandsChart : public QWidget {
  public:
    explicit HandsChart(QWidget* parent);
    void setHands(const std::array<int, 10>& hands);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    std::array<int, 10> hands_{};
};

}  // namespace quintelle::ui
