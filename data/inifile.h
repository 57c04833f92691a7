#pragma once
// An initialisation file held in memory: "[section]" headers and key=value
// lines. Names match without regard to case, values are trimmed of blanks and
// read up to 2047 characters. Writing replaces a key where it stands, appends
// a new key at the end of its section (a missing section goes to the end of
// the file) and keeps every other line byte for byte. save() replaces the file
// as a whole. Texts are bytes in the system's 8-bit encoding.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quintelle {

// "Unable to write to <full path>".
class IniWriteError : public std::runtime_error {
  public:
    explicit IniWriteError(const std::filesystem::path& path);
};

class IniFile {
  public:
    static constexpr std::size_t kMaxValue = 2047;

    // Reads the file; a missing or unreadable file reads as empty.
    explicit IniFile(std::filesystem::path path);
    // Takes `bytes` as the file's content; save() still writes to `path`.
    IniFile(std::filesystem::path path, std::string_view bytes);

    const std::filesystem::path& path() const { return path_; }

    // The default only when the key is missing; a present empty value is "".
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // Decimal, "$" hex or "0x" hex; anything that does not convert gives def.
    std::int32_t readInteger(std::string_view section, std::string_view key,
                             std::int32_t def) const;

    // A line break would end the line early; the value is cut before it.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, std::int32_t value);

    // The file content as save() writes it.
    std::string bytes() const;
    // Throws IniWriteError; a failed save leaves the previous file intact.
    void save() const;

  private:
    void parse(std::string_view bytes);

    struct Line {
        std::string text;  // without its line end
        std::string end;   // "\r\n", "\n", "\r" or "" for an unterminated last line
    };

    // The trimmed and cut value, or nothing for a missing key.
    std::optional<std::string_view> value(std::string_view section, std::string_view key) const;
    std::optional<std::size_t> findSection(std::string_view section) const;
    // The line of the key within the section starting at header line `header`.
    std::optional<std::size_t> findKey(std::size_t header, std::string_view key) const;

    std::filesystem::path path_;
    std::vector<Line> lines_;
};

}  // namespace quintelle
