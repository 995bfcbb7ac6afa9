// Path helpers and the DirectX setup program on the medium.
#include <windows.h>

#include <aclapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "base/file_existence.h"
#include "base/handle_relative/nt_create_file.h"
#include "base/handle_relative/vista_file_calls.h"
#include "setup/setup_paths.h"
#include "setup/work_folder.h"
#include "setup/work_folder_security.h"
#include "tests/setup/work_folder_fixture.h"
#include "tests/support/test_paths.h"
#include "tests/support/unix_link.h"

namespace {
using namespace work_folder_testing;

std::string Text(const CTextString& text)
{
    return text.GetData() ? text.GetData() : "";
}

TEST(ParentFolder, FilesAndFolders)
{
    EXPECT_EQ("C:\\", Text(GetParentFolder("C:\\")));
    EXPECT_EQ("C:\\", Text(GetParentFolder("C:\\Setup")));
    EXPECT_EQ("C:\\A", Text(GetParentFolder("C:\\A\\B")));
    EXPECT_EQ("C:\\A\\B", Text(GetParentFolder("C:\\A\\B\\x.exe")));
    EXPECT_EQ("C:\\A\\B", Text(GetParentFolder("C:\\A\\B\\")));
    EXPECT_EQ("\\", Text(GetParentFolder("\\x.exe")));
    EXPECT_EQ("\\\\server\\share", Text(GetParentFolder("\\\\server\\share\\x.exe")));
    EXPECT_EQ("D:", Text(GetParentFolder("D:")));
    EXPECT_EQ("", Text(GetParentFolder("x.exe")));
    EXPECT_EQ("", Text(GetParentFolder("")));
    EXPECT_EQ("", Text(GetParentFolder(nullptr)));
}

TEST(ParentFolder, DoubleByteNamesKeepTheirTrailByte)
{
    if (!IsCodePage932())
        GTEST_SKIP() << "needs code page 932";
    const std::string folder = std::string("C:\\") + kTable;
    EXPECT_EQ(folder, Text(GetParentFolder((folder + "\\x.exe").c_str())));
    EXPECT_EQ("C:\\", Text(GetParentFolder(folder.c_str())));
    EXPECT_EQ(folder, Text(GetParentFolder((folder + "\\" + kTable).c_str())));
}

TEST(Backslashes, AppendAndStrip)
{
    char text[16] = "";
    EXPECT_STREQ("", AppendBackslash(text));
    std::strcpy(text, "C:\\A");
    EXPECT_STREQ("C:\\A\\", AppendBackslash(text));
    EXPECT_STREQ("C:\\A\\", AppendBackslash(text));
    EXPECT_STREQ("C:\\A", StripBackslash(text));
    EXPECT_STREQ("C:\\A", StripBackslash(text));
    char empty[4] = "";
    EXPECT_STREQ("", StripBackslash(empty));
    // No room for the backslash and its terminator: the text stays as it is.
    char full[5] = "C:\\A";
    EXPECT_STREQ("C:\\A", AppendBackslash(full));
}

TEST(Backslashes, TrailByteIsNoBackslash)
{
    if (!IsCodePage932())
        GTEST_SKIP() << "needs code page 932";
    char text[16] = "C:\\";
    std::strcat(text, kTable);
    const std::string bare = text;
    EXPECT_EQ(bare + "\\", AppendBackslash(text));
    EXPECT_EQ(bare, StripBackslash(text));
    EXPECT_EQ(bare, StripBackslash(text));
}

TEST(Existence, FilesAndFolders)
{
    const std::string folder = testing_support::MakeScratchFolder("file_exists");
    EXPECT_TRUE(FileExists(folder.substr(0, folder.size() - 1).c_str()));
    EXPECT_FALSE(FileExists((folder + "missing.txt").c_str()));
    std::ofstream(folder + "present.txt") << "x";
    EXPECT_TRUE(FileExists((folder + "present.txt").c_str()));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(nullptr));
    testing_support::RemoveTree(folder);
}

// The profile file lies in the Windows folder; the test writes its own and
// removes it again.
class MediumTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);
        m_profile = std::string(windows) + "\\krsetup.ini";
        DeleteFileA(m_profile.c_str());
        m_medium = testing_support::MakeScratchFolder("medium");
    }
    void TearDown() override
    {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, "krsetup.ini"); // drop the cached file
        DeleteFileA(m_profile.c_str());
        testing_support::RemoveTree(m_medium);
    }
    std::string m_profile;
    std::string m_medium;
};

TEST_F(MediumTest, MediumFolderIsAboveTheSetupProgramsFolder)
{
    EXPECT_EQ("D:", Text(GetMediumFolder("D:\\Setup\\BCSetup.exe")));
    EXPECT_EQ("D:", Text(GetMediumFolder("D:\\x.exe")));
    EXPECT_EQ("D:\\Media", Text(GetMediumFolder("D:\\Media\\Setup\\BCSetup.exe")));
}

TEST_F(MediumTest, DefaultDirectXSetupPath)
{
    EXPECT_EQ("D:\\Tools\\DirectX9.0c\\dxsetup.exe", Text(GetDirectXSetupPath("D:\\Setup\\BCSetup.exe")));
    EXPECT_EQ("D:\\Tools\\DirectX9.0c\\dxsetup.exe", Text(GetDirectXSetupPath("D:\\x.exe")));
}

TEST_F(MediumTest, ProfileNamesAnotherPath)
{
    ASSERT_TRUE(WritePrivateProfileStringA("Setup", "DX", "Redist\\DX\\setup.exe", "krsetup.ini"));
    EXPECT_EQ("D:\\Redist\\DX\\setup.exe", Text(GetDirectXSetupPath("D:\\Setup\\BCSetup.exe")));
}

TEST_F(MediumTest, FoundOnlyWhenTheProgramIsThere)
{
    const std::string program = m_medium + "Setup\\BCSetup.exe";
    EXPECT_EQ("", Text(FindDirectXSetup(program.c_str())));
    const std::string folder = m_medium + "Tools\\DirectX9.0c";
    ASSERT_TRUE(CreateDirectoryA((m_medium + "Tools").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::ofstream(folder + "\\dxsetup.exe") << "MZ";
    EXPECT_EQ(folder + "\\dxsetup.exe", Text(FindDirectXSetup(program.c_str())));
}
} // namespace
