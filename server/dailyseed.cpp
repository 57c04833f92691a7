#include "server/dailyseed.h"

#include <sodium.h>

#include <array>
#include <stdexcept>

namespace quintelle::server {
namespace {

void needSodium() {
    if (sodium_init() < 0) throw std::runtime_error("libsodium cannot start");
}

std::string randomHex(std::size_t bytes) {
    needSodium();
    std::array<unsigned char, 32> raw{};
    randombytes_buf(raw.data(), bytes);
    std::string hex(2 * bytes + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), raw.data(), bytes);
    hex.pop_back();
    return hex;
}

class KeystreamRandom final : public Random {
  public:
    explicit KeystreamRandom(const std::array<unsigned char, 32>& key) : key_(key) {}

    std::uint32_t below(std::uint32_t n) override {
        if (used_ == block_.size()) {
            static const std::array<unsigned char, 64> zeros{};
            static const std::array<unsigned char, 12> nonce{};
            crypto_stream_chacha20_ietf_xor_ic(block_.data(), zeros.data(), zeros.size(),
                                               nonce.data(), counter_++, key_.data());
            used_ = 0;
        }
        std::uint32_t word = 0;
        for (int i = 3; i >= 0; --i) word = word << 8 | block_[used_ + static_cast<unsigned>(i)];
        used_ += 4;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(word) * n) >> 32);
    }

  private:
    std::array<unsigned char, 32> key_;
    std::array<unsigned char, 64> block_{};
    std::size_t used_ = 64;
    std::uint32_t counter_ = 0;
};

}  // namespace

std::string newSeed() {
    return randomHex(32);
}

std::string newToken() {
    return randomHex(16);
}

Deck dealOf(std::string_view seed) {
    needSodium();
    std::array<unsigned char, 32> key{};
    std::size_t length = 0;
    const char* end = nullptr;
    if (seed.size() != 64 ||
        sodium_hex2bin(key.data(), key.size(), seed.data(), seed.size(), nullptr, &length, &end) !=
            0 ||
        length != key.size() || end != seed.data() + seed.size()) {
        throw std::invalid_argument("a seed is 64 hex digits");
    }
    KeystreamRandom random(key);
    Deck deck{};
    shufflecards(deck, random);
    return deck;
}

}  // namespace quintelle::server
