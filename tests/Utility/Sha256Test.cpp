#include "Utility/Sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The FIPS 180-4 examples (empty, one block, two blocks, a million 'a') and the padding's edges:
// 55 bytes still take the length in their block, 56 and 64 need a second one.
TEST(Sha256Test, KnownDigests) {
    const struct {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1'000'000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(63, 'a'), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {std::string(119, 'a'), "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
    };
    for (const auto& c : cases) EXPECT_EQ(pmSha256Hex(c.message), c.digest) << c.message.size() << " bytes";
}

// A digest does not depend on how the bytes were cut into pieces, and finish() starts afresh.
TEST(Sha256Test, PiecesGiveTheWholeDigest) {
    std::string message;
    for (int i = 0; i < 300; ++i) message += char(i * 37 + 11);
    const std::string whole = pmSha256Hex(message);
    Sha256 hash;
    for (std::size_t piece : {1u, 3u, 55u, 63u, 64u, 65u, 129u}) {
        for (std::size_t at = 0; at < message.size(); at += piece)
            hash.update(std::string_view(message).substr(at, piece));
        EXPECT_EQ(pmDigestHex(hash.finish()), whole) << "pieces of " << piece;
    }
}

}  // namespace
