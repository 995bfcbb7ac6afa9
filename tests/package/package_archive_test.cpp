// UnpackPackage on real files under Wine: result codes, what is created and
// what is not, and that nothing lands outside the destination folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "package/package_archive.h"
#include "tests/portable/package_builder.h"
#include "tests/support/child_process.h"
#include "tests/support/test_paths.h"
#include "tests/package/package_calls_by_path.h"
#include "tests/support/planted_names.h"

using namespace testing_support;

namespace {

const HRESULT RESULT_END_OF_FILE = HRESULT_FROM_WIN32(ERROR_HANDLE_EOF);

class PackageArchiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strRoot = testing_support::MakeScratchFolder("unpack");
        m_strDestination = m_strRoot + "dest\\";
        CreateDirectoryA(m_strDestination.c_str(), nullptr);
        m_strArchive = m_strRoot + "BCSetup_IS.bin";
    }
    void TearDown() override { testing_support::RemoveTree(m_strRoot); }

    void WriteArchive(const std::vector<unsigned char>& bytes)
    {
        std::ofstream out(m_strArchive.c_str(), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    HRESULT Unpack(const std::vector<unsigned char>& bytes)
    {
        WriteArchive(bytes);
        return UnpackPackageInto(m_strArchive.c_str(), m_strDestination.c_str());
    }
    // Names of what lies in a folder (UTF-8), sorted.
    static std::vector<std::string> Listing(const std::string& folder)
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW(testing_support::Widen(folder + "*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do {
            std::string name = testing_support::Narrow(data.cFileName);
            if (name != "." && name != "..")
                names.push_back(name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
        std::sort(names.begin(), names.end());
        return names;
    }
    // An empty destination again.
    void ResetDestination()
    {
        testing_support::RemoveTree(m_strDestination);
        CreateDirectoryA(m_strDestination.c_str(), nullptr);
    }
    std::string Contents(const std::string& name) const
    {
        std::ifstream in(testing_support::Widen(m_strDestination + name).c_str(), std::ios::binary);
        if (!in)
            return "<missing>";
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string m_strRoot, m_strDestination, m_strArchive;
};

TEST_F(PackageArchiveTest, UnpacksEveryEntryWithOrWithoutTrailingBackslash)
{
    std::string big(2500, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 13 + 5);
    auto bytes = PackageBuilder()
                     .Entry("setup.skin", "skin")
                     .Entry("setup.exe", big)
                     .Entry("empty.ini", "")
                     .Entry("tagged.bin", "t", "XXXX")
                     .Build();
    for (std::string destination : {m_strDestination, m_strDestination.substr(0, m_strDestination.size() - 1)}) {
        WriteArchive(bytes);
        EXPECT_EQ(S_OK, UnpackPackageInto(m_strArchive.c_str(), destination.c_str())) << destination;
        EXPECT_EQ((std::vector<std::string>{"empty.ini", "setup.exe", "setup.skin", "tagged.bin"}),
                  Listing(m_strDestination));
        EXPECT_EQ(big, Contents("setup.exe"));
        EXPECT_EQ("skin", Contents("setup.skin"));
        EXPECT_EQ("", Contents("empty.ini"));
        EXPECT_EQ("t", Contents("tagged.bin"));
        testing_support::RemoveTree(m_strDestination);
        CreateDirectoryA(m_strDestination.c_str(), nullptr);
    }
}

// What another program put at an entry's name first, a file, a folder or a
// link, is refused and left as it is; the entries before it stay.
TEST_F(PackageArchiveTest, NamesPutThereFirstAreRefusedAndLeftAsTheyAre)
{
    const std::string outside = m_strRoot + "outside\\";
    ASSERT_TRUE(CreateDirectoryA(outside.c_str(), nullptr));
    for (PlantedKind kind : kEveryPlantedKind) {
        ResetDestination();
        ASSERT_TRUE(Plant(kind, m_strDestination + "setup.inx", outside)) << Describe(kind);
        EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_EXISTS),
                  Unpack(PackageBuilder().Entry("setup.ini", "ini").Entry("setup.inx", "new").Build()))
            << Describe(kind);
        EXPECT_EQ("ini", Contents("setup.ini")) << Describe(kind);
        EXPECT_EQ("", ChangedSincePlanted(kind, m_strDestination + "setup.inx", outside)) << Describe(kind);
        RemovePlanted(kind, m_strDestination + "setup.inx", outside);
    }
}

TEST_F(PackageArchiveTest, EmptyOrForeignFilesCreateNothing)
{
    EXPECT_EQ(S_OK, Unpack(PackageBuilder().ArchiveSize(24).Entry("a", "x").Build()));
    EXPECT_EQ(S_OK, Unpack(PackageBuilder().ArchiveSize(10).Entry("a", "x").Build()));
    EXPECT_EQ(E_FAIL, Unpack(PackageBuilder().Magic("MZ\x90").Entry("a", "x").Build()));
    EXPECT_EQ(RESULT_END_OF_FILE, Unpack({}));
    EXPECT_EQ(RESULT_END_OF_FILE, Unpack({0x40, 0, 0, 0, 0, 0, 0, 0, 'P', 'K', '2', '4'}));
    EXPECT_TRUE(Listing(m_strDestination).empty());
}

TEST_F(PackageArchiveTest, UnopenableArchiveReportsThePlatformError)
{
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
              UnpackPackageInto((m_strRoot + "missing.bin").c_str(), m_strDestination.c_str()));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED),
              UnpackPackageInto(m_strDestination.c_str(), m_strDestination.c_str()))
        << "a folder is no archive file";
    EXPECT_TRUE(Listing(m_strDestination).empty());
}

TEST_F(PackageArchiveTest, ArchiveEndingEarlyKeepsCompleteEntries)
{
    auto bytes = PackageBuilder().Entry("first.bin", "complete").Entry("second.bin", std::string(3000, 's')).Build();
    bytes.resize(bytes.size() - 1000);
    EXPECT_EQ(RESULT_END_OF_FILE, Unpack(bytes));
    EXPECT_EQ("complete", Contents("first.bin"));
    EXPECT_EQ(std::string(2000, 's'), Contents("second.bin"));
}

TEST_F(PackageArchiveTest, HeadersAndDataCrossingReadAheadBlocks)
{
    const size_t BLOCK = 64 * 1024;
    // The second entry's header straddles the first block's end and its data
    // the second's; the last entry comes from a short final read.
    std::string first(BLOCK - 24 - 284 - 100, 'f');
    std::string second(BLOCK + 5000, '\0');
    for (size_t i = 0; i < second.size(); ++i)
        second[i] = static_cast<char>(i * 7 + i / 251);
    auto bytes =
        PackageBuilder().Entry("first.bin", first).Entry("second.bin", second).Entry("last.bin", "end").Build();
    EXPECT_EQ(S_OK, Unpack(bytes));
    EXPECT_EQ(first, Contents("first.bin"));
    EXPECT_EQ(second, Contents("second.bin"));
    EXPECT_EQ("end", Contents("last.bin"));

    // A file that ends right at a block's end, inside an entry's data.
    ResetDestination();
    bytes.resize(2 * BLOCK);
    EXPECT_EQ(RESULT_END_OF_FILE, Unpack(bytes));
    EXPECT_EQ(second.substr(0, 2 * BLOCK - (24 + 284 + first.size() + 284)), Contents("second.bin"));
}

TEST_F(PackageArchiveTest, FailingLastEntryKeepsEarlierOnes)
{
    CreateDirectoryA((m_strDestination + "setup.boot").c_str(), nullptr); // can't be created as a file
    HRESULT result = Unpack(PackageBuilder().Entry("setup.inx", "inx").Entry("setup.boot", "boot").Build());
    EXPECT_LT(result, 0);
    EXPECT_EQ(0x8007, HIWORD(result)) << std::hex << result;
    EXPECT_EQ("inx", Contents("setup.inx"));
}

TEST_F(PackageArchiveTest, HostileNamesAreRefusedAndNothingLandsOutside)
{
    const std::string hostile[] = {"..\\escaped.txt",
                                   "../escaped.txt",
                                   "C:escaped.txt",
                                   "sub\\escaped.txt",
                                   "NUL",
                                   "com1.txt",
                                   "COM0",
                                   "lpt\xB9.txt",
                                   "..",
                                   "escaped.txt.",
                                   "bcsetup_is.BIN"};
    for (const std::string& name : hostile) {
        ResetDestination();
        EXPECT_EQ(E_FAIL, Unpack(PackageBuilder().Entry("good.txt", "g").Entry(name, "evil").Build())) << name;
        EXPECT_EQ((std::vector<std::string>{"good.txt"}), Listing(m_strDestination)) << name;
    }
    // Only the archive and the destination folder lie beside the destination.
    EXPECT_EQ((std::vector<std::string>{"BCSetup_IS.bin", "dest"}), Listing(m_strRoot));
}

// An entry that does not fit on its drive fails with the platform's own
// code, also when the bytes are still held back in the write-behind block.
// T: is a 1 MiB drive that scripts/test-drives.sh mounts.
TEST_F(PackageArchiveTest, FullDriveFailsTheEntryWithDiskFull)
{
    if (GetDriveTypeA("T:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no test drive T: (scripts/test-drives.sh mounts it as root)";
    WriteArchive(PackageBuilder()
                     .Entry("small.bin", "s")
                     .Entry("big.bin", std::string(3 << 20, 'b'))
                     .Entry("after.bin", "a")
                     .Build());
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DISK_FULL), UnpackPackageInto(m_strArchive.c_str(), "T:\\"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("T:\\small.bin"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("T:\\after.bin")) << "went on after the failure";
    for (const char* name : {"T:\\small.bin", "T:\\big.bin"})
        DeleteFileA(name);
    // Held back until the entry's end, a short last block must fail as well.
    WriteArchive(PackageBuilder().Entry("tail.bin", std::string((1 << 20) + 100, 't')).Build());
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DISK_FULL), UnpackPackageInto(m_strArchive.c_str(), "T:\\"));
    DeleteFileA("T:\\tail.bin");
}

TEST_F(PackageArchiveTest, DoubleByteNameEndingInBackslashByte)
{
    if (GetACP() != 932)
        GTEST_SKIP() << "needs the Japanese code page";
    // 0x95 0x5C is one character; its second byte must not be taken for a folder separator.
    EXPECT_EQ(S_OK, Unpack(PackageBuilder().Entry("\x95\x5C.txt", "kanji").Build()));
    EXPECT_EQ((std::vector<std::string>{u8"\u8868.txt"}), Listing(m_strDestination));
}

} // namespace
