#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "base/mem_buffer.h"

TEST(MemBuffer, ReserveOnEmptyBufferFollowsGrowthRule)
{
    CMemBuffer buffer;
    EXPECT_EQ(E_UNEXPECTED, buffer.Reserve(0, false, false));
    EXPECT_EQ(S_OK, buffer.Reserve(1, false, false));
    EXPECT_EQ(4, buffer.GetCapacity());
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(buffer.GetData()) % 4);
}

TEST(MemBuffer, GranularityRaisesAndKeepsContents)
{
    CMemBuffer buffer;
    buffer.SetGranularity(256);
    ASSERT_EQ(S_OK, buffer.Reserve(4, false, false));
    EXPECT_EQ(259, buffer.GetCapacity());
    for (int i = 0; i < 259; ++i)
        buffer.GetData()[i] = static_cast<char>(i);
    EXPECT_EQ(S_FALSE, buffer.Reserve(259, false, true));
    EXPECT_EQ(259, buffer.GetCapacity());
    ASSERT_EQ(S_OK, buffer.Reserve(260, false, true));
    EXPECT_EQ(515, buffer.GetCapacity());
    for (int i = 0; i < 259; ++i)
        ASSERT_EQ(static_cast<char>(i), buffer.GetData()[i]) << "byte " << i;
}

TEST(MemBuffer, ZeroFillWithoutKeepZeroesExactlyTheRequest)
{
    CMemBuffer buffer;
    buffer.SetGranularity(256);
    ASSERT_EQ(S_OK, buffer.Reserve(100, false, false));
    std::memset(buffer.GetData(), 'x', 259);
    EXPECT_EQ(S_FALSE, buffer.Reserve(10, true, false));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(0, buffer.GetData()[i]);
    EXPECT_EQ('x', buffer.GetData()[10]);
}

TEST(MemBuffer, ZeroFillOnGrowthZeroesTheNewPart)
{
    CMemBuffer buffer;
    ASSERT_EQ(S_OK, buffer.SetBytes(3, "abc"));
    const INT64 old = buffer.GetCapacity();
    ASSERT_EQ(S_OK, buffer.Reserve(40, true, true));
    EXPECT_EQ(0, std::memcmp(buffer.GetData(), "abc", 3));
    for (INT64 i = old; i < buffer.GetCapacity(); ++i)
        ASSERT_EQ(0, buffer.GetData()[i]) << "byte " << i;
}

TEST(MemBuffer, WriteBytesAtOffsetGrowsTheBlock)
{
    CMemBuffer buffer;
    buffer.SetGranularity(256);
    ASSERT_EQ(S_OK, buffer.WriteBytes(300, 10, "0123456789"));
    EXPECT_EQ(515, buffer.GetCapacity());
    EXPECT_EQ(0, std::memcmp(buffer.GetData() + 300, "0123456789", 10));
}

TEST(MemBuffer, NullSourcesAndMissingBlocksAreRefused)
{
    CMemBuffer buffer;
    char out[8];
    EXPECT_EQ(E_INVALIDARG, buffer.SetBytes(4, nullptr));
    EXPECT_EQ(E_INVALIDARG, buffer.WriteBytes(0, 4, nullptr));
    EXPECT_EQ(E_FAIL, buffer.ReadBytes(out, 4));
    ASSERT_EQ(S_OK, buffer.SetBytes(4, "abcd"));
    EXPECT_EQ(E_FAIL, buffer.ReadBytes(nullptr, 4));
}

TEST(MemBuffer, ReadBytesIsBoundedByCapacity)
{
    CMemBuffer buffer;
    ASSERT_EQ(S_OK, buffer.SetBytes(5, "hello")); // capacity 8 with granularity 1
    char out[32];
    std::memset(out, '#', sizeof(out));
    EXPECT_EQ(S_OK, buffer.ReadBytes(out, 0));
    EXPECT_EQ(0, std::memcmp(out, "hello", 5));
    EXPECT_EQ('#', out[buffer.GetCapacity()]);
    std::memset(out, '#', sizeof(out));
    EXPECT_EQ(S_OK, buffer.ReadBytes(out, 1000));
    EXPECT_EQ('#', out[buffer.GetCapacity()]);
    std::memset(out, '#', sizeof(out));
    EXPECT_EQ(S_OK, buffer.ReadBytes(out, 2));
    EXPECT_EQ('#', out[2]);
}

TEST(MemBuffer, FreeThenResetForgetsTheBlock)
{
    CMemBuffer buffer;
    ASSERT_EQ(S_OK, buffer.Reserve(16, false, false));
    buffer.Free();
    EXPECT_EQ(nullptr, buffer.GetData());
    EXPECT_EQ(E_UNEXPECTED, buffer.Reserve(8, false, false)); // capacity is still there, the block is not
    buffer.Reset();
    EXPECT_EQ(0, buffer.GetCapacity());
    EXPECT_EQ(E_UNEXPECTED, buffer.Reserve(0, false, false));
}

TEST(MemBuffer, ImpossibleRequestLeavesTheBlockAlone)
{
    CMemBuffer buffer;
    ASSERT_EQ(S_OK, buffer.SetBytes(4, "abcd"));
    char* before = buffer.GetData();
    // Impossible in a 32-bit and in a 64-bit process alike: 128 TiB is more
    // than either can address, and the largest sizes must not overflow while
    // they are rounded up (the limit of a 64-bit process is INT64's largest).
    EXPECT_EQ(E_OUTOFMEMORY, buffer.Reserve(0x7FFFFFFFFFFFLL, false, true));
    EXPECT_EQ(E_OUTOFMEMORY, buffer.Reserve(INT64_MAX, false, true));
    EXPECT_EQ(E_OUTOFMEMORY, buffer.WriteBytes(INT64_MAX, 1, "x"));
    buffer.SetGranularity(INT64_MAX / 2 + 1);
    EXPECT_EQ(E_OUTOFMEMORY, buffer.Reserve(INT64_MAX / 2 + 2, false, true));
    EXPECT_EQ(before, buffer.GetData());
    EXPECT_EQ(0, std::memcmp(buffer.GetData(), "abcd", 4));
}

TEST(MemBuffer, CopyBytesHandlesOverlap)
{
    CMemBuffer buffer;
    char text[] = "abcdef";
    buffer.CopyBytes(text + 1, text, 4);
    EXPECT_STREQ("aabcdf", text);
}
