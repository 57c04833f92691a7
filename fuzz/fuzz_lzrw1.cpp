// Any bytes as a tally file: decoding must fail cleanly or succeed, never
// touch memory outside its buffers. The same bytes as plain input must
// survive a compress/decompress round trip unchanged.
#include <algorithm>
#include <cstdlib>
#include <span>

#include "data/lzrw1.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    try {
        quintelle::decompress(input, "fuzz");
    } catch (const quintelle::ELzrw1Exception&) {
    }
    const std::vector<std::uint8_t> file = quintelle::compressFast(input);
    const std::vector<std::uint8_t> back = quintelle::decompress(file, "fuzz");
    if (!std::equal(back.begin(), back.end(), input.begin(), input.end())) std::abort();
    return 0;
}
