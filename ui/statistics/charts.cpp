#include "ui/statistics/charts.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <numeric>

#include "game/names.h"
#include "ui/art/palette.h"

namespace quintelle::ui {
namespace {

constexpr int kMargin = 8;
constexpr int kTitleHeight = 18;

// The felt panel every chart is drawn on, with its title; returns the plot area.
QRectF feltPanel(QPainter& p, const QWidget* w, const QString& title) {
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = QRectF(w->rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(palette::goldDark, 1));
    p.setBrush(palette::feltDark);
    p.drawRoundedRect(outer, 6, 6);
    QFont font = w->font();
    font.setBold(true);
    p.setFont(font);
    p.setPen(palette::emphasis);
    p.drawText(outer.adjusted(kMargin, 2, -kMargin, 0), Qt::AlignLeft | Qt::AlignTop, title);
    font.setBold(false);
    p.setFont(font);
    return outer.adjusted(kMargin + 28, kTitleHeight + 6, -kMargin, -kMargin - 12);
}

void emptyNote(QPainter& p, const QRectF& area) {
    p.setPen(palette::cream);
    p.drawText(area, Qt::AlignCenter, QStringLiteral("No rounds yet"));
}

// Horizontal guide lines with their values at the left.
void guides(QPainter& p, const QRectF& area, double top) {
    p.setPen(QPen(QColor(246, 216, 132, 60), 1));
    for (int i = 0; i <= 4; ++i) {
        const double y = area.bottom() - area.height() * i / 4;
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
    p.setPen(palette::cream);
    for (int i : {0, 4}) {
        const double y = area.bottom() - area.height() * i / 4;
        p.drawText(QRectF(area.left() - 34, y - 8, 30, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(static_cast<int>(top * i / 4 + 0.5)));
    }
}

}  // namespace

PointsChart::PointsChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chart_points"));
    setAccessibleName(QStringLiteral("Round points over time"));
}

std::vector<double> PointsChart::movingAverage(const std::vector<int>& points) {
    std::vector<double> average(points.size());
    long long sum = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        sum += points[i];
        if (i >= kAverageOver) sum -= points[i - kAverageOver];
        average[i] = static_cast<double>(sum) /
                     static_cast<double>(std::min<std::size_t>(i + 1, kAverageOver));
    }
    return average;
}

void PointsChart::setPoints(std::vector<int> points) {
    points_ = std::move(points);
    const auto average = movingAverage(points_);
    setAccessibleDescription(points_.empty()
                                 ? QStringLiteral("No rounds yet")
                                 : QStringLiteral("%1 rounds; the last %2 averaged %3 points")
                                       .arg(points_.size())
                                       .arg(std::min<std::size_t>(points_.size(), kAverageOver))
                                       .arg(average.back(), 0, 'f', 1));
    update();
}

void PointsChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRectF area = feltPanel(
        p, this, QStringLiteral("Round points, with the average of the last %1").arg(kAverageOver));
    if (points_.empty()) return emptyNote(p, area);
    const int most = *std::max_element(points_.begin(), points_.end());
    const double top = std::max(50, (most + 49) / 50 * 50);
    guides(p, area, top);
    const std::size_t n = points_.size();
    const auto x = [&](double i) {
        return area.left() + (n == 1 ? area.width() / 2 : area.width() * i / double(n - 1));
    };
    const auto y = [&](double v) { return area.bottom() - area.height() * v / top; };

    // Many rounds are drawn a pixel column at a time: the column's range of points.
    const auto columns = static_cast<std::size_t>(std::max(1.0, area.width()));
    p.setPen(QPen(QColor(245, 235, 216, 150), 1.2));
    if (n <= columns) {
        p.setBrush(QColor(245, 235, 216, 170));
        const double dot = n > 120 ? 1.2 : 2.2;
        for (std::size_t i = 0; i < n; ++i)
            p.drawEllipse(QPointF(x(double(i)), y(points_[i])), dot, dot);
    } else {
        for (std::size_t c = 0; c < columns; ++c) {
            const std::size_t from = c * n / columns,
                              to = std::max(from + 1, (c + 1) * n / columns);
            const auto [lo, hi] =
                std::minmax_element(points_.begin() + long(from), points_.begin() + long(to));
            const double cx = area.left() + double(c) + 0.5;
            p.drawLine(QPointF(cx, y(*lo)), QPointF(cx, y(*hi)));
        }
    }
    const auto average = movingAverage(points_);
    QPainterPath line;
    const std::size_t step = std::max<std::size_t>(1, n / (columns * 2));
    for (std::size_t i = 0; i < n; i += step) {
        const QPointF at(x(double(i)), y(average[i]));
        if (i == 0)
            line.moveTo(at);
        else
            line.lineTo(at);
    }
    line.lineTo(x(double(n - 1)), y(average.back()));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(palette::gold, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(line);
    p.setPen(palette::cream);
    p.drawText(QRectF(area.left(), area.bottom() + 2, area.width(), 14), Qt::AlignLeft,
               QStringLiteral("first"));
    p.drawText(QRectF(area.left(), area.bottom() + 2, area.width(), 14), Qt::AlignRight,
               QStringLiteral("round %1").arg(n));
}

SpreadChart::SpreadChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chart_spread"));
    setAccessibleName(QStringLiteral("Spread of round points"));
}

void SpreadChart::setPoints(const std::vector<int>& points) {
    bands_.clear();
    for (int v : points) {
        const auto band = static_cast<std::size_t>(std::max(0, v) / kBand);
        if (bands_.size() <= band) bands_.resize(band + 1);
        ++bands_[band];
    }
    QStringList said;
    for (std::size_t b = 0; b < bands_.size(); ++b)
        if (bands_[b])
            said << QStringLiteral("%1 to %2 points: %3")
                        .arg(int(b) * kBand)
                        .arg(int(b) * kBand + kBand - 1)
                        .arg(bands_[b]);
    setAccessibleDescription(said.isEmpty() ? QStringLiteral("No rounds yet")
                                            : said.join(QStringLiteral("; ")));
    update();
}

void SpreadChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRectF area = feltPanel(p, this, QStringLiteral("Spread of round points"));
    if (bands_.empty()) return emptyNote(p, area);
    const int most = *std::max_element(bands_.begin(), bands_.end());
    guides(p, area, most);
    const double width = area.width() / double(bands_.size());
    p.setPen(QPen(palette::goldDark, 1));
    p.setBrush(palette::cream);
    for (std::size_t b = 0; b < bands_.size(); ++b) {
        const double h = area.height() * bands_[b] / most;
        p.drawRect(QRectF(area.left() + width * double(b) + 1, area.bottom() - h,
                          std::max(1.0, width - 2), h));
    }
    p.setPen(palette::cream);
    const int shown = std::max<int>(1, int(bands_.size()) / 6);
    for (std::size_t b = 0; b < bands_.size(); b += std::size_t(shown))
        p.drawText(QRectF(area.left() + width * double(b), area.bottom() + 2, 40, 14),
                   Qt::AlignLeft, QString::number(int(b) * kBand));
}

HandsChart::HandsChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chart_hands"));
    setAccessibleName(QStringLiteral("Hands made by kind"));
}

void HandsChart::setHands(const std::array<int, 10>& hands) {
    hands_ = hands;
    const int lines = std::accumulate(hands.begin(), hands.end(), 0);
    QStringList said;
    for (int h = 1; h < 10; ++h)
        said << QStringLiteral("%1: %2 (%3%)")
                    .arg(QString::fromLatin1(handname(h).data(), int(handname(h).size())))
                    .arg(hands[std::size_t(h)])
                    .arg(lines ? 100.0 * hands[std::size_t(h)] / lines : 0.0, 0, 'f', 1);
    setAccessibleDescription(said.join(QStringLiteral("; ")));
    update();
}

void HandsChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRectF area = feltPanel(p, this, QStringLiteral("Hands made, per line"));
    area.adjust(-28, 0, 0, 12);
    const int lines = std::accumulate(hands_.begin(), hands_.end(), 0);
    const int most = std::max(1, *std::max_element(hands_.begin() + 1, hands_.end()));
    const double rowHeight = area.height() / 9;
    const double labelWidth = 96, countWidth = 92;
    for (int h = 1; h < 10; ++h) {
        const double top = area.top() + rowHeight * (h - 1);
        const QRectF row(area.left(), top, area.width(), rowHeight);
        p.setPen(palette::cream);
        p.drawText(row.adjusted(0, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromLatin1(handname(h).data(), int(handname(h).size())));
        const int count = hands_[std::size_t(h)];
        p.drawText(row, Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("%1  %2%").arg(count).arg(lines ? 100.0 * count / lines : 0.0, 0,
                                                            'f', 1));
        const double full = row.width() - labelWidth - countWidth;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(8, 44, 22));
        p.drawRoundedRect(QRectF(row.left() + labelWidth, top + 3, full, rowHeight - 6), 2, 2);
        p.setBrush(palette::gold);
        if (count)
            p.drawRoundedRect(QRectF(row.left() + labelWidth, top + 3,
                                     std::max(2.0, full * count / most), rowHeight - 6),
                              2, 2);
    }
}

}  // namespace quintelle::ui
