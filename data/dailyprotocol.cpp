#include "data/dailyprotocol.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <set>

namespace quintelle::daily {
namespace {

constexpr std::int64_t kDayMs = 86'400'000;

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> decode(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] != '%') {
            out += text[i];
        } else if (i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

bool isName(std::string_view name) {
    return !name.empty() &&
           std::all_of(name.begin(), name.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

bool isToken(std::string_view s) {
    return s.size() == 32 && std::all_of(s.begin(), s.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

bool isCell(int address) {
    return address / 10 >= 1 && address / 10 <= 5 && address % 10 >= 1 && address % 10 <= 5;
}

template <std::size_t N>
std::string joined(const std::array<int, N>& values) {
    std::string out;
    for (int v : values) out += (out.empty() ? "" : ",") + std::to_string(v);
    return out;
}

// Takes the fields of one message, remembering the first problem and which
// fields were read, so a strict reader can refuse the rest.
class Reader {
  public:
    explicit Reader(const Form& form) : form_(form) {}

    const std::string* take(std::string_view name) {
        taken_.insert(std::string(name));
        return form_.find(name);
    }

    void fail(std::string why) {
        if (problem.empty()) problem = std::move(why);
    }

    // A required field holding one whole number from low to high.
    int number(std::string_view name, int low, int high) {
        const std::string* text = take(name);
        int value = 0;
        if (!text || !parseInt(*text, value) || value < low || value > high) {
            fail(std::string(name) + " must be a whole number from " + std::to_string(low) +
                 " to " + std::to_string(high));
        }
        return value;
    }

    std::optional<int> optionalNumber(std::string_view name, int low, int high) {
        if (!form_.find(name)) return std::nullopt;
        return number(name, low, high);
    }

    bool flag(std::string_view name) { return number(name, 0, 1) == 1; }

    template <std::size_t N>
    std::array<int, N> numbers(std::string_view name, int low, int high) {
        std::array<int, N> out{};
        const std::string* text = take(name);
        std::size_t count = 0;
        bool ok = text != nullptr;
        for (std::string_view rest = ok ? std::string_view(*text) : std::string_view(); ok;) {
            const std::size_t comma = rest.find(',');
            int value = 0;
            ok = count < N && parseInt(std::string(rest.substr(0, comma)), value) && value >= low &&
                 value <= high;
            if (ok) out[count++] = value;
            if (comma == std::string_view::npos) break;
            rest.remove_prefix(comma + 1);
        }
        if (!ok || count != N) {
            fail(std::string(name) + " must be " + std::to_string(N) +
                 " comma-separated numbers from " + std::to_string(low) + " to " +
                 std::to_string(high));
        }
        return out;
    }

    std::string session() {
        const std::string* text = take("session");
        if (!text || !isToken(*text)) fail("session must be 32 hex digits");
        return text ? *text : std::string();
    }

    std::string text(std::string_view name) {
        const std::string* value = take(name);
        if (!value) fail(std::string(name) + " is missing");
        return value ? *value : std::string();
    }

    // The first field nobody asked for.
    void refuseOthers() {
        for (const auto& [name, value] : form_.fields()) {
            if (!taken_.count(name)) fail("unknown field " + name);
        }
    }

    std::string problem;

  private:
    static bool parseInt(const std::string& text, int& value) {
        const char* end = text.data() + text.size();
        auto [stop, error] = std::from_chars(text.data(), end, value);
        // Digits only, and no leading zero: each number has one way to be written.
        return !text.empty() && text.front() != '-' && (text.front() != '0' || text.size() == 1) &&
               error == std::errc() && stop == end;
    }

    const Form& form_;
    std::set<std::string> taken_;
};

template <typename Message>
std::variant<Message, std::string> strictly(std::string_view body, Message (*read)(Reader&)) {
    auto parsed = parseForm(body);
    if (auto* why = std::get_if<std::string>(&parsed)) return *why;
    Reader reader(std::get<Form>(parsed));
    Message m = read(reader);
    reader.refuseOthers();
    if (!reader.problem.empty()) return reader.problem;
    return m;
}

}  // namespace

int dayof(std::int64_t unixMs) {
    return static_cast<int>((unixMs >= 0 ? unixMs : unixMs - kDayMs + 1) / kDayMs);
}

std::string daytext(int day) {
    std::chrono::year_month_day date{std::chrono::sys_days{std::chrono::days{day}}};
    char out[16];
    std::snprintf(out, sizeof out, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return out;
}

std::optional<int> parseday(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int parts[3] = {};
    const std::size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (int i = 0; i < 3; ++i) {
        std::string_view digits = text.substr(starts[i], lengths[i]);
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        std::from_chars(digits.data(), digits.data() + digits.size(), parts[i]);
    }
    std::chrono::year_month_day date{std::chrono::year{parts[0]},
                                     std::chrono::month{static_cast<unsigned>(parts[1])},
                                     std::chrono::day{static_cast<unsigned>(parts[2])}};
    if (!date.ok() || parts[0] < 1970) return std::nullopt;
    return static_cast<int>(std::chrono::sys_days{date}.time_since_epoch().count());
}

void Form::add(std::string_view name, std::string_view value) {
    fields_.emplace_back(name, value);
}

void Form::add(std::string_view name, std::int64_t value) {
    add(name, std::to_string(value));
}

const std::string* Form::find(std::string_view name) const {
    for (const auto& [n, v] : fields_)
        if (n == name) return &v;
    return nullptr;
}

std::string Form::text() const {
    static constexpr char kHex[] = "0123456789ABCDEF";
    constexpr auto npos = std::string_view::npos;
    std::string out;
    for (const auto& [name, value] : fields_) {
        if (!out.empty()) out += '&';
        out += name;
        out += '=';
        for (char c : value) {
            auto byte = static_cast<unsigned char>(c);
            bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                         (c >= '0' && c <= '9') || std::string_view("-._~,").find(c) != npos;
            if (plain) {
                out += c;
            } else if (c == ' ') {
                out += '+';
            } else {
                out += '%';
                out += kHex[byte >> 4];
                out += kHex[byte & 15];
            }
        }
    }
    return out;
}

std::variant<Form, std::string> parseForm(std::string_view text) {
    if (text.size() > kMaxFormBytes) {
        return "longer than " + std::to_string(kMaxFormBytes) + " bytes";
    }
    Form form;
    if (text.empty()) return form;
    std::size_t count = 0;
    for (std::size_t at = 0; at <= text.size();) {
        std::size_t amp = std::min(text.find('&', at), text.size());
        std::string_view pair = text.substr(at, amp - at);
        std::size_t eq = pair.find('=');
        std::string_view name = pair.substr(0, eq);
        if (eq == std::string_view::npos || !isName(name)) {
            return "each field must be name=value, the name in lower-case letters";
        }
        if (++count > kMaxFields) return "more than " + std::to_string(kMaxFields) + " fields";
        if (form.find(name)) return std::string(name) + " is given twice";
        std::optional<std::string> value = decode(pair.substr(eq + 1));
        if (!value) return std::string(name) + " has a % not followed by two hex digits";
        form.add(name, *value);
        at = amp + 1;
    }
    return form;
}

std::string format(const Open& m) {
    Form f;
    if (!m.session.empty()) {
        f.add("session", m.session);
    } else {
        f.add("name", m.name);
    }
    return f.text();
}

std::string format(const Place& m) {
    Form f;
    f.add("session", m.session);
    f.add("move", m.move);
    f.add("cell", m.cell);
    return f.text();
}

std::string format(const Deal& m) {
    Form f;
    f.add("state", "deal");
    f.add("day", m.day);
    f.add("session", m.session);
    f.add("move", m.move);
    f.add("card", m.card);
    f.add("replace", m.canReplace ? 1 : 0);
    f.add("seconds", m.seconds);
    f.add("grid", joined(m.grid));
    return f.text();
}

std::string format(const Result& m) {
    Form f;
    f.add("state", "over");
    f.add("day", m.day);
    f.add("session", m.session);
    f.add("grid", joined(m.grid));
    f.add("lines", joined(m.lines));
    f.add("points", m.points);
    f.add("seconds", m.seconds);
    f.add("bonus", m.bonus);
    f.add("score", m.score);
    f.add("ranked", m.ranked ? 1 : 0);
    f.add("rank", m.rank);
    f.add("players", m.players);
    if (m.counted) f.add("counted", *m.counted);
    if (m.par) f.add("par", *m.par);
    return f.text();
}

std::string format(const Failure& m) {
    Form f;
    f.add("error", m.error);
    f.add("message", m.message);
    return f.text();
}

std::variant<Open, std::string> parseOpen(std::string_view body) {
    return strictly<Open>(body, [](Reader& r) {
        Open m;
        if (r.take("name") && r.take("session")) r.fail("give a name or a session, not both");
        if (r.take("session")) {
            m.session = r.session();
        } else {
            m.name = r.text("name");
        }
        return m;
    });
}

std::variant<Place, std::string> parsePlace(std::string_view body) {
    return strictly<Place>(body, [](Reader& r) {
        Place m;
        m.session = r.session();
        m.move = r.number("move", 1, kCards);
        m.cell = r.number("cell", 11, 55);
        if (!isCell(m.cell)) r.fail("cell must be a board address, row and column 1 to 5");
        return m;
    });
}

std::variant<Reply, std::string> parseReply(std::string_view body) {
    auto parsed = parseForm(body);
    if (auto* why = std::get_if<std::string>(&parsed)) return *why;
    Reader r(std::get<Form>(parsed));
    Reply reply;
    const std::string* state = r.take("state");
    if (r.take("error")) {
        reply = Failure{r.text("error"), r.text("message")};
    } else if (state && *state == "deal") {
        Deal m;
        m.day = r.text("day");
        m.session = r.session();
        m.move = r.number("move", 1, kCards);
        m.card = r.number("card", 1, 52);
        m.canReplace = r.flag("replace");
        m.seconds = r.number("seconds", 0, 1 << 30);
        m.grid = r.numbers<25>("grid", 0, 52);
        reply = m;
    } else if (state && *state == "over") {
        Result m;
        m.day = r.text("day");
        m.session = r.session();
        m.grid = r.numbers<25>("grid", 1, 52);
        m.lines = r.numbers<10>("lines", 0, 100);
        m.points = r.number("points", 0, 1000);
        m.seconds = r.number("seconds", 0, 1 << 30);
        m.bonus = r.number("bonus", 0, 50);
        m.score = r.number("score", 0, 1050);
        m.ranked = r.flag("ranked");
        m.rank = r.number("rank", 1, 1 << 30);
        m.players = r.number("players", 1, 1 << 30);
        m.counted = r.optionalNumber("counted", 0, 1050);
        m.par = r.optionalNumber("par", 0, 1050);
        reply = m;
    } else {
        r.fail("state must be deal or over, or error given");
    }
    if (!r.problem.empty()) return r.problem;
    return reply;
}

}  // namespace quintelle::daily
