#include "data/gridtext.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <system_error>

#include "data/atomicfile.h"
#include "data/readfile.h"

namespace quintelle {

std::string savegrid(const TextGrid& grid) {
    std::string text =
        std::to_string(grid.columns()) + "\r\n" + std::to_string(grid.rows()) + "\r\n";
    for (int c = 0; c < grid.columns(); ++c)
        for (int r = 0; r < grid.rows(); ++r) {
            text += grid.cell(c, r);
            text += "\r\n";
        }
    return text;
}

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kCtrlZ = '\x1A';
constexpr std::size_t kMaxToken = 32;

class LineReader {
  public:
    // Ctrl-Z marks the end of the text; nothing after it exists.
    explicit LineReader(std::string_view bytes) : text_(bytes.substr(0, bytes.find(kCtrlZ))) {}

    // A count: the next token of non-blank bytes (blanks and line ends
    // skipped), 0 at the end of the text; the rest of its line is dropped.
    int count() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && pos_ - start < kMaxToken && !isBlank(text_[pos_])) ++pos_;
        const std::string_view token = text_.substr(start, pos_ - start);
        line();
        if (token.empty()) return 0;
        const bool plus = token.front() == '+';
        const std::string_view digits = token.substr(plus ? 1 : 0);
        int value = 0;
        const char* end = digits.data() + digits.size();
        const auto [stop, error] = std::from_chars(digits.data(), end, value);
        if (digits.empty() || (plus && digits.front() == '-') || error != std::errc() ||
            stop != end)
            throw GridTextError("Invalid numeric input");
        return value;
    }

    // The rest of the current line without its line end (empty at the end).
    std::string line() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != kCR) ++pos_;
        std::string result(text_.substr(start, pos_ - start));
        if (pos_ < text_.size()) {  // at the CR; an LF right after it is part of the line end
            ++pos_;
            if (pos_ < text_.size() && text_[pos_] == kLF) ++pos_;
        }
        return result;
    }

  private:
    static bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

    std::string_view text_;
    std::size_t pos_ = 0;
};

void checkSize(long long columns, long long rows) {
    if (std::max(columns, 1LL) * std::max(rows, 1LL) > kMaxGridCells)
        throw GridTextError("Grid too large");
}

}  // namespace

void loadgrid(TextGrid& grid, std::string_view bytes) {
    LineReader in(bytes);
    const int columns = in.count();
    checkSize(columns, grid.rows());
    grid.setColumns(columns);
    const int rows = in.count();
    checkSize(grid.columns(), rows);
    grid.setRows(rows);
    for (int c = 0; c < grid.columns(); ++c)
        for (int r = 0; r < grid.rows(); ++r) grid.set(c, r, in.line());
}

void savegrid(const TextGrid& grid, const std::filesystem::path& file) {
    const std::filesystem::path folder = file.parent_path();
    std::error_code ec;
    if (!folder.empty() && !std::filesystem::is_directory(folder, ec))
        throw GridTextError("Path not found");
    if (!writeFileAtomically(file, savegrid(grid))) throw GridTextError("Disk write error");
}

void loadgrid(TextGrid& grid, const std::filesystem::path& file) {
    const FileContent in = readWholeFile(file);
    if (in.outcome == FileContent::Outcome::NotOpened)
        throw GridTextError(in.error == ENOENT ? "File not found" : "File access denied");
    if (!in.read()) throw GridTextError("Disk read error");
    loadgrid(grid, in.text());
}

}  // namespace quintelle
