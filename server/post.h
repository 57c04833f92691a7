#pragma once
// Reading a score post. The game puts the name and date into the query as
// typed, without escaping "&" or "=", always in the order name, date, score;
// so the query is cut by its layout rather than split at every "&". A query
// with a field marker ("&name=", "&date=", "&score=") more than once has no
// single reading and is refused, whatever its fields would hold.
#include <string>
#include <string_view>
#include <variant>

#include "server/scorestore.h"

namespace quintelle::server {

inline constexpr std::size_t kMaxFieldBytes = 64;

// Decodes %XX escapes; a "%" not followed by two hex digits stays as it is,
// and "+" stays a plus (the game never encodes a space as "+").
std::string percentDecode(std::string_view text);

// The post carried by a request target such as
// "/cgi-bin/quintelle.cgi?name=Ann&date=3/5/26&score=120", its name and date
// in their stored form (see normalForm), or the reason it is refused.
std::variant<ScorePost, std::string> parsePost(std::string_view target);

}  // namespace quintelle::server
