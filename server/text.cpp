#include "server/text.h"

#include <uninorm.h>
#include <unistr.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace quintelle::server {
namespace {

bool refusedCharacter(ucs4_t c) {
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029 ||
           (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069);
}

const std::uint8_t* bytes(std::string_view text) {
    return reinterpret_cast<const std::uint8_t*>(text.data());
}

}  // namespace

std::optional<std::string> textProblem(std::string_view utf8) {
    if (u8_check(bytes(utf8), utf8.size()) != nullptr) return "is not valid UTF-8";
    const std::uint8_t* end = bytes(utf8) + utf8.size();
    for (const std::uint8_t* p = bytes(utf8); p < end;) {
        ucs4_t c = 0;
        p += u8_mbtouc(&c, p, end - p);
        if (refusedCharacter(c)) return "contains control or text-direction characters";
    }
    return std::nullopt;
}

std::string normalForm(std::string_view utf8) {
    if (utf8.empty()) return {};
    std::size_t length = 0;
    std::unique_ptr<std::uint8_t, decltype(&std::free)> normal(
        u8_normalize(UNINORM_NFC, bytes(utf8), utf8.size(), nullptr, &length), std::free);
    if (!normal) throw std::bad_alloc();
    return std::string(reinterpret_cast<const char*>(normal.get()), length);
}

std::string printable(std::string_view text) {
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7f || c == '\\') {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace quintelle::server
