// The rules a destination folder must pass, the making of its levels, the
// free-space comparison and the default folder, called directly.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/text_string.h"
#include "tests/support/child_process.h"
#include "tests/support/test_paths.h"
#include "ui/folder_dialog.h"
#include "ui/folder_path_rules.h"
#include "ui/free_space.h"

using namespace testing_support;

namespace {
// "表" in code page 932: its second byte is 0x5C, the backslash.
const char kKanjiWithBackslashTrail[] = "\x95\x5C";
// "ポ" in code page 932: its second byte is 0x7C, the bar.
const char kKanjiWithBarTrail[] = "\x83\x7C";

bool IsCodePage932()
{
    return GetACP() == 932;
}

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
}

ULARGE_INTEGER Bytes(DWORD high, DWORD low)
{
    ULARGE_INTEGER value;
    value.HighPart = high;
    value.LowPart = low;
    return value;
}
} // namespace

TEST(FolderPathRules, NameComponents)
{
    EXPECT_FALSE(IsValidNameComponent(nullptr));
    EXPECT_TRUE(IsValidNameComponent(""));
    EXPECT_TRUE(IsValidNameComponent("My Apps"));
    EXPECT_TRUE(IsValidNameComponent("x.y"));
    for (const char* bad : {"a\"b", "a/b", "a*b", "a:b", "a?b", "a<b", "a>b", "a|b"})
        EXPECT_FALSE(IsValidNameComponent(bad)) << bad;
}

TEST(FolderPathRules, SecondByteOfADoubleByteCharacterIsNeverAForbiddenCharacter)
{
    if (!IsCodePage932())
        GTEST_SKIP() << "double-byte rules apply under code page 932";
    EXPECT_TRUE(IsValidNameComponent(kKanjiWithBarTrail));
    EXPECT_TRUE(IsValidFolderPath((std::string("C:\\") + kKanjiWithBarTrail).c_str()));
    EXPECT_TRUE(IsValidFolderPath((std::string("C:\\") + kKanjiWithBackslashTrail).c_str()));
    EXPECT_TRUE(IsValidFolderPath((std::string("C:\\") + kKanjiWithBackslashTrail + "\\sub").c_str()));
    EXPECT_FALSE(IsValidFolderPath((std::string("C:\\") + kKanjiWithBackslashTrail + "\\\\sub").c_str()));
}

TEST(FolderPathRules, WellFormedPaths)
{
    for (const char* good : {"C:\\", "C:", "c:\\Program Files\\Korvane\\Brixelcast", "D:\\Apps\\Tool\\",
                             "C:\\My Apps\\x.y", "C:\\a b\\c.d.e"})
        EXPECT_TRUE(IsValidFolderPath(good)) << good;
}

TEST(FolderPathRules, MalformedPaths)
{
    for (const char* bad : {"", "\\\\server\\share\\dir", "C:\\a\\\\b", "C:\\Program Files\\x ", "C:\\ x",
                            "C:\\.hidden", "C:\\dots.", "C:\\a\\b:c", "C:\\a\\b?", "C:\\a|b", "C:\\a\"b",
                            // Not absolute: no destination for the product.
                            "abc", "C:abc", "\\abc", "1:\\abc", "C\\abc"})
        EXPECT_FALSE(IsValidFolderPath(bad)) << "[" << bad << "]";
}

TEST(FolderPathRules, ExistingFolders)
{
    std::string scratch = MakeScratchFolder("rules-existing");
    EXPECT_TRUE(IsExistingFolder("C:\\"));
    EXPECT_TRUE(IsExistingFolder("c:"));
    EXPECT_FALSE(IsExistingFolder("Q:\\")) << "no such drive";
    EXPECT_TRUE(IsExistingFolder(scratch.c_str())) << "with its trailing backslash";
    std::string bare = scratch.substr(0, scratch.size() - 1);
    EXPECT_TRUE(IsExistingFolder(bare.c_str()));
    EXPECT_FALSE(IsExistingFolder((scratch + "missing").c_str()));
    MakeFile(scratch + "file");
    EXPECT_FALSE(IsExistingFolder((scratch + "file").c_str()));
    EXPECT_FALSE(IsExistingFolder((scratch + "*").c_str())) << "a pattern names no folder";
    EXPECT_FALSE(IsExistingFolder(nullptr));
    RemoveTree(scratch);
}

TEST(FolderPathRules, CreatesEveryMissingLevel)
{
    std::string scratch = MakeScratchFolder("rules-create");
    EXPECT_TRUE(CreateFolderPath((scratch + "a\\b\\c\\").c_str()));
    EXPECT_TRUE(IsFolder(scratch + "a\\b\\c"));
    EXPECT_TRUE(CreateFolderPath((scratch + "a\\b\\c").c_str())) << "all there already";
    EXPECT_TRUE(CreateFolderPath("C:\\")) << "a drive has no level to make";
    RemoveTree(scratch);
}

TEST(FolderPathRules, LevelThatCannotBeMadeStopsAndKeepsTheLevelsBefore)
{
    std::string scratch = MakeScratchFolder("rules-fail");
    MakeFile(scratch + "blocker");
    EXPECT_FALSE(CreateFolderPath((scratch + "blocker\\sub").c_str()));
    EXPECT_FALSE(IsFolder(scratch + "blocker"));
    // A tab is no character of a file name: "made" and "more" are made, then it stops.
    EXPECT_FALSE(CreateFolderPath((scratch + "made\\more\\a\tb\\c").c_str()));
    EXPECT_TRUE(IsFolder(scratch + "made\\more"));
    RemoveTree(scratch);
}

TEST(FolderPathRules, DoubleByteNameWithBackslashTrailIsOneLevel)
{
    if (!IsCodePage932())
        GTEST_SKIP() << "double-byte rules apply under code page 932";
    std::string scratch = MakeScratchFolder("rules-dbcs");
    std::string path = scratch + kKanjiWithBackslashTrail;
    EXPECT_TRUE(CreateFolderPath(path.c_str()));
    EXPECT_TRUE(IsExistingFolder(path.c_str())) << "its last byte is no trailing backslash";
    DWORD attributes = GetFileAttributesW((Widen(scratch) + L"\u8868").c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) << "named 表";
    EXPECT_TRUE(CreateFolderPath((path + "\\sub").c_str()));
    EXPECT_TRUE(IsFolder(path + "\\sub"));
    RemoveTree(scratch);
}

TEST(FreeSpace, HundredMebibytesAreEnoughOneByteLessIsNot)
{
    EXPECT_EQ(104857600u, kMinFreeBytes);
    EXPECT_TRUE(IsEnoughFreeSpace(Bytes(0, 104857600)));
    EXPECT_FALSE(IsEnoughFreeSpace(Bytes(0, 104857599)));
    EXPECT_FALSE(IsEnoughFreeSpace(Bytes(0, 0)));
    // A high half above 0 is always enough, whatever the low half says.
    EXPECT_TRUE(IsEnoughFreeSpace(Bytes(1, 0)));
    EXPECT_TRUE(IsEnoughFreeSpace(Bytes(0xFFFFFFFF, 5)));
    EXPECT_TRUE(IsEnoughFreeSpace(Bytes(0, 0xFFFFFFFF)));
    EXPECT_FALSE(HasRoomForProduct("Q:\\")) << "no such drive: the free space cannot be read";
}

TEST(DefaultFolder, ProductFolderBelowProgramFiles)
{
    CTextString folder;
    ASSERT_TRUE(CFolderDialog::ComposeDefaultFolder("C:\\Program Files", &folder));
    EXPECT_STREQ("C:\\Program Files\\Korvane\\Brixelcast", folder.GetData());
    ASSERT_TRUE(CFolderDialog::ComposeDefaultFolder("D:\\", &folder));
    EXPECT_STREQ("D:\\Korvane\\Brixelcast", folder.GetData());
    ASSERT_TRUE(CFolderDialog::ComposeDefaultFolder("", &folder));
    EXPECT_STREQ("Korvane\\Brixelcast", folder.GetData()) << "the shell gave no program-files folder";
    ASSERT_TRUE(CFolderDialog::ComposeDefaultFolder(nullptr, &folder));
    EXPECT_STREQ("Korvane\\Brixelcast", folder.GetData());
}

TEST(DefaultFolder, ProgramFilesEndingInADoubleByteCharacterGetsItsBackslash)
{
    if (!IsCodePage932())
        GTEST_SKIP() << "double-byte rules apply under code page 932";
    CTextString folder;
    ASSERT_TRUE(CFolderDialog::ComposeDefaultFolder((std::string("C:\\") + kKanjiWithBackslashTrail).c_str(), &folder));
    EXPECT_EQ(std::string("C:\\") + kKanjiWithBackslashTrail + "\\Korvane\\Brixelcast", folder.GetData());
}
