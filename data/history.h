#pragma once
// The history of every round played, kept beside the tally in a folder
// "history" of segment files of up to 256 rounds each. A round's end
// rewrites only the newest segment, whole, through the atomic writer: a crash
// or a full disk leaves every earlier round where it was, and the work of a
// round's end does not grow with the years. Every record carries a CRC-32 and
// is checked against its own grid when read; a segment that fails is set
// aside beside itself (".damaged"), its good records written back, and the
// problem reported. At 96 bytes a round and at most 1000 segments, the
// history keeps the last 256,000 rounds (24 MB); older segments are removed.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "game/playedround.h"

namespace quintelle {

struct RoundRecord {
    std::int64_t when = 0;   // seconds since 1970, UTC, at the round's end
    std::uint32_t game = 0;  // games numbered from 1 in the order played
    PlayedRound round;
    int expert = -1;  // the coach's line points on the same cards; -1 unknown

    friend bool operator==(const RoundRecord&, const RoundRecord&) = default;
};

inline constexpr std::size_t kRecordSize = 96;

std::string encodeRecord(const RoundRecord& record);
// Nothing when the bytes are not a sound record: wrong size or checksum,
// cards or cells out of range, or line scores its own grid does not give.
std::optional<RoundRecord> decodeRecord(std::span<const std::uint8_t> bytes);

class HistoryStore {
  public:
    static constexpr std::size_t kSegmentRounds = 256;
    static constexpr std::size_t kMaxSegments = 1000;
    using Clock = std::function<std::int64_t()>;

    explicit HistoryStore(std::filesystem::path folder, Clock clock = {});

    // Stamps and numbers a finished round and stores it. The record, and
    // whether it reached the disk; one that did not is kept in memory and
    // written with the next.
    struct Appended {
        RoundRecord record;
        std::uint64_t id = 0;  // for setExpert
        bool written = false;
    };
    Appended append(const PlayedRound& round);
    // Adds the coach's points to a stored round.
    bool setExpert(std::uint64_t id, int points);
    // The newest segment's rounds the coach has not played yet (the program
    // closed first), with their ids for setExpert.
    std::vector<std::pair<std::uint64_t, PlayedRound>> unplayedByExpert();

    // Every readable round, oldest first, read from the disk.
    std::vector<RoundRecord> loadAll();
    // The same, read once and then kept up to date by append and setExpert,
    // so a window showing the history can ask again after every round.
    const std::vector<RoundRecord>& rounds();
    // What was set aside since last asked, one sentence each.
    std::vector<std::string> takeProblems();

  private:
    std::filesystem::path segmentPath(std::uint64_t segment) const;
    std::vector<std::uint64_t> segments() const;
    std::vector<RoundRecord> readSegment(std::uint64_t segment);
    bool writeSegment(std::uint64_t segment, const std::vector<RoundRecord>& rounds) const;
    void openNewest();

    std::filesystem::path folder_;
    Clock clock_;
    bool opened_ = false;
    std::uint64_t current_ = 1;                    // the newest segment
    std::vector<RoundRecord> currentRounds_;       // its rounds, as on the disk
    std::optional<std::vector<RoundRecord>> all_;  // rounds(), once asked for
    std::uint32_t lastGame_ = 0;
    bool unwrittenReported_ = false;
    std::vector<std::string> problems_;
};

}  // namespace quintelle
