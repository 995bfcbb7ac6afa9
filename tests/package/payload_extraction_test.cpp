// ExtractPayload against this test's own payload resources, one for each
// edge of the chunk rule, stored scrambled by the same build step as the
// setup's payloads. Each written file must equal its original byte for byte.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "package/disk_file.h"
#include "package/package_archive.h"
#include "package/payload_digest.h"
#include "package/payload_extraction.h"
#include "resource_ids.h"
#include "tests/support/child_process.h"
#include "tests/support/planted_names.h"
#include "tests/support/test_paths.h"
#include "tests/package/package_calls_by_path.h"

using namespace testing_support;

namespace {

struct Sample {
    WORD id;
    unsigned size;
};
// Keep in step with tests/package/CMakeLists.txt.
const Sample SAMPLES[] = {{301, 100000},  {302, 150000}, {303, 2999999}, {304, 3000000},
                          {305, 3500000}, {306, 4321},   {307, 1}};
const WORD EMPTY_SAMPLE = 308;
// The 4321-byte sample again, built without its digest.
const WORD SAMPLE_WITHOUT_DIGEST = 310;
const WORD MISSING_ID = 399;

std::string ReadFile(const std::string& utf8Path)
{
    std::ifstream in(testing_support::Widen(utf8Path).c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class PayloadExtractionTest : public ::testing::Test {
protected:
    void SetUp() override { m_strFolder = testing_support::MakeScratchFolder("payloads"); }
    void TearDown() override { testing_support::RemoveTree(m_strFolder); }
    std::string m_strFolder;
};

TEST_F(PayloadExtractionTest, RestoresEverySizeByteForByte)
{
    for (const Sample& sample : SAMPLES) {
        std::string original =
            ReadFile(testing_support::BinPath("payload_samples\\sample_" + std::to_string(sample.size) + ".bin"));
        ASSERT_EQ(sample.size, original.size()) << "sample file missing";
        std::string path = m_strFolder + "payload_" + std::to_string(sample.id) + ".bin";
        ASSERT_EQ(S_OK, ExtractPayloadTo(sample.id, path.c_str())) << sample.size;
        std::string written = ReadFile(path);
        ASSERT_EQ(original.size(), written.size()) << sample.size;
        // Report the first differing offset: it tells which chunk went wrong.
        auto mismatch = std::mismatch(original.begin(), original.end(), written.begin());
        EXPECT_TRUE(mismatch.first == original.end())
            << sample.size << " bytes: first difference at " << (mismatch.first - original.begin());
    }
}

TEST_F(PayloadExtractionTest, ResourceIsStoredScrambled)
{
    // Guards against a build that stores the payload as it is (and an
    // extraction that would then "restore" garbage that matches nothing).
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(305), MAKEINTRESOURCEA(RT_PAYLOAD));
    ASSERT_NE(nullptr, found);
    const char* stored = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    std::string original = ReadFile(testing_support::BinPath("payload_samples\\sample_3500000.bin"));
    ASSERT_EQ(3500000u, SizeofResource(nullptr, found));
    EXPECT_EQ(0, memcmp(stored, original.data(), 1000000)) << "chunk 0 is stored as it is";
    EXPECT_NE(0, memcmp(stored + 1000000, original.data() + 1000000, 1000000)) << "chunk 1 is scrambled";
    EXPECT_NE(0, memcmp(stored + 2000000, original.data() + 2000000, 1000000)) << "chunk 2 is scrambled";
    EXPECT_EQ(0, memcmp(stored + 3000000, original.data() + 3000000, 500000)) << "chunk 3 is stored as it is";
}

// What another program put at the name first, a file, a folder or a link,
// is refused: nothing is written, nothing removed, and a link's target
// outside stays as it was (neither written through nor deleted).
TEST_F(PayloadExtractionTest, NamePutThereFirstIsRefusedAndLeftAsItIs)
{
    const std::string outside = m_strFolder + "outside\\";
    ASSERT_TRUE(CreateDirectoryA(outside.c_str(), nullptr));
    const std::string path = m_strFolder + "DivXPro.exe";
    for (PlantedKind kind : kEveryPlantedKind) {
        ASSERT_TRUE(Plant(kind, path, outside)) << Describe(kind);
        CDiskFile held;
        EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_EXISTS), ExtractPayloadTo(302, path.c_str(), &held)) << Describe(kind);
        EXPECT_FALSE(held.IsOpen()) << Describe(kind);
        EXPECT_EQ("", ChangedSincePlanted(kind, path, outside)) << Describe(kind);
        RemovePlanted(kind, path, outside);
    }
    // With the name free again, the payload is written.
    ASSERT_EQ(S_OK, ExtractPayloadTo(302, path.c_str()));
    EXPECT_EQ(ReadFile(testing_support::BinPath("payload_samples\\sample_150000.bin")), ReadFile(path));
}

TEST_F(PayloadExtractionTest, MissingOrEmptyResourceCreatesNoFile)
{
    std::string missing = m_strFolder + "missing.bin";
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND), ExtractPayloadTo(MISSING_ID, missing.c_str()));
    EXPECT_FALSE(Exists(missing));
    std::string empty = m_strFolder + "empty.bin";
    EXPECT_EQ(E_FAIL, ExtractPayloadTo(EMPTY_SAMPLE, empty.c_str()));
    EXPECT_FALSE(Exists(empty));
}

TEST_F(PayloadExtractionTest, UncreatableOutputGivesThePlatformsError)
{
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND),
              ExtractPayloadTo(301, (m_strFolder + "no\\such\\folder\\x.bin").c_str()));
}

// The platform's SHA-256 as the check uses it, against the known answers of
// FIPS 180-4 ("abc", also fed in two pieces) and of the empty input.
TEST_F(PayloadExtractionTest, HashingGivesTheKnownAnswers)
{
    const BYTE abc[PAYLOAD_DIGEST_SIZE] = {0xba, 0x78, 0x16, 0xbf, 0x8f, 0x01, 0xcf, 0xea, 0x41, 0x41, 0x40,
                                           0xde, 0x5d, 0xae, 0x22, 0x23, 0xb0, 0x03, 0x61, 0xa3, 0x96, 0x17,
                                           0x7a, 0x9c, 0xb4, 0x10, 0xff, 0x61, 0xf2, 0x00, 0x15, 0xad};
    const BYTE empty[PAYLOAD_DIGEST_SIZE] = {0xe3, 0xb0, 0xc4, 0x42, 0x98, 0xfc, 0x1c, 0x14, 0x9a, 0xfb, 0xf4,
                                             0xc8, 0x99, 0x6f, 0xb9, 0x24, 0x27, 0xae, 0x41, 0xe4, 0x64, 0x9b,
                                             0x93, 0x4c, 0xa4, 0x95, 0x99, 0x1b, 0x78, 0x52, 0xb8, 0x55};
    const std::pair<std::vector<std::string>, const BYTE*> answers[] = {
        {{"abc"}, abc}, {{"a", "bc"}, abc}, {{}, empty}, {{""}, empty}};
    for (const auto& answer : answers) {
        CPayloadHash hash;
        ASSERT_EQ(S_OK, hash.Create());
        for (const std::string& piece : answer.first)
            ASSERT_EQ(S_OK, hash.Add(reinterpret_cast<const BYTE*>(piece.data()), static_cast<DWORD>(piece.size())));
        BYTE digest[PAYLOAD_DIGEST_SIZE] = {};
        ASSERT_EQ(S_OK, hash.Finish(digest));
        EXPECT_EQ(0, memcmp(answer.second, digest, sizeof digest)) << answer.first.size() << " pieces";
    }
}

// The recorded digest is what decides: bytes that differ from it, or a
// payload that has none, are refused, and no file stays.
TEST_F(PayloadExtractionTest, WrittenBytesAreCheckedAgainstTheirDigest)
{
    std::string original = ReadFile(testing_support::BinPath("payload_samples\\sample_4321.bin"));
    ASSERT_EQ(4321u, original.size());
    auto digestOf = [](const std::string& bytes, BYTE(&digest)[PAYLOAD_DIGEST_SIZE]) {
        CPayloadHash hash;
        ASSERT_EQ(S_OK, hash.Create());
        ASSERT_EQ(S_OK, hash.Add(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())));
        ASSERT_EQ(S_OK, hash.Finish(digest));
    };
    BYTE digest[PAYLOAD_DIGEST_SIZE];
    digestOf(original, digest);
    EXPECT_EQ(S_OK, CheckPayloadDigest(306, digest));
    EXPECT_EQ(PAYLOAD_E_DIGEST_MISMATCH, CheckPayloadDigest(307, digest)) << "another payload's digest";
    EXPECT_EQ(PAYLOAD_E_DIGEST_MISMATCH, CheckPayloadDigest(SAMPLE_WITHOUT_DIGEST, digest)) << "none recorded";
    std::string changed = original;
    changed[4000] ^= 0x5A;
    digestOf(changed, digest);
    EXPECT_EQ(PAYLOAD_E_DIGEST_MISMATCH, CheckPayloadDigest(306, digest)) << "one byte changed";

    std::string unchecked = m_strFolder + "unchecked.bin";
    EXPECT_EQ(PAYLOAD_E_DIGEST_MISMATCH, ExtractPayloadTo(SAMPLE_WITHOUT_DIGEST, unchecked.c_str()));
    EXPECT_FALSE(Exists(unchecked)) << "a payload that failed its check must not stay to be run";
}

// Between its writing and its use, the file is held: it can be read (and a
// program started from it), but not written, renamed or deleted.
TEST_F(PayloadExtractionTest, WrittenFileIsHeldAgainstWritersUntilReleased)
{
    std::string path = m_strFolder + "held.exe";
    std::wstring wide = testing_support::Widen(path);
    {
        CDiskFile held;
        ASSERT_EQ(S_OK, ExtractPayloadTo(306, path.c_str(), &held));
        ASSERT_TRUE(held.IsOpen());
        const DWORD ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        HANDLE writer = CreateFileW(wide.c_str(), GENERIC_WRITE, ALL, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(INVALID_HANDLE_VALUE, writer) << "another program opened the payload for writing";
        EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
        if (writer != INVALID_HANDLE_VALUE)
            CloseHandle(writer);
        EXPECT_FALSE(MoveFileW(wide.c_str(), (wide + L".moved").c_str()));
        EXPECT_FALSE(DeleteFileW(wide.c_str()));
        EXPECT_EQ(ReadFile(testing_support::BinPath("payload_samples\\sample_4321.bin")), ReadFile(path));
        // The hold reads the file from its start: it is what gets unpacked.
        char first[16] = {};
        DWORD got = 0;
        ASSERT_EQ(S_OK, held.Read(first, sizeof first, &got));
        EXPECT_EQ(ReadFile(path).substr(0, 16), std::string(first, got));
    }
    HANDLE writer = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, writer) << "released with the hold";
    CloseHandle(writer);
}

// A payload that does not fit on its drive: the platform's own failure
// (disk full, not a generic write fault), and no partial file left behind
// as if it were good. T: is a 1 MiB drive that scripts/test-drives.sh mounts.
TEST_F(PayloadExtractionTest, FullDriveGivesDiskFullAndLeavesNoFile)
{
    if (GetDriveTypeA("T:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no test drive T: (scripts/test-drives.sh mounts it as root)";
    const std::string path = "T:\\payload_305.bin";
    DeleteFileA(path.c_str());
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DISK_FULL), ExtractPayloadTo(305, path.c_str()));
    EXPECT_FALSE(Exists(path));
}

} // namespace

namespace {

// What a release build does with the main package, end to end: pk24 packed
// sample files, the build stored the package as payload 309, and the setup
// writes it out and unpacks it.
TEST_F(PayloadExtractionTest, PackedFolderComesBackByteForByte)
{
    std::string archive = m_strFolder + "BCSetup_IS.bin";
    ASSERT_EQ(S_OK, ExtractPayloadTo(309, archive.c_str()));
    ASSERT_EQ(S_OK, UnpackPackageInto(archive.c_str(), m_strFolder.c_str()));
    for (unsigned size : {150000u, 3500000u, 1u, 0u}) {
        std::string name = "sample_" + std::to_string(size) + ".bin";
        std::string original = ReadFile(testing_support::BinPath("payload_samples\\" + name));
        ASSERT_EQ(size, original.size());
        EXPECT_TRUE(original == ReadFile(m_strFolder + name)) << name;
    }
}

} // namespace
