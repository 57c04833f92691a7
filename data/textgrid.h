#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace quintelle {

// A grid of text cells addressed by column and row from 0, each at least 1
// wide and high. Resizing keeps the cells that stay inside the new size.
class TextGrid {
  public:
    TextGrid(int columns = 1, int rows = 1) { resize(columns, rows); }

    int columns() const { return columns_; }
    int rows() const { return rows_; }

    void resize(int columns, int rows) {
        columns = columns < 1 ? 1 : columns;
        rows = rows < 1 ? 1 : rows;
        std::vector<std::string> cells(static_cast<std::size_t>(columns) * rows);
        for (int c = 0; c < columns && c < columns_; ++c)
            for (int r = 0; r < rows && r < rows_; ++r)
                cells[index(c, r, rows)] = std::move(cells_[index(c, r, rows_)]);
        cells_ = std::move(cells);
        columns_ = columns;
        rows_ = rows;
    }
    void setColumns(int columns) { resize(columns, rows_); }
    void setRows(int rows) { resize(columns_, rows); }

    const std::string& cell(int column, int row) const { return cells_[index(column, row, rows_)]; }
    std::string& cell(int column, int row) { return cells_[index(column, row, rows_)]; }
    void set(int column, int row, std::string text) { cell(column, row) = std::move(text); }

    bool operator==(const TextGrid&) const = default;

  private:
    static std::size_t index(int column, int row, int rows) {
        return static_cast<std::size_t>(column) * rows + row;
    }

    int columns_ = 0;
    int rows_ = 0;
    std::vector<std::string> cells_;
};

}  // namespace quintelle
