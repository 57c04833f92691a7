#pragma once
// The program's colours, for its pictures and its windows alike.
#include <QColor>

namespace quintelle::palette {

inline constexpr QColor wood{166, 103, 51};       // behind the tile; window colour
inline constexpr QColor cream{245, 235, 216};     // text on the wood
inline constexpr QColor emphasis{226, 228, 182};  // result lines and titles
inline constexpr QColor boardFrame{0, 64, 0};
inline constexpr QColor popupFrame{0, 128, 0};

inline constexpr QColor woodDark{84, 48, 22};
inline constexpr QColor woodDeep{52, 29, 13};
inline constexpr QColor ivory{252, 249, 240};
inline constexpr QColor gold{214, 168, 62};
inline constexpr QColor goldLight{246, 216, 132};
inline constexpr QColor goldDark{142, 98, 28};
inline constexpr QColor felt{30, 112, 58};
inline constexpr QColor feltDark{14, 70, 34};
inline constexpr QColor feltDeep{8, 44, 22};
inline constexpr QColor ink{24, 24, 28};
inline constexpr QColor red{196, 22, 34};
inline constexpr QColor redDark{128, 12, 22};
inline constexpr QColor blue{32, 62, 138};
inline constexpr QColor flesh{246, 214, 182};
inline constexpr QColor burgundy{112, 20, 36};

}  // namespace quintelle::palette
