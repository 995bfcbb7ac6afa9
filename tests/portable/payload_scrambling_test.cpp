// How payloads are cut into chunks and how chunks 1 and 2 are scrambled.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "package/portable/payload_scrambling.h"

namespace {

std::vector<PayloadChunk> Chunks(uint64_t size)
{
    std::vector<PayloadChunk> chunks;
    PayloadChunk chunk;
    while (GetPayloadChunk(size, chunks.size(), &chunk))
        chunks.push_back(chunk);
    return chunks;
}

TEST(PayloadChunks, SizeSwitchesAtThreeMillionBytes)
{
    EXPECT_EQ(100000u, PayloadChunkSize(1));
    EXPECT_EQ(100000u, PayloadChunkSize(2999999));
    EXPECT_EQ(1000000u, PayloadChunkSize(3000000));
    EXPECT_EQ(1000000u, PayloadChunkSize(14845057));
}

TEST(PayloadChunks, OnlyChunksOneAndTwoAreScrambled)
{
    auto small = Chunks(99999);
    ASSERT_EQ(1u, small.size());
    EXPECT_FALSE(small[0].scrambled);

    auto exact = Chunks(100000);
    ASSERT_EQ(1u, exact.size());
    EXPECT_EQ(100000u, exact[0].count);

    auto partial = Chunks(150000);
    ASSERT_EQ(2u, partial.size());
    EXPECT_TRUE(partial[1].scrambled);
    EXPECT_EQ(100000u, partial[1].offset);
    EXPECT_EQ(50000u, partial[1].count);

    auto below = Chunks(2999999);
    ASSERT_EQ(30u, below.size());
    EXPECT_EQ(PAYLOAD_CHUNK1_SEED, below[1].seed);
    EXPECT_EQ(PAYLOAD_CHUNK2_SEED, below[2].seed);
    EXPECT_EQ(200000u, below[2].offset);
    EXPECT_FALSE(below[3].scrambled);
    EXPECT_EQ(99999u, below[29].count);

    auto large = Chunks(3500000);
    ASSERT_EQ(4u, large.size());
    EXPECT_FALSE(large[0].scrambled);
    EXPECT_TRUE(large[1].scrambled && large[2].scrambled);
    EXPECT_FALSE(large[3].scrambled);
    EXPECT_EQ(500000u, large[3].count);
    EXPECT_EQ(0u, Chunks(0).size());
}

TEST(PayloadScrambling, StoredBytesAreXorOfNeighbours)
{
    const unsigned char plain[] = {0x10, 0x32, 0x32, 0xFF};
    unsigned char stored[4];
    ScramblePayloadBytes(plain, stored, 4, 0x6B);
    const unsigned char expected[] = {0x10 ^ 0x6B, 0x32 ^ 0x10, 0x00, 0xFF ^ 0x32};
    EXPECT_EQ(0, std::memcmp(expected, stored, 4));
    unsigned char restored[4];
    RestorePayloadBytes(stored, restored, 4, 0x6B);
    EXPECT_EQ(0, std::memcmp(plain, restored, 4));
}

TEST(PayloadScrambling, RestoresInPiecesAndInPlace)
{
    std::vector<unsigned char> plain(5000);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<unsigned char>((i * 131) ^ (i >> 3));
    std::vector<unsigned char> stored(plain.size());
    ScramblePayloadBytes(plain.data(), stored.data(), plain.size(), PAYLOAD_CHUNK2_SEED);
    EXPECT_NE(plain, stored);

    std::vector<unsigned char> pieces(stored);
    unsigned char previous = PAYLOAD_CHUNK2_SEED;
    for (size_t offset = 0; offset < pieces.size(); offset += 777) {
        size_t count = std::min<size_t>(777, pieces.size() - offset);
        previous = RestorePayloadBytes(&pieces[offset], &pieces[offset], count, previous);
    }
    EXPECT_EQ(plain, pieces);
}

} // namespace
