#include "data/tally.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "data/intconv.h"

namespace quintelle {

namespace {

constexpr int kDateColumn = 0;
constexpr int kScoreColumn = 1;
constexpr int kNameColumn = 2;
const std::string kEmptyScoreText = std::to_string(TallyModel::kEmptyScore);

// A cell is one line of the stored file: line breaks, and the byte that the
// reader takes for the end of the file, would shift every later cell.
std::string storable(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != '\r' && c != '\n' && c != '\x1a') out += c;
    return out;
}

}  // namespace

TallyModel::TallyModel(DateSource today) : today_(std::move(today)), grid_(freshGrid()) {
    fillFromGrid();
}

TextGrid TallyModel::freshGrid() {
    TextGrid grid(kColumns, kRows);
    for (int column = 0; column <= 4; ++column) grid.set(column, 0, "0");
    for (int row = 1; row <= kPlaces; ++row) grid.set(kScoreColumn, row, kEmptyScoreText);
    return grid;
}

void TallyModel::setGrid(TextGrid grid) {
    grid.resize(std::max(grid.columns(), kColumns), std::max(grid.rows(), kRows));
    grid_ = std::move(grid);
    changed();
}

const std::string& TallyModel::statistic(int index) const {
    if (index < 1 || index > kStatistics) throw std::out_of_range("tally statistic index");
    return statistics_[index - 1];
}

const TallyPlace& TallyModel::place(int n) const {
    if (n < 1 || n > kPlaces) throw std::out_of_range("tally place");
    return places_[n - 1];
}

void TallyModel::setStatistic(int index, std::string text) {
    if (index < 1 || index > kStatistics) throw std::out_of_range("tally statistic index");
    grid_.set(index, 0, text);
    statistics_[index - 1] = std::move(text);
}

std::int32_t TallyModel::addit(int column, int row) {
    std::string& cell = grid_.cell(column, row);
    const std::int32_t value = toInt32Strict(cell);
    // A counter that has reached the top stays there rather than wrapping.
    const std::int32_t sum = value == std::numeric_limits<std::int32_t>::max() ? value : value + 1;
    cell = std::to_string(sum);
    changed();
    return sum;
}

void TallyModel::addtomineincrease(int index) {
    if (index < 1 || index > kStatistics) throw std::out_of_range("tally statistic index");
    // A damaged counter must not stop rounds from starting: it restarts at 0.
    if (!toInt32(grid_.cell(index, 0))) grid_.set(index, 0, "0");
    setStatistic(index, std::to_string(addit(index, 0)));
    if (index == kRoundsPlayed) {
        const auto played = toInt32(grid_.cell(kRoundsPlayed, 0));
        const auto cleared = toInt32(grid_.cell(kRoundsCleared, 0));
        std::int64_t percentage = 0;
        if (played && cleared && *played != 0) percentage = std::int64_t{*cleared} * 100 / *played;
        // A repaired counter (restarted at 0) or a negative one would show
        // more than 100 % or less than none.
        percentage = std::clamp<std::int64_t>(percentage, 0, 100);
        setStatistic(kPercentage, std::to_string(percentage));
    }
    changed();
}

void TallyModel::addtomineset(int index, std::string text) {
    setStatistic(index, std::move(text));
    changed();
}

bool TallyModel::checkscore(std::int32_t score, std::string_view name) {
    for (auto& place : places_) place.style = RowStyle::Normal;
    const auto found =
        std::find_if(places_.begin(), places_.end(),
                     [score](const TallyPlace& place) { return place.tag <= score; });
    if (found == places_.end()) {
        changed();
        return false;
    }
    const int p = static_cast<int>(found - places_.begin()) + 1;
    for (int k = kPlaces; k > p; --k) {
        places_[k - 1] = places_[k - 2];
        for (int column : {kDateColumn, kScoreColumn, kNameColumn})
            grid_.set(column, k, grid_.cell(column, k - 1));
    }
    TallyPlace& entry = places_[p - 1];
    entry.tag = score;
    entry.score = std::to_string(score);
    entry.date = storable(today_ ? today_() : std::string());
    entry.name = storable(name);
    entry.style = RowStyle::NewEntry;
    grid_.set(kDateColumn, p, entry.date);
    grid_.set(kScoreColumn, p, entry.score);
    grid_.set(kNameColumn, p, entry.name);
    changed();
    return true;
}

void TallyModel::fillFromGrid() {
    for (int index = 1; index <= kStatistics; ++index)
        statistics_[index - 1] = grid_.cell(index, 0);
    for (int n = 1; n <= kPlaces; ++n) {
        TallyPlace& place = places_[n - 1];
        std::string& score = grid_.cell(kScoreColumn, n);
        if (score.empty()) score = kEmptyScoreText;
        place.date = grid_.cell(kDateColumn, n);
        place.name = grid_.cell(kNameColumn, n);
        place.tag = toInt32(score).value_or(kEmptyScore);
        place.score = place.tag <= kEmptyScore ? std::string() : score;
    }
}

void TallyModel::loadtally() {
    fillFromGrid();
    changed();
}

void TallyModel::reset() {
    grid_.setRows(kRows);
    for (int column = 1; column < kColumns; ++column) grid_.set(column, 0, "0");
    statistics_.fill(std::string("0"));
    for (int row = 1; row < kRows; ++row) {
        grid_.set(kDateColumn, row, "");
        grid_.set(kScoreColumn, row, kEmptyScoreText);
        grid_.set(kNameColumn, row, "");
    }
    for (auto& place : places_) place = TallyPlace{"", kEmptyScore, "", "", RowStyle::Normal};
    changed();
}

void TallyModel::changed() {
    if (onChanged_) onChanged_();
}

}  // namespace quintelle
