#include "server/post.h"

#include <charconv>

#include "server/text.h"

namespace quintelle::server {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A name or date is shown on a web page and written to logs: it has to be
// short, well-formed text; it is kept in its normal form.
std::string readField(std::string_view key, std::string_view sent, std::string& value) {
    value = percentDecode(sent);
    if (value.empty()) return std::string(key) + " is empty";
    if (auto problem = textProblem(value)) return std::string(key) + " " + *problem;
    value = normalForm(value);
    if (value.size() > kMaxFieldBytes) {
        return std::string(key) + " is longer than " + std::to_string(kMaxFieldBytes) + " bytes";
    }
    return {};
}

std::size_t occurrences(std::string_view text, std::string_view marker) {
    std::size_t count = 0;
    for (std::size_t at = text.find(marker); at != std::string_view::npos;
         at = text.find(marker, at + 1)) {
        ++count;
    }
    return count;
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
    if (occurrences(query, "&name=") > 0 || occurrences(query, kDate) > 1 ||
        occurrences(query, kScore) > 1) {
        return "a field is given twice";
    }
    std::size_t date = query.find(kDate);
    std::size_t score = query.find(kScore);
    if (date == std::string_view::npos) return "date is missing";
    if (score == std::string_view::npos || score < date + kDate.size()) {
        return "score is missing or not after the date";
    }

    ScorePost post;
    if (std::string e =
            readField("name", query.substr(kName.size(), date - kName.size()), post.name);
        !e.empty()) {
        return e;
    }
    if (std::string e = readField(
            "date", query.substr(date + kDate.size(), score - date - kDate.size()), post.date);
        !e.empty()) {
        return e;
    }

    std::string scoreText = percentDecode(query.substr(score + kScore.size()));
    const char* end = scoreText.data() + scoreText.size();
    auto [stop, error] = std::from_chars(scoreText.data(), end, post.score);
    if (scoreText.empty() || error != std::errc() || stop != end) {
        return "score must be a whole number from -2147483648 to 2147483647";
    }
    return post;
}

}  // namespace quintelle::server
