// CDiskFile: its two states, result codes, counters and kept path.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "base/handle_relative/vista_file_calls.h"
#include "base/unique_handle.h"
#include "package/disk_file.h"
#include "tests/support/test_paths.h"

namespace {

const DWORD SHARE_READ_WRITE = FILE_SHARE_READ | FILE_SHARE_WRITE;
const HRESULT RESULT_END_OF_FILE = HRESULT_FROM_WIN32(ERROR_HANDLE_EOF);

class DiskFileTest : public ::testing::Test {
protected:
    void SetUp() override { m_strFolder = testing_support::MakeScratchFolder("disk_file"); }
    void TearDown() override { testing_support::RemoveTree(m_strFolder); }
    std::string Path(const char* name) const { return m_strFolder + name; }

    HRESULT Create(CDiskFile& file, const std::string& path, DWORD share = SHARE_READ_WRITE)
    {
        return file.Open(path.c_str(), CREATE_ALWAYS, GENERIC_READ | GENERIC_WRITE, share, 0, nullptr);
    }

    std::string m_strFolder;
};

TEST_F(DiskFileTest, ClosedObjectAnswersNoOpenFile)
{
    CDiskFile file;
    EXPECT_EQ(INVALID_HANDLE_VALUE, file.GetHandle());
    EXPECT_EQ(0u, file.GetBytesRead());
    EXPECT_EQ(0u, file.GetBytesWritten());
    EXPECT_STREQ("", file.GetPath().GetData() ? file.GetPath().GetData() : "");
    char buffer[4];
    EXPECT_EQ(S_FALSE, file.Close());
    EXPECT_EQ(S_FALSE, file.Read(buffer, 4));
    EXPECT_EQ(S_FALSE, file.Write(buffer, 4));
    // Reopening nothing is a failure, not a success that holds no file.
    CDiskFile reopened;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE), reopened.Reopen(file, GENERIC_READ, FILE_SHARE_READ));
    EXPECT_FALSE(reopened.IsOpen());

    ASSERT_EQ(S_OK, Create(file, Path("a.bin")));
    EXPECT_EQ(S_OK, file.Close());
    EXPECT_EQ(S_FALSE, file.Close());
}

TEST_F(DiskFileTest, WritesReadsAndCountsBytes)
{
    CDiskFile file;
    ASSERT_EQ(S_OK, Create(file, Path("data.bin")));
    DWORD written = 0;
    EXPECT_EQ(S_OK, file.Write("0123456789", 10, &written));
    EXPECT_EQ(10u, written);
    EXPECT_EQ(10u, file.GetBytesWritten());
    SetFilePointer(file.GetHandle(), 0, nullptr, FILE_BEGIN);

    char buffer[16] = {};
    DWORD got = 0;
    EXPECT_EQ(S_OK, file.Read(buffer, 0, &got)) << "a read of nothing is not end of file";
    EXPECT_EQ(S_OK, file.Read(buffer, 16, &got)) << "a short read is success";
    EXPECT_EQ(10u, got);
    EXPECT_EQ(10u, file.GetBytesRead());
    EXPECT_EQ(std::string("0123456789"), std::string(buffer, 10));
    got = 99;
    EXPECT_EQ(RESULT_END_OF_FILE, file.Read(buffer, 16, &got));
    EXPECT_EQ(99u, got) << "the output is only set on success";
    EXPECT_EQ(0u, file.GetBytesRead());
}

TEST_F(DiskFileTest, FailedOpenKeepsPathAndMapsError)
{
    CDiskFile file;
    std::string missing = Path("missing.bin");
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
              file.Open(missing.c_str(), OPEN_EXISTING, GENERIC_READ, SHARE_READ_WRITE, 0, nullptr));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(missing, file.GetPath().GetData());
    std::string noFolder = Path("no\\such\\folder.bin");
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), Create(file, noFolder));
    EXPECT_EQ(noFolder, file.GetPath().GetData());
    EXPECT_EQ(S_OK, file.Reset());
    EXPECT_EQ(0, file.GetPath().GetLength());
    // A call that fails without setting the last error still fails: never
    // HRESULT_FROM_WIN32(0), which is S_OK.
    SetLastError(0);
    EXPECT_EQ(E_FAIL, LastErrorResult());
    SetLastError(ERROR_DISK_FULL);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DISK_FULL), LastErrorResult());
}

TEST_F(DiskFileTest, DispositionComesBeforeAccess)
{
    CDiskFile file;
    std::string path = Path("new.bin");
    ASSERT_EQ(S_OK, file.Open(path.c_str(), CREATE_NEW, GENERIC_WRITE, SHARE_READ_WRITE, 0, nullptr));
    file.Close();
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_EXISTS),
              file.Open(path.c_str(), CREATE_NEW, GENERIC_WRITE, SHARE_READ_WRITE, 0, nullptr));
    // Read access only: a write is refused by the system and reported.
    ASSERT_EQ(S_OK, file.Open(path.c_str(), OPEN_EXISTING, GENERIC_READ, SHARE_READ_WRITE, 0, nullptr));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), file.Write("x", 1));
}

TEST_F(DiskFileTest, NewOpenClosesTheOldFileEvenWhenItFails)
{
    CDiskFile file;
    std::string locked = Path("locked.bin");
    ASSERT_EQ(S_OK, Create(file, locked, 0)); // not shared: a second open would fail while it is open
    std::string missing = Path("missing.bin");
    EXPECT_LT(file.Open(missing.c_str(), OPEN_EXISTING, GENERIC_READ, SHARE_READ_WRITE, 0, nullptr), 0);
    EXPECT_FALSE(file.IsOpen());
    CDiskFile other;
    EXPECT_EQ(S_OK, Create(other, locked, 0)) << "the first file is still open";
}

TEST_F(DiskFileTest, DestructionClosesTheFile)
{
    std::string path = Path("owned.bin");
    {
        CDiskFile file;
        ASSERT_EQ(S_OK, Create(file, path, 0));
    }
    CDiskFile again;
    EXPECT_EQ(S_OK, Create(again, path, 0));
}

// ReOpenFile and, as on Windows XP, its stand-in through ntdll: the same
// access rules and refusals, the same file after its path names another.
// (Windows reopens the file itself; Wine opens its path again, both ways.)
TEST_F(DiskFileTest, ReopenedWithAndWithoutKernel32sReOpenFile)
{
    const ReOpenFileFunction ways[] = {LoadedSystemFunction<ReOpenFileFunction>("kernel32.dll", "ReOpenFile"), nullptr};
    ASSERT_NE(nullptr, ways[0]);
    std::string reopenedText[2];
    for (ReOpenFileFunction way : ways) {
        SCOPED_TRACE(way ? "kernel32" : "ntdll");
        const std::string path = Path("held.bin"), moved = Path("moved.bin");
        CDiskFile file;
        ASSERT_EQ(S_OK, file.Open(path.c_str(), CREATE_ALWAYS, GENERIC_READ | GENERIC_WRITE,
                                  SHARE_READ_WRITE | FILE_SHARE_DELETE, 0, nullptr));
        ASSERT_EQ(S_OK, file.Write("payload", 7, nullptr, nullptr));
        // Refused as kernel32 refuses: a share the first handle's access rules
        // out, and an attribute where only flags belong.
        UniqueFileHandle refused(ReOpenFileWith(way, file.GetHandle(), GENERIC_READ, FILE_SHARE_READ, 0));
        EXPECT_FALSE(refused);
        EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
        refused.Reset(ReOpenFileWith(way, file.GetHandle(), GENERIC_READ, SHARE_READ_WRITE, FILE_ATTRIBUTE_HIDDEN));
        EXPECT_FALSE(refused);
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

        ASSERT_TRUE(MoveFileA(path.c_str(), moved.c_str()));
        std::ofstream(path) << "swapped"; // a file put in its place
        UniqueFileHandle reopened(
            ReOpenFileWith(way, file.GetHandle(), GENERIC_READ, SHARE_READ_WRITE | FILE_SHARE_DELETE, 0));
        ASSERT_TRUE(reopened) << GetLastError();
        char text[16] = {};
        DWORD read = 0;
        EXPECT_TRUE(ReadFile(reopened.Get(), text, sizeof text, &read, nullptr));
        reopenedText[way ? 0 : 1].assign(text, read);
        reopened.Reset();
        file.Close();
        EXPECT_TRUE(DeleteFileA(moved.c_str()));
        EXPECT_TRUE(DeleteFileA(path.c_str()));
    }
    EXPECT_EQ(reopenedText[0], reopenedText[1]);
}

} // namespace
