#pragma once
// The tests' own update key pair. It is fixed, so that a game built for the
// tests trusts it (trust_test_key.cpp) and any test can sign an update with
// it; no shipped build trusts it.
#include <optional>

#include "data/updatemanifest.h"

namespace quintelle::testsupport {

inline constexpr const char* kTestUpdateSecret =
    "09fdd53337a0e52d8732cc932f63795a17acc1004b3d4dce7646cc35dae0dd9b"
    "e7c19b4372df6b0f6bc2dc6c9bcb20cdd0dd25b4d264616cbadb84e8c8ff3c52";
inline constexpr const char* kTestUpdatePublic =
    "e7c19b4372df6b0f6bc2dc6c9bcb20cdd0dd25b4d264616cbadb84e8c8ff3c52";

inline update::SecretKey testUpdateSecret() {
    return *update::fromHex<64>(kTestUpdateSecret);
}
inline update::PublicKey testUpdateKey() {
    return *update::fromHex<32>(kTestUpdatePublic);
}

}  // namespace quintelle::testsupport
