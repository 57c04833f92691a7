#include "game/controls.h"

#include <array>
#include <string>
#include <vector>

namespace quintelle::controls {

namespace {

const std::array<std::string, 25>& cellNames() {
    static const std::array<std::string, 25> names = [] {
        std::array<std::string, 25> made;
        for (int i = 0; i < 25; ++i)
            made[static_cast<std::size_t>(i)] =
                "image_card" + std::to_string(i / 5 + 1) + std::to_string(i % 5 + 1);
        return made;
    }();
    return names;
}

const std::array<std::string, 10>& lineNames() {
    static const std::array<std::string, 10> names = [] {
        std::array<std::string, 10> made;
        for (int n = 1; n <= 10; ++n)
            made[static_cast<std::size_t>(n - 1)] = "label_line" + std::to_string(n);
        return made;
    }();
    return names;
}

}  // namespace

Control cell(int row, int column) {
    return Control(cellNames().at(static_cast<std::size_t>((row - 1) * 5 + column - 1)));
}

Control line(int n) {
    return Control(lineNames().at(static_cast<std::size_t>(n - 1)));
}

std::span<const Control> all() {
    static const std::vector<Control> every = [] {
        std::vector<Control> made = {
            panel_name,      panel_continue,    panel_cleared,    panel_wait,     label_name,
            label_roundnum,  label_cardcount,   image_topcard,    image_replace,  image_timer,
            label_timer,     label_targetscore, label_score,      label_thisturn, label_continue,
            label_previous,  label_turnscore,   label_timebonus,  label_total,    label_ts,
            label_previous1, label_turnscore1,  label_timebonus1, label_score1,   label_ts1,
            edit_name,       button_sendscore};
        for (const std::string& name : cellNames()) made.emplace_back(name);
        for (const std::string& name : lineNames()) made.emplace_back(name);
        return made;
    }();
    return every;
}

}  // namespace quintelle::controls
