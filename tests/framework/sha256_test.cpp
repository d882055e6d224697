#include "framework/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace pixelmoor {
namespace {

std::wstring DigestInPieces(const std::string& message, std::size_t piece) {
    Sha256 hasher;
    const auto* bytes = reinterpret_cast<const std::byte*>(message.data());
    for (std::size_t at = 0; at < message.size(); at += piece)
        hasher.Update({bytes + at, std::min(piece, message.size() - at)});
    return Sha256Text(hasher.Finish());
}

TEST(Sha256, PublishedDigestsWhateverPiecesTheBytesComeIn) {
    const struct {
        std::string message;
        std::wstring digest;
    } cases[] = {
        // nothing at all: one block of padding only
        {"", L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        // "abc", the standard's first example
        {"abc", L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 56 bytes: the length no longer fits the block, padding takes a second one
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         L"248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        // 112 bytes, the standard's two-block example
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqr"
         "stu",
         L"cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        // a million bytes: many blocks, and a length beyond 16 bits
        {std::string(1000000, 'a'), L"cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases)
        for (const std::size_t piece : {std::size_t{1}, std::size_t{63}, std::size_t{64}, std::size_t{1000}})
            EXPECT_EQ(DigestInPieces(c.message, piece), c.digest) << c.message.size() << " in pieces of " << piece;
    // A finished hasher starts anew.
    Sha256 hasher;
    hasher.Update(std::as_bytes(std::span("x", 1)));
    static_cast<void>(hasher.Finish());
    EXPECT_EQ(Sha256Text(hasher.Finish()), L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

}  // namespace
}  // namespace pixelmoor
