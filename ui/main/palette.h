#pragma once
#include <QColor>

namespace quintelle::ui::colours {

inline constexpr QColor wood{166, 103, 51};       // behind the tile; window colour
inline constexpr QColor cream{245, 235, 216};     // text on the wood
inline constexpr QColor emphasis{226, 228, 182};  // result lines and titles
inline constexpr QColor boardFrame{0, 64, 0};
inline constexpr QColor popupFrame{0, 128, 0};

}  // namespace quintelle::ui::colours
