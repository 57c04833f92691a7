#pragma once
// The grid text format of the tally: the column count and the row count, then
// every cell column by column, one line each, every line ending in CR LF.
// Cells are stored as they stand, so a cell must not contain a CR.
//
// Bytes travel as std::string / std::string_view, files as
// std::filesystem::path; a bare string literal is deliberately ambiguous.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "data/textgrid.h"

namespace quintelle {

class GridTextError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Largest grid loadgrid builds; larger stated sizes raise "Grid too large"
// instead of exhausting memory (the tally is 9 x 12).
inline constexpr long long kMaxGridCells = 1'000'000;

std::string savegrid(const TextGrid& grid);

// Sets the size from the two counts, then every cell in file order; cells
// without a line become empty. A count that is not an integer raises
// "Invalid numeric input": on the first count the grid is left untouched, on
// the second the new column count stays. A line ends at CR (with an LF right
// after it); a lone LF is text; byte 1A ends the text.
void loadgrid(TextGrid& grid, std::string_view bytes);
inline void loadgrid(TextGrid& grid, const std::string& bytes) {
    loadgrid(grid, std::string_view(bytes));
}

// The file written whole or not at all (temporary file beside it, renamed on
// success); errors: "Path not found", "File access denied", "Disk write error".
void savegrid(const TextGrid& grid, const std::filesystem::path& file);
// Errors: "File not found" (grid untouched), "File access denied", "Disk read
// error", and those of the bytes form.
void loadgrid(TextGrid& grid, const std::filesystem::path& file);

}  // namespace quintelle
