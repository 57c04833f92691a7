#pragma once
#include <cstdint>

namespace quintelle {

// The program's one random source: a 32-bit linear congruential state,
// advanced before every draw, so a seed reproduces every deal exactly.
// `below` is virtual so tests can script the draws of a deal.
class Random {
  public:
    explicit Random(std::uint32_t seed = 0) : state_(seed) {}
    virtual ~Random() = default;

    void seed(std::uint32_t s) { state_ = s; }
    std::uint32_t state() const { return state_; }

    // 0..n-1 for n >= 1: the high 32 bits of state * n after advancing.
    virtual std::uint32_t below(std::uint32_t n) {
        state_ = state_ * 134775813u + 1u;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(state_) * n) >> 32);
    }

  private:
    std::uint32_t state_;
};

}  // namespace quintelle
