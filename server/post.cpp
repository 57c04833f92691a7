#include "server/post.h"

#include <algorithm>
#include <charconv>

namespace quintelle::server {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A name or date is shown on a web page and written to logs: it has to be
// short and free of control characters.
std::string checkField(std::string_view key, const std::string& value) {
    if (value.empty()) return std::string(key) + " is empty";
    if (value.size() > kMaxFieldBytes) {
        return std::string(key) + " is longer than " + std::to_string(kMaxFieldBytes) + " bytes";
    }
    bool control = std::any_of(value.begin(), value.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
    });
    if (control) return std::string(key) + " contains control characters";
    return {};
}

}  // namespace

std::string percentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::variant<ScorePost, std::string> parsePost(std::string_view target) {
    std::size_t question = target.find('?');
    if (question == std::string_view::npos) return "no query: expected name, date and score";
    std::string_view query = target.substr(question + 1);
    constexpr std::string_view kName = "name=", kDate = "&date=", kScore = "&score=";
    if (!query.starts_with(kName)) return "the query must begin with name=";
    std::size_t date = query.rfind(kDate);
    std::size_t score = query.rfind(kScore);
    if (date == std::string_view::npos) return "date is missing";
    if (score == std::string_view::npos || score < date + kDate.size()) {
        return "score is missing or not after the date";
    }

    ScorePost post;
    post.name = percentDecode(query.substr(kName.size(), date - kName.size()));
    post.date = percentDecode(query.substr(date + kDate.size(), score - date - kDate.size()));
    if (std::string e = checkField("name", post.name); !e.empty()) return e;
    if (std::string e = checkField("date", post.date); !e.empty()) return e;

    std::string scoreText = percentDecode(query.substr(score + kScore.size()));
    const char* end = scoreText.data() + scoreText.size();
    auto [stop, error] = std::from_chars(scoreText.data(), end, post.score);
    if (scoreText.empty() || error != std::errc() || stop != end) {
        return "score must be a whole number from -2147483648 to 2147483647";
    }
    return post;
}

}  // namespace quintelle::server
