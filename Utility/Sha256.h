#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// SHA-256 (FIPS 180-4), fed in pieces of any size. The evidence package proves with it that its
// copies equal the card's files; `sha256sum` computes the same digests.
class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256() { reset(); }
    void reset();
    void update(const void* data, std::size_t length);
    void update(std::string_view bytes) { update(bytes.data(), bytes.size()); }
    // The digest of everything fed since the last reset; the object is reset afterwards.
    Digest finish();

private:
    void compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_{};
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;  // bytes fed
};

// The digest as 64 lower-case hexadecimal digits, as `sha256sum` prints it.
std::string pmDigestHex(const Sha256::Digest& digest);
std::string pmSha256Hex(std::string_view bytes);
