#pragma once
// The board's controls the game writes, each under the name the window gives
// its widget ("label_score", "image_card23", ...). The game reaches them only
// through these constants, so a misspelt name does not compile, and the
// window's board is checked to hold every one of them.
#include <span>
#include <string_view>

namespace quintelle {

class Control {
  public:
    constexpr explicit Control(std::string_view name) : name_(name) {}
    constexpr std::string_view name() const { return name_; }
    friend constexpr bool operator==(Control a, Control b) { return a.name_ == b.name_; }

  private:
    std::string_view name_;
};

namespace controls {

// The pop-up panels.
inline constexpr Control panel_name{"panel_name"};
inline constexpr Control panel_continue{"panel_continue"};
inline constexpr Control panel_cleared{"panel_cleared"};
inline constexpr Control panel_wait{"panel_wait"};

// The side panel and the board.
inline constexpr Control label_name{"label_name"};
inline constexpr Control label_roundnum{"label_roundnum"};
inline constexpr Control label_cardcount{"label_cardcount"};
inline constexpr Control image_topcard{"image_topcard"};
inline constexpr Control image_replace{"image_replace"};
inline constexpr Control image_timer{"image_timer"};
inline constexpr Control label_timer{"label_timer"};
inline constexpr Control label_targetscore{"label_targetscore"};
inline constexpr Control label_score{"label_score"};
inline constexpr Control label_thisturn{"label_thisturn"};

// The continue panel.
inline constexpr Control label_continue{"label_continue"};
inline constexpr Control label_previous{"label_previous"};
inline constexpr Control label_turnscore{"label_turnscore"};
inline constexpr Control label_timebonus{"label_timebonus"};
inline constexpr Control label_total{"label_total"};
inline constexpr Control label_ts{"label_ts"};

// The game-over panel.
inline constexpr Control label_previous1{"label_previous1"};
inline constexpr Control label_turnscore1{"label_turnscore1"};
inline constexpr Control label_timebonus1{"label_timebonus1"};
inline constexpr Control label_score1{"label_score1"};
inline constexpr Control label_ts1{"label_ts1"};
inline constexpr Control edit_name{"edit_name"};
inline constexpr Control button_sendscore{"button_sendscore"};

// The cell of row and column 1..5, "image_card" followed by the two digits.
Control cell(int row, int column);
// The score of line 1..10 (rows 1..5, then columns 1..5), "label_line" + n.
Control line(int n);

// Every control above, the cells and lines included.
std::span<const Control> all();

}  // namespace controls
}  // namespace quintelle
