#pragma once
// Text to integer, the one conversion used by the settings file and the
// tally: optional leading blanks, an optional sign, then decimal digits or
// hexadecimal digits after a "$"; the whole text must be consumed and the
// value must fit a signed 32-bit integer.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace quintelle {

std::optional<std::int32_t> toInt32(std::string_view text);

// The same, with "0x"/"0X" + hexadecimal digits accepted as well when the
// text is longer than the prefix alone (the settings file's integer rule).
std::optional<std::int32_t> toInt32With0x(std::string_view text);

// Raised by the strict conversion; the message names the offending text.
class ConversionError : public std::runtime_error {
  public:
    explicit ConversionError(std::string_view text);
};

// toInt32, raising "'<text>' is not a valid integer value" on failure.
std::int32_t toInt32Strict(std::string_view text);

}  // namespace quintelle
