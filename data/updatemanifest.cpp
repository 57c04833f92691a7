#include "data/updatemanifest.h"

#include <sodium.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace quintelle::update {

namespace {

static_assert(sizeof(crypto_hash_sha256_state) <= sizeof(Sha256Stream));
static_assert(crypto_sign_PUBLICKEYBYTES == 32 && crypto_sign_SECRETKEYBYTES == 64 &&
              crypto_sign_BYTES == 64 && crypto_hash_sha256_BYTES == 32);

void initSodium() {
    // Safe to call from any thread, any number of times.
    if (sodium_init() < 0) throw std::runtime_error("libsodium failed to initialise");
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool decodeHex(std::string_view text, unsigned char* out, std::size_t size, bool lowerOnly) {
    if (text.size() != size * 2) return false;
    for (std::size_t i = 0; i < size; ++i) {
        const char hi = text[2 * i], lo = text[2 * i + 1];
        if (lowerOnly && ((hi >= 'A' && hi <= 'F') || (lo >= 'A' && lo <= 'F'))) return false;
        const int a = hexDigit(hi), b = hexDigit(lo);
        if (a < 0 || b < 0) return false;
        out[i] = static_cast<unsigned char>(a * 16 + b);
    }
    return true;
}

// The numbers of a version text, or none.
std::optional<std::vector<std::uint32_t>> versionNumbers(std::string_view text) {
    std::vector<std::uint32_t> numbers;
    while (true) {
        const std::size_t dot = text.find('.');
        const std::string_view part = text.substr(0, dot);
        if (part.empty() || part.size() > 6 || numbers.size() == 4) return std::nullopt;
        std::uint32_t n = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), n);
        if (error != std::errc() || end != part.data() + part.size()) return std::nullopt;
        numbers.push_back(n);
        if (dot == std::string_view::npos) return numbers;
        text.remove_prefix(dot + 1);
    }
}

// "name value" with exactly this name and one space.
std::optional<std::string_view> field(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() + 1 || line.substr(0, name.size()) != name ||
        line[name.size()] != ' ')
        return std::nullopt;
    return line.substr(name.size() + 1);
}

std::string unsignedText(const Manifest& m, const PublicKey& key) {
    return std::string(kFormatLine) + "\nversion " + m.version + "\nsize " +
           std::to_string(m.size) + "\nsha256 " + toHex(m.sha256) + "\nkey " + toHex(key) + "\n";
}

}  // namespace

std::string toHex(const unsigned char* bytes, std::size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string text(size * 2, '0');
    for (std::size_t i = 0; i < size; ++i) {
        text[2 * i] = digits[bytes[i] >> 4];
        text[2 * i + 1] = digits[bytes[i] & 15];
    }
    return text;
}

template <std::size_t N>
std::optional<std::array<unsigned char, N>> fromHex(std::string_view text) {
    std::array<unsigned char, N> bytes{};
    if (!decodeHex(text, bytes.data(), N, false)) return std::nullopt;
    return bytes;
}
template std::optional<std::array<unsigned char, 32>> fromHex<32>(std::string_view);
template std::optional<std::array<unsigned char, 64>> fromHex<64>(std::string_view);

bool isVersionText(std::string_view version) {
    return versionNumbers(version).has_value();
}

bool isNewerVersion(std::string_view offered, std::string_view ours) {
    auto a = versionNumbers(offered), b = versionNumbers(ours);
    if (!a || !b) return false;
    const std::size_t n = std::max(a->size(), b->size());
    a->resize(n, 0);
    b->resize(n, 0);
    return *a > *b;
}

std::variant<ParsedManifest, std::string> parseManifest(std::string_view text) {
    if (text.size() > kMaxManifestBytes)
        return "longer than " + std::to_string(kMaxManifestBytes) + " bytes";
    if (text.empty() || text.back() != '\n') return std::string("does not end with a line break");
    std::vector<std::string_view> lines;
    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t lf = rest.find('\n');
        lines.push_back(rest.substr(0, lf));
        rest.remove_prefix(lf + 1);
    }
    if (lines.size() != 6) return "has " + std::to_string(lines.size()) + " lines, not 6";
    if (lines[0] != kFormatLine) return std::string("is not a manifest of format 1");

    ParsedManifest parsed;
    Manifest& m = parsed.manifest;
    const auto version = field(lines[1], "version");
    if (!version || !isVersionText(*version)) return std::string("has no valid version line");
    m.version = std::string(*version);

    const auto size = field(lines[2], "size");
    if (!size || size->size() > 15 || (*size)[0] == '0') return std::string("has no valid size");
    const auto [end, error] = std::from_chars(size->data(), size->data() + size->size(), m.size);
    if (error != std::errc() || end != size->data() + size->size() || m.size == 0 ||
        m.size > kMaxInstallerBytes)
        return std::string("has no valid size");

    const auto hash = field(lines[3], "sha256");
    if (!hash || !decodeHex(*hash, m.sha256.data(), m.sha256.size(), true))
        return std::string("has no valid sha256 line");
    const auto key = field(lines[4], "key");
    if (!key || !decodeHex(*key, parsed.key.data(), parsed.key.size(), true))
        return std::string("has no valid key line");
    const auto signature = field(lines[5], "signature");
    if (!signature ||
        !decodeHex(*signature, parsed.signature.data(), parsed.signature.size(), true))
        return std::string("has no valid signature line");
    parsed.signedPart = text.substr(0, text.size() - lines[5].size() - 1);
    return parsed;
}

ManifestCheck verifyManifest(std::string_view text, const PublicKey& trusted) {
    initSodium();
    ManifestCheck check;
    auto parsed = parseManifest(text);
    if (const auto* why = std::get_if<std::string>(&parsed)) {
        check.detail = "the manifest " + *why;
        return check;
    }
    ParsedManifest& p = std::get<ParsedManifest>(parsed);
    if (sodium_memcmp(p.key.data(), trusted.data(), trusted.size()) != 0) {
        check.fault = ManifestFault::ForeignKey;
        check.detail =
            "the manifest is signed by key " + toHex(p.key) + ", not by " + toHex(trusted);
        return check;
    }
    const auto* message = reinterpret_cast<const unsigned char*>(p.signedPart.data());
    if (crypto_sign_verify_detached(p.signature.data(), message, p.signedPart.size(),
                                    trusted.data()) != 0) {
        check.fault = ManifestFault::BadSignature;
        check.detail = "the manifest's signature does not match its text";
        return check;
    }
    check.manifest = std::move(p.manifest);
    return check;
}

std::string signManifest(const Manifest& manifest, const SecretKey& secret) {
    initSodium();
    if (!isVersionText(manifest.version) || manifest.size == 0 ||
        manifest.size > kMaxInstallerBytes)
        throw std::invalid_argument("not a version text or installer size a manifest can carry");
    const std::string text = unsignedText(manifest, publicKeyOf(secret));
    Signature signature{};
    crypto_sign_detached(signature.data(), nullptr,
                         reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                         secret.data());
    return text + "signature " + toHex(signature) + "\n";
}

KeyPair generateKeyPair() {
    initSodium();
    KeyPair pair{};
    crypto_sign_keypair(pair.publicKey.data(), pair.secretKey.data());
    return pair;
}

PublicKey publicKeyOf(const SecretKey& secret) {
    initSodium();
    PublicKey key{};
    crypto_sign_ed25519_sk_to_pk(key.data(), secret.data());
    return key;
}

Sha256Stream::Sha256Stream() {
    initSodium();
    crypto_hash_sha256_init(reinterpret_cast<crypto_hash_sha256_state*>(state_));
}

void Sha256Stream::add(const void* data, std::size_t size) {
    crypto_hash_sha256_update(reinterpret_cast<crypto_hash_sha256_state*>(state_),
                              static_cast<const unsigned char*>(data), size);
}

Sha256 Sha256Stream::finish() {
    Sha256 digest{};
    crypto_hash_sha256_final(reinterpret_cast<crypto_hash_sha256_state*>(state_), digest.data());
    return digest;
}

}  // namespace quintelle::update
