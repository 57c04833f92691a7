#pragma once
// Text that came from a client, made safe to store, show and log.
#include <optional>
#include <string>
#include <string_view>

namespace quintelle::server {

// Why a player's text cannot be stored, or nothing. It must be valid UTF-8
// and free of control characters, line and paragraph separators, and the
// bidirectional embeddings, overrides and isolates (U+202A..U+202E,
// U+2066..U+2069), which would reorder the text shown after it on a page or
// in a log. Right-to-left names keep their implicit marks (U+200E, U+200F).
std::optional<std::string> textProblem(std::string_view utf8);

// The text in Unicode Normalization Form C, the one form every name and date
// is stored in, so that equal names are equal bytes on every database. For
// text that textProblem accepts.
std::string normalForm(std::string_view utf8);

// Control characters and bytes outside ASCII shown as \xNN, so a request
// cannot forge or break log lines.
std::string printable(std::string_view text);

}  // namespace quintelle::server
