// The tally's grid text: exact bytes written, every reading rule, and the
// file wrappers' errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "data/gridtext.h"

namespace fs = std::filesystem;
using quintelle::GridTextError;
using quintelle::TextGrid;

namespace {

std::string lines(std::initializer_list<std::string_view> texts) {
    std::string out;
    for (std::string_view t : texts) (out += t) += "\r\n";
    return out;
}

TextGrid freshTally() {
    TextGrid grid(9, 12);
    for (int c = 0; c <= 4; ++c) grid.set(c, 0, "0");
    for (int r = 1; r <= 10; ++r) grid.set(1, r, "-1000");
    return grid;
}

TextGrid filled(int columns, int rows, std::initializer_list<const char*> cells) {
    TextGrid grid(columns, rows);
    auto it = cells.begin();
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows && it != cells.end(); ++r) grid.set(c, r, *it++);
    return grid;
}

std::string loadError(TextGrid& grid, std::string_view bytes) {
    try {
        quintelle::loadgrid(grid, bytes);
    } catch (const GridTextError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(GridText, WritesCountsThenColumns) {
    std::string expected = lines({"9", "12"});
    const auto column = [](std::string_view top, std::string_view middle, int middleCount) {
        std::string text = lines({top});
        for (int r = 1; r < 12; ++r) (text += r <= middleCount ? middle : "") += "\r\n";
        return text;
    };
    expected += column("0", "", 0) + column("0", "-1000", 10);
    for (int c = 2; c <= 4; ++c) expected += column("0", "", 0);
    for (int c = 5; c <= 8; ++c) expected += column("", "", 0);
    const std::string text = quintelle::savegrid(freshTally());
    EXPECT_EQ(text, expected);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 110);

    EXPECT_EQ(quintelle::savegrid(filled(1, 1, {"abc"})), "1\r\n1\r\nabc\r\n");
    EXPECT_EQ(quintelle::savegrid(filled(2, 1, {"  blanks kept ", "a\nb"})),
              "2\r\n1\r\n  blanks kept \r\na\nb\r\n");
}

TEST(GridText, ReadsByTheLineRules) {
    const struct {
        const char* name;
        std::string bytes;
        TextGrid grid;
    } rows[] = {
        {"column-major order", lines({"3", "2", "00", "01", "10", "11", "20", "21"}),
         filled(3, 2, {"00", "01", "10", "11", "20", "21"})},
        {"CR-only line ends", "2\r1\rx\ry\r", filled(2, 1, {"x", "y"})},
        {"lone LF is text", "2\r\n1\r\na\nb\r\nc\n", filled(2, 1, {"a\nb", "c\n"})},
        {"Ctrl-Z ends the text",
         "1\r\n3\r\nab\x1A"
         "cd\r\nef\r\n",
         filled(1, 3, {"ab"})},
        {"blanks kept", lines({"1", "2", "  a ", "\tb"}), filled(1, 2, {"  a ", "\tb"})},
        {"short file leaves empty cells", lines({"2", "2", "a"}), filled(2, 2, {"a"})},
        {"last line without line end", "1\r\n1\r\nabc", filled(1, 1, {"abc"})},
        {"extra lines ignored", lines({"1", "1", "a", "b", "c"}), filled(1, 1, {"a"})},
        {"empty file", "", filled(1, 1, {})},
        {"counts below 1", lines({"0", "-5", "a"}), filled(1, 1, {"a"})},
        {"count tokens and rest of line", " \r\n\t+2 junk\r\n  3\r\na\r\nb\r\nc\r\nd\r\n",
         filled(2, 3, {"a", "b", "c", "d"})},
        {"count ends at the end of file", "1", filled(1, 1, {})},
        {"token of at most 32 bytes", lines({std::string(31, '0') + "2x", "1", "a", "b"}),
         filled(2, 1, {"a", "b"})},
    };
    for (const auto& row : rows) {
        TextGrid grid(4, 4);
        grid.set(0, 0, "old");
        quintelle::loadgrid(grid, row.bytes);
        EXPECT_EQ(grid, row.grid) << row.name;
    }
}

TEST(GridText, BadCountsRaise) {
    TextGrid old = filled(2, 2, {"a", "b", "c", "d"});
    const struct {
        const char* name;
        std::string bytes;
        std::string message;
        TextGrid after;
    } rows[] = {
        {"word on line 1 keeps the grid", lines({"nine", "1"}), "Invalid numeric input", old},
        {"line 2 after the columns changed", lines({"3", "12x", "z"}), "Invalid numeric input",
         filled(3, 2, {"a", "b", "c", "d"})},
        {"out of range", lines({"99999999999", "1"}), "Invalid numeric input", old},
        {"lone sign", lines({"-", "1"}), "Invalid numeric input", old},
        {"two signs", lines({"+-1", "1"}), "Invalid numeric input", old},
        {"hex is not decimal", lines({"0x10", "1"}), "Invalid numeric input", old},
        {"too many cells", lines({"100000", "100000"}), "Grid too large",
         filled(100000, 2, {"a", "b", "c", "d"})},
    };
    for (const auto& row : rows) {
        TextGrid grid = old;
        EXPECT_EQ(loadError(grid, row.bytes), row.message) << row.name;
        EXPECT_EQ(grid, row.after) << row.name;
    }
}

TEST(GridText, RoundTripsArbitraryGrids) {
    std::mt19937 random(11);
    for (int trial = 0; trial < 200; ++trial) {
        TextGrid grid(1 + random() % 12, 1 + random() % 12);
        for (int c = 0; c < grid.columns(); ++c)
            for (int r = 0; r < grid.rows(); ++r)
                for (int n = random() % 12; n > 0; --n) {
                    char ch = static_cast<char>(random() % 256);
                    if (ch != '\r' && ch != '\x1A') grid.cell(c, r) += ch;
                }
        TextGrid back;
        quintelle::loadgrid(back, quintelle::savegrid(grid));
        ASSERT_EQ(back, grid) << "trial " << trial;
    }
}

TEST(GridTextFile, SavesAndLoadsWithErrors) {
    const fs::path dir =
        fs::temp_directory_path() / ("gridtext-test-" + std::to_string(std::random_device()()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path file = dir / "temp.txt";

    quintelle::savegrid(freshTally(), file);
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              quintelle::savegrid(freshTally()));
    TextGrid grid;
    quintelle::loadgrid(grid, file);
    EXPECT_EQ(grid, freshTally());

    const auto error = [&](auto call) {
        try {
            call();
        } catch (const GridTextError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(error([&] { quintelle::loadgrid(grid, dir / "missing.txt"); }), "File not found");
    EXPECT_EQ(grid, freshTally());
    EXPECT_EQ(error([&] { quintelle::loadgrid(grid, dir); }), "Disk read error");
    EXPECT_EQ(grid, freshTally());
    EXPECT_EQ(error([&] { quintelle::savegrid(grid, dir / "no-folder" / "x.txt"); }),
              "Path not found");
    fs::create_directory(dir / "folder");
    EXPECT_EQ(error([&] { quintelle::savegrid(grid, dir / "folder"); }), "Disk write error");
    EXPECT_FALSE(fs::exists(dir / "folder.tmp"));
    fs::remove_all(dir);
}
