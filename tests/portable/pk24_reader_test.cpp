// The archive reader against packages built in memory: the edge cases of the
// format, damaged files, hostile names and failing writes.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "package/portable/memory_source.h"
#include "package/portable/pk24_reader.h"
#include "tests/portable/package_builder.h"

namespace {

// Keeps what the reader hands on: files by name, and the size of every write.
class RecordingSink : public CEntrySink {
public:
    PackageResult CreateEntry(const char* name) override
    {
        if (name == m_strFailCreate)
            return static_cast<PackageResult>(0x80070005u);
        m_Order.push_back(name);
        m_Files[name].clear();
        m_strCurrent = name;
        m_bOpen = true;
        return PACKAGE_OK;
    }
    PackageResult WriteEntry(const void* data, uint32_t count, uint32_t* written) override
    {
        EXPECT_TRUE(m_bOpen);
        m_Writes.push_back(count);
        *written = count > m_nWriteLimit ? m_nWriteLimit : count;
        m_Files[m_strCurrent].append(static_cast<const char*>(data), *written);
        return PACKAGE_OK;
    }
    PackageResult FinishEntry() override
    {
        EXPECT_TRUE(m_bOpen);
        m_Finished.push_back(m_strCurrent);
        return m_strCurrent == m_strFailFinish ? static_cast<PackageResult>(0x80070070u) : PACKAGE_OK;
    }
    void CloseEntry() override { m_bOpen = false; }

    std::map<std::string, std::string> m_Files;
    std::vector<std::string> m_Order;
    std::vector<std::string> m_Finished; // entries whose data was all handed on
    std::vector<uint32_t> m_Writes;
    std::string m_strCurrent;
    std::string m_strFailCreate = "\x01";
    std::string m_strFailFinish = "\x01";
    uint32_t m_nWriteLimit = UINT32_MAX;
    bool m_bOpen = false;
};

PackageResult Unpack(const std::vector<unsigned char>& bytes, RecordingSink& sink, size_t maxPerRead = 0)
{
    CMemoryArchiveSource source(bytes.data(), bytes.size());
    source.SetMaxPerRead(maxPerRead);
    PackageResult result = ReadPackage(source, sink, IsShiftJisLeadByte);
    EXPECT_FALSE(sink.m_bOpen) << "an entry was left open";
    return result;
}

TEST(Pk24Reader, LaysOutHeadersAtTheirOffsets)
{
    // Written by hand, so the builder's layout can't hide a reader fault.
    // The archive size, 597 = 0x255, needs both of its low bytes: read as
    // 0x55 alone it would end the archive after the first entry.
    std::vector<unsigned char> bytes(24 + 284 + 3 + 284 + 2, 0);
    ASSERT_EQ(597u, bytes.size());
    bytes[0] = 0x55;
    bytes[1] = 0x02;
    std::memcpy(&bytes[8], "PK24", 4);
    bytes[24] = 3;
    std::memcpy(&bytes[24 + 20], "a.txt", 5);
    std::memcpy(&bytes[24 + 284], "xyz", 3);
    const size_t second = 24 + 284 + 3;
    bytes[second] = 2;
    std::memcpy(&bytes[second + 20], "b.txt", 5);
    std::memcpy(&bytes[second + 284], "uv", 2);
    RecordingSink sink;
    EXPECT_EQ(PACKAGE_OK, Unpack(bytes, sink));
    EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), sink.m_Order);
    EXPECT_EQ("xyz", sink.m_Files["a.txt"]);
    EXPECT_EQ("uv", sink.m_Files["b.txt"]);
}

TEST(Pk24Reader, WritesEveryEntryInStoredOrder)
{
    std::string big(2500, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    auto bytes = PackageBuilder()
                     .Entry("setup.skin", "skin")
                     .Entry("empty.dat", "")
                     .Entry("big.bin", big)
                     .Entry("other.tag", "t", "ABCD")
                     .Build();
    RecordingSink sink;
    EXPECT_EQ(PACKAGE_OK, Unpack(bytes, sink));
    EXPECT_EQ((std::vector<std::string>{"setup.skin", "empty.dat", "big.bin", "other.tag"}), sink.m_Order);
    EXPECT_EQ("skin", sink.m_Files["setup.skin"]);
    EXPECT_EQ("", sink.m_Files["empty.dat"]);
    EXPECT_EQ(big, sink.m_Files["big.bin"]);
    EXPECT_EQ("t", sink.m_Files["other.tag"]); // any tag is accepted
    EXPECT_EQ((std::vector<uint32_t>{4, 1024, 1024, 452, 1}), sink.m_Writes);
    EXPECT_EQ(sink.m_Order, sink.m_Finished) << "each entry is finished once, after its data";
}

TEST(Pk24Reader, CopesWithReadsShorterThanAsked)
{
    auto bytes = PackageBuilder().Entry("a.bin", std::string(3000, 'a')).Entry("b.bin", "bb").Build();
    RecordingSink sink;
    EXPECT_EQ(PACKAGE_OK, Unpack(bytes, sink, 7));
    EXPECT_EQ(std::string(3000, 'a'), sink.m_Files["a.bin"]);
    EXPECT_EQ("bb", sink.m_Files["b.bin"]);
}

TEST(Pk24Reader, SizeFieldOf24OrLessMeansNoEntries)
{
    // Negative as signed numbers too, the most negative ones included.
    for (uint64_t size : {uint64_t{24}, uint64_t{23}, uint64_t{0}, UINT64_MAX, uint64_t{1} << 63,
                          (uint64_t{1} << 63) + 23, (uint64_t{1} << 63) + 24}) {
        RecordingSink sink;
        EXPECT_EQ(PACKAGE_OK, Unpack(PackageBuilder().ArchiveSize(size).Entry("a", "x").Build(), sink)) << size;
        EXPECT_TRUE(sink.m_Order.empty()) << size;
    }
}

TEST(Pk24Reader, SizeFieldDecidesWhereTheArchiveEnds)
{
    // Larger than the file: complete entries are written, then end of file.
    RecordingSink longer;
    EXPECT_EQ(PACKAGE_E_END_OF_FILE,
              Unpack(PackageBuilder().ArchiveSize(24 + 285 + 10000).Entry("a", "x").Build(), longer));
    EXPECT_EQ("x", longer.m_Files["a"]);

    // Smaller than the file: what lies beyond is ignored.
    RecordingSink shorter;
    EXPECT_EQ(PACKAGE_OK,
              Unpack(PackageBuilder().ArchiveSize(24 + 285).Entry("a", "x").Entry("b", "y").Build(), shorter));
    EXPECT_EQ((std::vector<std::string>{"a"}), shorter.m_Order);
}

TEST(Pk24Reader, RefusesWhatIsNotAnArchiveBeforeCreatingAnything)
{
    RecordingSink sink;
    EXPECT_EQ(PACKAGE_E_FAIL, Unpack(PackageBuilder().Magic("PK23").Entry("a", "x").Build(), sink));
    std::vector<unsigned char> text(500, 'M');
    EXPECT_EQ(PACKAGE_E_FAIL, Unpack(text, sink));
    EXPECT_EQ(PACKAGE_E_FAIL, Unpack({'a', 'b', 'c'}, sink));
    EXPECT_EQ(PACKAGE_E_END_OF_FILE, Unpack({}, sink));
    EXPECT_TRUE(sink.m_Order.empty());
}

TEST(Pk24Reader, TruncatedHeadersAreEndOfFile)
{
    auto whole = PackageBuilder().Entry("a", "x").Entry("b", "y").Build();
    // Archive header with its magic but cut short.
    RecordingSink sink;
    EXPECT_EQ(PACKAGE_E_END_OF_FILE, Unpack({whole.begin(), whole.begin() + 20}, sink));
    EXPECT_TRUE(sink.m_Order.empty());
    // Second entry header cut in the middle: the first entry stays, nothing else is made.
    EXPECT_EQ(PACKAGE_E_END_OF_FILE, Unpack({whole.begin(), whole.begin() + 24 + 285 + 100}, sink));
    EXPECT_EQ((std::vector<std::string>{"a"}), sink.m_Order);
    // Data cut short: the entry is partial.
    RecordingSink cut;
    auto data = PackageBuilder().Entry("a", std::string(2000, 'z')).Build();
    EXPECT_EQ(PACKAGE_E_END_OF_FILE, Unpack({data.begin(), data.end() - 500}, cut));
    EXPECT_EQ(std::string(1500, 'z'), cut.m_Files["a"]);
}

TEST(Pk24Reader, RefusesHostileNamesAndKeepsEarlierEntries)
{
    const std::string hostile[] = {"..\\evil.exe",
                                   "../evil.exe",
                                   "C:evil.exe",
                                   "sub\\file",
                                   "..",
                                   ".",
                                   "",
                                   "NUL",
                                   "con.txt",
                                   "trail.",
                                   "trail ",
                                   "a\x01"
                                   "b"};
    for (const std::string& name : hostile) {
        RecordingSink sink;
        EXPECT_EQ(PACKAGE_E_FAIL, Unpack(PackageBuilder().Entry("good.txt", "g").Entry(name, "bad").Build(), sink))
            << name;
        EXPECT_EQ((std::vector<std::string>{"good.txt"}), sink.m_Order) << name;
    }
    // A name that fills the whole field leaves no room for its terminator.
    RecordingSink sink;
    EXPECT_EQ(PACKAGE_E_FAIL, Unpack(PackageBuilder().Entry(std::string(264, 'n'), "x").Build(), sink));
    EXPECT_TRUE(sink.m_Order.empty());
}

TEST(Pk24Reader, RefusesNegativeDataSizes)
{
    RecordingSink sink;
    auto bytes = PackageBuilder().ArchiveSize(1000).Entry("a", "x").RawEntry("b", 0x8000000000000000ull, "yyy").Build();
    EXPECT_EQ(PACKAGE_E_FAIL, Unpack(bytes, sink));
    EXPECT_EQ((std::vector<std::string>{"a"}), sink.m_Order);
}

TEST(Pk24Reader, ShortWriteIsDiskFull)
{
    RecordingSink sink;
    sink.m_nWriteLimit = 1000;
    EXPECT_EQ(PACKAGE_E_DISK_FULL, Unpack(PackageBuilder().Entry("a", std::string(2500, 'q')).Build(), sink));
    EXPECT_TRUE(sink.m_Finished.empty()) << "an entry whose copy failed is not finished";
}

TEST(Pk24Reader, CreateFailureFlowsUpUnchanged)
{
    RecordingSink sink;
    sink.m_strFailCreate = "b";
    EXPECT_EQ(static_cast<PackageResult>(0x80070005u),
              Unpack(PackageBuilder().Entry("a", "x").Entry("b", "y").Entry("c", "z").Build(), sink));
    EXPECT_EQ((std::vector<std::string>{"a"}), sink.m_Order);

    // Bytes a sink held back that can't be stored at the entry's end fail
    // the entry, and nothing after it is made.
    RecordingSink finishing;
    finishing.m_strFailFinish = "b";
    EXPECT_EQ(static_cast<PackageResult>(0x80070070u),
              Unpack(PackageBuilder().Entry("a", "x").Entry("b", "y").Entry("c", "z").Build(), finishing));
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), finishing.m_Order);
}

} // namespace
