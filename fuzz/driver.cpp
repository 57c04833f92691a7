// Stand-in for libFuzzer's main: feeds every file of the corpus folder given
// on the command line, then a bounded number of deterministic mutations of
// them, to LLVMFuzzerTestOneInput. Crashes and sanitizer reports fail the run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::uint32_t next(std::uint32_t& s) {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
}

void run(const std::vector<std::uint8_t>& input) {
    LLVMFuzzerTestOneInput(input.empty() ? nullptr : input.data(), input.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::vector<std::uint8_t>> corpus{{}};
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i], ec)) {
            std::ifstream in(entry.path(), std::ios::binary);
            corpus.emplace_back(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
        }
    }
    for (const auto& input : corpus) run(input);

    std::uint32_t seed = 0x9E3779B9u;
    constexpr int kMutations = 20000;
    for (int i = 0; i < kMutations; ++i) {
        std::vector<std::uint8_t> input = corpus[next(seed) % corpus.size()];
        const int edits = 1 + static_cast<int>(next(seed) % 8);
        for (int e = 0; e < edits; ++e) {
            const std::uint32_t op = next(seed) % 4;
            if (op == 0 || input.empty()) {
                input.insert(
                    input.begin() + static_cast<std::ptrdiff_t>(
                                        input.empty() ? 0 : next(seed) % (input.size() + 1)),
                    static_cast<std::uint8_t>(next(seed)));
            } else if (op == 1) {
                input[next(seed) % input.size()] = static_cast<std::uint8_t>(next(seed));
            } else if (op == 2) {
                input.erase(input.begin() + static_cast<std::ptrdiff_t>(next(seed) % input.size()));
            } else {
                input[next(seed) % input.size()] ^=
                    static_cast<std::uint8_t>(1u << (next(seed) % 8));
            }
        }
        run(input);
    }
    std::printf("%zu corpus inputs and %d mutations ran clean\n", corpus.size(), kMutations);
    return 0;
}
