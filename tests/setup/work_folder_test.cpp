// The work folder: where and under which name it is made, held, emptied
// and removed.
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

TEST_F(WorkFolderTest, TemporaryFolderEndsInABackslash)
{
    char folder[SETUP_PATH_SIZE];
    GetTemporaryFolder(folder);
    char expected[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(MAX_PATH, expected));
    EXPECT_STREQ(expected, folder);
    EXPECT_EQ('\\', folder[std::strlen(folder) - 1]);
}

TEST_F(WorkFolderTest, MadeConfirmedAndRemovedWithItsContent)
{
    CWorkFolder work;
    ASSERT_EQ(S_OK, work.Create(m_temp.c_str()));
    const std::string name = work.GetPath();
    EXPECT_EQ(0u, name.find(m_temp + "exp")) << name;
    EXPECT_EQ(name.size() - 4, name.rfind(".tmp")) << name;
    EXPECT_TRUE(IsFolder(name));

    ASSERT_TRUE(work.Confirm());
    EXPECT_EQ(name + "\\", work.GetPath());
    // The installers' temporary folder: made inside it, held as it is, gone with it.
    EXPECT_STREQ("", work.GetInstallersTempPath());
    ASSERT_EQ(S_OK, work.CreateInstallersTemp());
    EXPECT_EQ(name + "\\Temp\\", work.GetInstallersTempPath());
    EXPECT_TRUE(IsFolder(name + "\\Temp"));
    EXPECT_FALSE(RemoveDirectoryA((name + "\\Temp").c_str())) << "removed while held";
    EXPECT_FALSE(MoveFileA((name + "\\Temp").c_str(), (name + "\\Moved").c_str())) << "renamed while held";
    std::ofstream(name + "\\Temp\\_is1.tmp") << "an installer's own";
    ASSERT_TRUE(CreateDirectoryA((name + "\\disk1").c_str(), nullptr));
    std::ofstream(name + "\\disk1\\setup.exe") << "payload";
    // An installer may leave read-only files behind.
    std::ofstream(name + "\\disk1\\data1.hdr") << "payload";
    ASSERT_TRUE(SetFileAttributesA((name + "\\disk1\\data1.hdr").c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_EQ(S_OK, work.Remove());
    EXPECT_FALSE(FileExists(name.c_str()));
    EXPECT_STREQ("", work.GetPath());
    EXPECT_STREQ("", work.GetInstallersTempPath());
    EXPECT_EQ(S_FALSE, work.Remove());
    EXPECT_TRUE(IsFolder(m_temp));

    // A name put there before is refused, never taken over.
    ASSERT_EQ(S_OK, work.Create(m_temp.c_str()));
    ASSERT_TRUE(work.Confirm());
    std::ofstream(std::string(work.GetPath()) + "Temp") << "planted";
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS), work.CreateInstallersTemp());
    EXPECT_STREQ("", work.GetInstallersTempPath());
    EXPECT_EQ(S_OK, work.Remove());
}

// Whatever way its owner leaves, the folder goes with it.
TEST_F(WorkFolderTest, RemovedWhenItsOwnerGoes)
{
    std::string name;
    {
        CWorkFolder work;
        ASSERT_EQ(S_OK, work.Create(m_temp.c_str()));
        name = work.GetPath();
        std::ofstream(name + "\\setup.exe") << "payload";
    }
    EXPECT_FALSE(FileExists(name.c_str()));
}

// From its creation to its removal the folder is held: no other program can
// rename or remove it (and so put another folder or a link in its place).
// ... while the installers can work in it as in any folder: make it their
// current folder and list it (opens that don't share deletion).
TEST_F(WorkFolderTest, HeldSoThatNobodyCanRenameOrRemoveIt)
{
    CWorkFolder work;
    ASSERT_EQ(S_OK, work.Create(m_temp.c_str()));
    const std::string name = work.GetPath();
    EXPECT_FALSE(RemoveDirectoryA(name.c_str())) << "removed while empty";
    EXPECT_FALSE(MoveFileA(name.c_str(), (name + ".moved").c_str())) << "renamed";
    EXPECT_FALSE(IsFolder(name + ".moved"));
    std::ofstream(name + "\\setup.exe") << "payload";
    char before[MAX_PATH];
    ASSERT_NE(0u, GetCurrentDirectoryA(MAX_PATH, before));
    EXPECT_TRUE(SetCurrentDirectoryA(name.c_str()))
        << "an installer can't make it its current folder: " << GetLastError();
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA((name + "\\*").c_str(), &found);
    EXPECT_NE(INVALID_HANDLE_VALUE, listing) << "an installer can't list it: " << GetLastError();
    if (listing != INVALID_HANDLE_VALUE)
        FindClose(listing);
    EXPECT_FALSE(MoveFileA(name.c_str(), (name + ".moved").c_str())) << "renamed while it is the current folder";
    EXPECT_TRUE(SetCurrentDirectoryA(before));
    EXPECT_TRUE(work.Confirm());
    EXPECT_EQ(S_OK, work.Remove());
    EXPECT_FALSE(FileExists(name.c_str()));
    EXPECT_TRUE(IsFolder(m_temp));
}

// Links put into the folder are removed themselves where the platform can,
// and never followed: what they point to outside the folder stays. (Under
// Wine a link can't be removed through Windows calls, so the folder then
// stays with the links alone.)
TEST_F(WorkFolderTest, RemovalNeverFollowsALinkOutOfTheFolder)
{
    const std::string outside = m_temp + "outside\\";
    ASSERT_TRUE(CreateDirectoryA(outside.c_str(), nullptr));
    std::ofstream(outside + "keep.txt") << "keep";
    std::ofstream(m_temp + "keep.ini") << "keep";
    CWorkFolder work;
    ASSERT_EQ(S_OK, work.Create(m_temp.c_str()));
    ASSERT_TRUE(work.Confirm());
    const std::string name = work.GetPath();
    ASSERT_TRUE(CreateDirectoryA((name + "disk1").c_str(), nullptr));
    std::ofstream(name + "disk1\\setup.exe") << "payload";
    std::ofstream(name + "setup.inx") << "payload";
    ASSERT_TRUE(testing_support::PlantUnixLink(name + "folderlink", outside));
    ASSERT_TRUE(testing_support::PlantUnixLink(name + "disk1\\filelink", m_temp + "keep.ini"));

    work.Remove();
    EXPECT_TRUE(FileExists((outside + "keep.txt").c_str())) << "followed a folder link";
    EXPECT_TRUE(FileExists((m_temp + "keep.ini").c_str())) << "followed a file link";
    EXPECT_FALSE(FileExists((name + "setup.inx").c_str()));
    EXPECT_FALSE(FileExists((name + "disk1\\setup.exe").c_str()));
    testing_support::RemoveUnixLink(name + "folderlink");
    testing_support::RemoveUnixLink(name + "disk1\\filelink");
}

// A random name "exp" + eight hexadecimal digits + ".tmp"; without a random
// number, the fixed name.
TEST_F(WorkFolderTest, RandomNameOrTheFixedOneWhenNoNumberCanBeHad)
{
    const std::string missing = m_temp + "missing";
    char work[SETUP_PATH_SIZE];
    MakeWorkFolderName(missing.c_str(), nullptr, work);
    EXPECT_EQ(missing + "\\exp.tmp", work);
    MakeWorkFolderName((missing + "\\").c_str(), nullptr, work);
    EXPECT_EQ(missing + "\\exp.tmp", work);
    const unsigned number = 0x0badf00du;
    MakeWorkFolderName(missing.c_str(), &number, work);
    EXPECT_EQ(missing + "\\exp0badf00d.tmp", work);
    const std::string longest(SETUP_PATH_SIZE - 10, 'x');
    MakeWorkFolderName(longest.c_str(), &number, work);
    EXPECT_STREQ("", work) << "no room for the name";
    CWorkFolder folder;
    HRESULT result = folder.Create(missing.c_str());
    EXPECT_TRUE(result == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND) ||
                result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
        << std::hex << result;
    EXPECT_STREQ("", folder.GetPath());
}

TEST_F(WorkFolderTest, DoubleByteTemporaryFolder)
{
    if (!IsCodePage932())
        GTEST_SKIP() << "needs code page 932";
    const std::string temp = m_temp + kTable + "\\";
    ASSERT_TRUE(CreateDirectoryA(temp.c_str(), nullptr));
    CWorkFolder work;
    ASSERT_EQ(S_OK, work.Create(temp.c_str()));
    EXPECT_EQ(0u, std::string(work.GetPath()).find(temp + "exp"));
    ASSERT_TRUE(work.Confirm());
    const std::string name = work.GetPath();
    EXPECT_EQ(S_OK, work.Remove());
    EXPECT_FALSE(FileExists(name.substr(0, name.size() - 1).c_str()));
    EXPECT_TRUE(IsFolder(temp));
}
} // namespace
