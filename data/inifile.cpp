#include "data/inifile.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "data/atomicfile.h"
#include "data/intconv.h"
#include "data/readfile.h"

namespace quintelle {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// The name of a "[name]" header line, or nothing for any other line.
std::optional<std::string_view> headerName(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    line.remove_prefix(1);
    return trim(line.substr(0, line.find(']')));
}

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyValue> keyValue(std::string_view line) {
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return KeyValue{trim(line.substr(0, eq)), trim(line.substr(eq + 1))};
}

std::string_view firstLine(std::string_view value) {
    return value.substr(0, value.find_first_of("\r\n"));
}

}  // namespace

IniWriteError::IniWriteError(const std::filesystem::path& path)
    : std::runtime_error("Unable to write to " + path.string()) {}

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {
    parse(readWholeFile(path_).text());
}

IniFile::IniFile(std::filesystem::path path, std::string_view bytes) : path_(std::move(path)) {
    parse(bytes);
}

void IniFile::parse(std::string_view bytes) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto stop = bytes.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            lines_.push_back({std::string(bytes.substr(start)), ""});
            break;
        }
        const std::size_t endLength = bytes.compare(stop, 2, kLineEnd) == 0 ? 2 : 1;
        lines_.push_back({std::string(bytes.substr(start, stop - start)),
                          std::string(bytes.substr(stop, endLength))});
        start = stop + endLength;
    }
}

std::optional<std::size_t> IniFile::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = headerName(lines_[i].text);
        if (name && sameName(*name, section)) return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> IniFile::findKey(std::size_t header, std::string_view key) const {
    for (std::size_t i = header + 1; i < lines_.size() && !headerName(lines_[i].text); ++i) {
        const auto kv = keyValue(lines_[i].text);
        if (kv && sameName(kv->key, key)) return i;
    }
    return std::nullopt;
}

std::optional<std::string_view> IniFile::value(std::string_view section,
                                               std::string_view key) const {
    const auto header = findSection(section);
    const auto line = header ? findKey(*header, key) : std::nullopt;
    if (!line) return std::nullopt;
    return keyValue(lines_[*line].text)->value.substr(0, kMaxValue);
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view def) const {
    return std::string(value(section, key).value_or(def));
}

std::int32_t IniFile::readInteger(std::string_view section, std::string_view key,
                                  std::int32_t def) const {
    const auto text = value(section, key);
    return text ? toInt32With0x(*text).value_or(def) : def;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    Line entry{std::string(key) + "=" + std::string(firstLine(value)), std::string(kLineEnd)};
    const auto header = findSection(section);
    if (header) {
        if (const auto line = findKey(*header, key)) {
            lines_[*line] = std::move(entry);
            return;
        }
    }
    // After the section's last non-blank line, so blank separators stay below it.
    std::size_t at = lines_.size();
    if (header) {
        at = *header + 1;
        for (std::size_t i = at; i < lines_.size() && !headerName(lines_[i].text); ++i)
            if (!trim(lines_[i].text).empty()) at = i + 1;
    }
    if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = kLineEnd;
    if (!header) {
        lines_.push_back({"[" + std::string(section) + "]", std::string(kLineEnd)});
        ++at;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
}

void IniFile::writeInteger(std::string_view section, std::string_view key, std::int32_t value) {
    writeString(section, key, std::to_string(value));
}

std::string IniFile::bytes() const {
    std::string out;
    for (const auto& line : lines_) out += line.text + line.end;
    return out;
}

void IniFile::save() const {
    if (!writeFileAtomically(path_, bytes())) throw IniWriteError(path_);
}

}  // namespace quintelle
