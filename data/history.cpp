#include "data/history.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstring>
#include <system_error>
#include <utility>

#include "data/atomicfile.h"
#include "data/readfile.h"
#include "game/scoring.h"

namespace quintelle {
namespace {

constexpr std::string_view kMagic = "QTLHIS01";
constexpr std::string_view kPrefix = "rounds-";
constexpr std::string_view kSuffix = ".qhr";
constexpr int kUnknownExpert = 0xFFFF;

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::uint8_t b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// Little-endian fields at fixed offsets.
struct Writer {
    std::string& out;
    void put(std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
};
std::uint64_t get(std::span<const std::uint8_t> in, std::size_t at, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= std::uint64_t{in[at + i]} << (8 * i);
    return v;
}

bool sound(const RoundRecord& r) {
    const PlayedRound& p = r.round;
    std::uint64_t seen = 0;
    std::array<int, 25> laid{};
    for (std::size_t i = 0; i < 26; ++i) {
        if (p.cards[i] < 1 || p.cards[i] > 52 || p.cells[i] < 0 || p.cells[i] > 24) return false;
        if (seen & (std::uint64_t{1} << p.cards[i])) return false;
        seen |= std::uint64_t{1} << p.cards[i];
        ++laid[static_cast<std::size_t>(p.cells[i])];
    }
    // Every cell once, one of them twice: the replacement.
    if (std::count(laid.begin(), laid.end(), 1) != 24 ||
        std::count(laid.begin(), laid.end(), 2) != 1)
        return false;
    if (linePoints(finalGrid(p)) != p.lines) return false;
    int sum = 0;
    for (int l : p.lines) sum += l;
    return sum == p.points && r.game >= 1 && p.roundInGame >= 1;
}

std::int64_t systemSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

std::string encodeRecord(const RoundRecord& r) {
    const PlayedRound& p = r.round;
    std::string out;
    out.reserve(kRecordSize);
    Writer w{out};
    w.put(0, 4);  // the checksum, below
    w.put(static_cast<std::uint64_t>(r.when), 8);
    w.put(r.game, 4);
    w.put(p.seed, 4);
    w.put(static_cast<std::uint64_t>(std::clamp(p.roundInGame, 0, 0xFFFF)), 2);
    w.put(static_cast<std::uint64_t>(std::clamp(p.points, 0, 0xFFFF)), 2);
    w.put(static_cast<std::uint64_t>(std::clamp(p.seconds, 0, 0xFFFF)), 2);
    w.put(static_cast<std::uint64_t>(std::clamp(p.bonus, 0, 0xFF)), 1);
    w.put((p.cleared ? 1u : 0u) | (p.hinted ? 2u : 0u), 1);
    w.put(static_cast<std::uint64_t>(r.expert < 0 ? kUnknownExpert : std::min(r.expert, 0xFFFE)),
          2);
    for (int c : p.cards) w.put(static_cast<std::uint64_t>(c & 0xFF), 1);
    for (int c : p.cells) w.put(static_cast<std::uint64_t>(c & 0xFF), 1);
    for (int l : p.lines) w.put(static_cast<std::uint64_t>(l & 0xFF), 1);
    out.resize(kRecordSize, '\0');
    const std::uint32_t sum =
        crc32({reinterpret_cast<const std::uint8_t*>(out.data()) + 4, kRecordSize - 4});
    for (int i = 0; i < 4; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<char>((sum >> (8 * i)) & 0xFF);
    return out;
}

std::optional<RoundRecord> decodeRecord(std::span<const std::uint8_t> in) {
    if (in.size() != kRecordSize || get(in, 0, 4) != crc32(in.subspan(4))) return std::nullopt;
    RoundRecord r;
    PlayedRound& p = r.round;
    r.when = static_cast<std::int64_t>(get(in, 4, 8));
    r.game = static_cast<std::uint32_t>(get(in, 12, 4));
    p.seed = static_cast<std::uint32_t>(get(in, 16, 4));
    p.roundInGame = static_cast<int>(get(in, 20, 2));
    p.points = static_cast<int>(get(in, 22, 2));
    p.seconds = static_cast<int>(get(in, 24, 2));
    p.bonus = static_cast<int>(get(in, 26, 1));
    const auto flags = get(in, 27, 1);
    if (flags > 3 || get(in, 92, 4) != 0) return std::nullopt;  // nothing we write
    p.cleared = flags & 1;
    p.hinted = flags & 2;
    const int expert = static_cast<int>(get(in, 28, 2));
    r.expert = expert == kUnknownExpert ? -1 : expert;
    for (std::size_t i = 0; i < 26; ++i) {
        p.cards[i] = in[30 + i];
        p.cells[i] = in[56 + i];
    }
    for (std::size_t i = 0; i < 10; ++i) p.lines[i] = in[82 + i];
    if (!sound(r)) return std::nullopt;
    return r;
}

HistoryStore::HistoryStore(std::filesystem::path folder, Clock clock)
    : folder_(std::move(folder)), clock_(clock ? std::move(clock) : Clock(systemSeconds)) {}

std::filesystem::path HistoryStore::segmentPath(std::uint64_t segment) const {
    std::string number = std::to_string(segment);
    if (number.size() < 6) number.insert(0, 6 - number.size(), '0');
    return folder_ / (std::string(kPrefix) + number + std::string(kSuffix));
}

std::vector<std::uint64_t> HistoryStore::segments() const {
    std::vector<std::uint64_t> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder_, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= kPrefix.size() + kSuffix.size() || !name.starts_with(kPrefix) ||
            !name.ends_with(kSuffix))
            continue;
        const char* first = name.data() + kPrefix.size();
        const char* last = name.data() + name.size() - kSuffix.size();
        std::uint64_t n = 0;
        const auto [end_, err] = std::from_chars(first, last, n);
        if (err == std::errc() && end_ == last && n >= 1) found.push_back(n);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<RoundRecord> HistoryStore::readSegment(std::uint64_t segment) {
    const auto path = segmentPath(segment);
    const FileContent file = readWholeFile(path);
    std::vector<RoundRecord> rounds;
    rounds.reserve(file.bytes.size() / kRecordSize);
    if (!file.read()) {
        if (file.outcome == FileContent::Outcome::NotRead)
            problems_.push_back("The round history file " + path.filename().string() +
                                " could not be read.");
        return rounds;
    }
    const auto data = file.data();
    const bool ours =
        data.size() >= kMagic.size() && std::equal(kMagic.begin(), kMagic.end(), data.begin());
    std::size_t bad = ours ? 0 : 1;
    if (ours) {
        const auto body = data.subspan(kMagic.size());
        for (std::size_t at = 0; at + kRecordSize <= body.size(); at += kRecordSize) {
            if (auto r = decodeRecord(body.subspan(at, kRecordSize)))
                rounds.push_back(*r);
            else
                ++bad;
        }
        if (body.size() % kRecordSize != 0) ++bad;  // a record cut short
    }
    if (bad == 0) return rounds;

    // Kept for whoever wants to look at it; the good rounds go back in its place.
    auto aside = path;
    aside += ".damaged";
    std::error_code ec;
    std::filesystem::rename(path, aside, ec);
    // Where it cannot be set aside, it is left as it was, for a later start.
    if (!ec && !rounds.empty()) writeSegment(segment, rounds);
    problems_.push_back(
        "The round history file " + path.filename().string() +
        (ours ? " was damaged" : " is not a round history") + "; " + std::to_string(rounds.size()) +
        " rounds were kept and the file was set aside as " + aside.filename().string() + ".");
    return rounds;
}

bool HistoryStore::writeSegment(std::uint64_t segment,
                                const std::vector<RoundRecord>& rounds) const {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    std::string bytes(kMagic);
    bytes.reserve(kMagic.size() + rounds.size() * kRecordSize);
    for (const RoundRecord& r : rounds) bytes += encodeRecord(r);
    return writeFileAtomically(segmentPath(segment), bytes);
}

void HistoryStore::openNewest() {
    if (opened_) return;
    opened_ = true;
    const auto found = segments();
    if (found.empty()) return;
    current_ = found.back();
    currentRounds_ = readSegment(current_);
    // The game count goes on from the newest round still readable.
    for (auto it = found.rbegin(); it != found.rend() && lastGame_ == 0; ++it) {
        const auto rounds = *it == current_ ? currentRounds_ : readSegment(*it);
        if (!rounds.empty()) lastGame_ = rounds.back().game;
    }
}

HistoryStore::Appended HistoryStore::append(const PlayedRound& round) {
    openNewest();
    if (currentRounds_.size() >= kSegmentRounds) {
        ++current_;
        currentRounds_.clear();
        auto found = segments();
        for (std::size_t i = 0; i + kMaxSegments <= found.size(); ++i) {
            std::error_code ec;
            std::filesystem::remove(segmentPath(found[i]), ec);
        }
    }
    Appended done;
    done.record.when = clock_();
    if (round.roundInGame <= 1 || lastGame_ == 0) ++lastGame_;
    done.record.game = lastGame_;
    done.record.round = round;
    currentRounds_.push_back(done.record);
    if (all_) all_->push_back(done.record);
    done.id = current_ * kSegmentRounds + (currentRounds_.size() - 1);
    done.written = writeSegment(current_, currentRounds_);
    if (!done.written && !std::exchange(unwrittenReported_, true))
        problems_.push_back(
            "The round history could not be written in " + folder_.string() +
            "; this session's rounds are kept and written with the next that can be.");
    if (done.written) unwrittenReported_ = false;
    return done;
}

bool HistoryStore::setExpert(std::uint64_t id, int points) {
    openNewest();
    const std::uint64_t segment = id / kSegmentRounds;
    const std::size_t index = id % kSegmentRounds;
    std::vector<RoundRecord> older;
    std::vector<RoundRecord>& rounds =
        segment == current_ ? currentRounds_ : (older = readSegment(segment));
    if (index >= rounds.size()) return false;
    RoundRecord& stored = rounds[index];
    if (all_) {
        // A round the expert has just played is one of the last.
        const auto kept = std::find(all_->rbegin(), all_->rend(), stored);
        if (kept != all_->rend()) kept->expert = points;
    }
    stored.expert = points;
    return writeSegment(segment, rounds);
}

std::vector<std::pair<std::uint64_t, PlayedRound>> HistoryStore::unplayedByExpert() {
    openNewest();
    std::vector<std::pair<std::uint64_t, PlayedRound>> unplayed;
    for (std::size_t i = 0; i < currentRounds_.size(); ++i)
        if (currentRounds_[i].expert < 0)
            unplayed.emplace_back(current_ * kSegmentRounds + i, currentRounds_[i].round);
    return unplayed;
}

const std::vector<RoundRecord>& HistoryStore::rounds() {
    if (!all_) all_ = loadAll();
    return *all_;
}

std::vector<RoundRecord> HistoryStore::loadAll() {
    openNewest();
    std::vector<RoundRecord> all;
    const auto found = segments();
    all.reserve(found.size() * kSegmentRounds);
    for (std::uint64_t segment : found) {
        if (segment == current_) continue;
        auto rounds = readSegment(segment);
        all.insert(all.end(), std::make_move_iterator(rounds.begin()),
                   std::make_move_iterator(rounds.end()));
    }
    // The newest from memory: its rounds include any the disk refused.
    all.insert(all.end(), currentRounds_.begin(), currentRounds_.end());
    return all;
}

std::vector<std::string> HistoryStore::takeProblems() {
    return std::exchange(problems_, {});
}

}  // namespace quintelle
