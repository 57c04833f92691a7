#pragma once
// The player's tally: the stored form (a 9 x 12 text grid) and the shown form
// the tally window renders (three statistics and a top ten of score, date and
// name with a row style). The game calls addtomineincrease and checkscore;
// every operation ends with the change notification.
//
// Grid layout: row 0 columns 1..3 hold rounds played, rounds cleared and the
// clear percentage; rows 1..10 hold place n's date (column 0), score (column
// 1, "-1000" for an empty place) and name (column 2). Other cells are kept.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "data/textgrid.h"

namespace quintelle {

enum class RowStyle {
    LaidOut,   // cream bold, until the first entry or reset of the run
    Normal,    // white plain
    NewEntry,  // red bold: the place just entered
};

// One place of the top ten as shown: the caption and tag of label_high<n>,
// the captions of label_date<n> and label_name<n>, and the style of those
// three and of label_num<n>.
struct TallyPlace {
    std::string score;
    std::int32_t tag = 0;
    std::string date;
    std::string name;
    RowStyle style = RowStyle::LaidOut;
};

class TallyModel {
  public:
    static constexpr int kColumns = 9;
    static constexpr int kRows = 12;
    static constexpr int kPlaces = 10;
    static constexpr int kStatistics = 3;
    static constexpr int kRoundsPlayed = 1;
    static constexpr int kRoundsCleared = 2;
    static constexpr int kPercentage = 3;
    static constexpr std::int32_t kEmptyScore = -1000;

    // Today's date in the user's short date format.
    using DateSource = std::function<std::string()>;

    // A fresh tally: zero statistics and ten empty places.
    explicit TallyModel(DateSource today);

    // The grid before any stored tally is loaded over it.
    static TextGrid freshGrid();

    const TextGrid& grid() const { return grid_; }
    // Replaces the stored form (a loaded tally); grids smaller than 9 x 12 are
    // widened with empty cells. The shown form follows only with loadtally().
    void setGrid(TextGrid grid);

    // The caption of mylabel_<index>, index 1..3.
    const std::string& statistic(int index) const;
    // Place n, 1..10.
    const TallyPlace& place(int n) const;

    void setOnChanged(std::function<void()> onChanged) { onChanged_ = std::move(onChanged); }

    // Counts one more in statistic `index` (1 rounds played, 2 rounds
    // cleared) and, for rounds played, recomputes the clear percentage. A
    // cell that is not an integer counts as 0.
    void addtomineincrease(int index);
    void addtomineset(int index, std::string text);
    // Adds one to the cell and returns the sum; a cell that is not an integer
    // raises ConversionError and nothing changes.
    std::int32_t addit(int column, int row);
    // Enters a finished game if it ranks and highlights it; false when it
    // ranks below every place (all rows are restyled normal either way).
    bool checkscore(std::int32_t score, std::string_view name);
    // Fills the shown form from the grid; row styles are kept.
    void loadtally();
    // Empties the top ten and zeroes the statistics (the user confirmed).
    void reset();

  private:
    void fillFromGrid();
    void setStatistic(int index, std::string text);
    void changed();

    DateSource today_;
    std::function<void()> onChanged_;
    TextGrid grid_;
    std::array<std::string, kStatistics> statistics_;
    std::array<TallyPlace, kPlaces> places_;
};

}  // namespace quintelle
