// Any bytes as records of the round history: a record is accepted only when it
// is sound (checksum, cards, cells, its own grid's line points), and one that
// is accepted encodes back to the very same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "data/history.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quintelle;
    const std::span<const std::uint8_t> input(data, size);
    if (size != kRecordSize && decodeRecord(input)) std::abort();
    for (std::size_t at = 0; at + kRecordSize <= size; at += kRecordSize) {
        const auto record = decodeRecord(input.subspan(at, kRecordSize));
        if (!record) continue;
        const std::string again = encodeRecord(*record);
        if (std::memcmp(again.data(), data + at, kRecordSize) != 0) std::abort();
        if (linePoints(finalGrid(record->round)) != record->round.lines) std::abort();
    }
    return 0;
}
