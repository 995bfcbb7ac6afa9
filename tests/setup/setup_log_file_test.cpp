// The setup log's file: a new default log for each run under a name nobody
// can plant in advance, an appended log the administrator named, long lines.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "base/setup_log.h"
#include "setup/setup_log_file.h"
#include "tests/support/child_process.h"
#include "tests/support/test_paths.h"
#include "tests/support/unix_link.h"

using namespace testing_support;

namespace {
const std::string kByteOrderMark = "\xEF\xBB\xBF";

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(Widen(path).c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWhole(const std::string& path, const std::string& text)
{
    std::ofstream(Widen(path).c_str(), std::ios::binary) << text;
}

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The default log's name at a given local time and number.
std::string DefaultLogName(const SYSTEMTIME& time, unsigned number)
{
    char name[64];
    std::snprintf(name, sizeof(name), "BCSetup %04u-%02u-%02u %02u.%02u.%02u %04x.log", time.wYear, time.wMonth,
                  time.wDay, time.wHour, time.wMinute, time.wSecond, number);
    return name;
}

SYSTEMTIME SecondsLater(const SYSTEMTIME& time, int seconds)
{
    FILETIME file;
    SystemTimeToFileTime(&time, &file);
    ULARGE_INTEGER ticks = {{file.dwLowDateTime, file.dwHighDateTime}};
    ticks.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME later;
    FileTimeToSystemTime(&file, &later);
    return later;
}

unsigned g_nextNumber = 0;
unsigned CountingNumbers()
{
    return g_nextNumber++;
}

class SetupLogFileTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        CloseSetupLog();
        RemoveTree(m_Folder);
    }
    // Links the default log's names with number for this second and the
    // next ones to a file of another program's choice; returns its path.
    std::string PlantLinksAhead(unsigned number, int seconds)
    {
        const std::string target = m_Folder + "elsewhere.txt";
        WriteWhole(target, "untouched\n");
        SYSTEMTIME now;
        GetLocalTime(&now);
        for (int second = 0; second < seconds; ++second)
            EXPECT_TRUE(PlantUnixLink(m_Folder + DefaultLogName(SecondsLater(now, second), number), target));
        return target;
    }

    std::string m_Folder = MakeScratchFolder("setuplog");
};

// Another program of the user links the names of the next seconds to a
// file of its choice: the log takes a name still free, and the file linked
// to is never written.
TEST_F(SetupLogFileTest, DefaultLogSkipsANamePlantedAhead)
{
    const std::string target = PlantLinksAhead(0x1111, 3);

    g_nextNumber = 0x1111;
    char path[SETUP_LOG_PATH_SIZE];
    ASSERT_EQ(S_OK, CreateDefaultSetupLog(m_Folder.c_str(), path, CountingNumbers));
    LogEvent("first line");
    CloseSetupLog();
    const std::string name = std::string(path).substr(m_Folder.size());
    EXPECT_EQ(" 1112.log", name.substr(name.size() - 9)) << name;
    EXPECT_EQ(0u, name.find("BCSetup 20")) << name;
    EXPECT_EQ("untouched\n", ReadWhole(target));
    const std::string log = ReadWhole(path);
    EXPECT_EQ(0u, log.find(kByteOrderMark + "20"));
    EXPECT_NE(std::string::npos, log.find(" first line\r\n"));
}

// Every name taken: the failure, and nothing written anywhere.
TEST_F(SetupLogFileTest, DefaultLogGivesUpAfterEightTakenNames)
{
    const std::string target = PlantLinksAhead(7, 2);
    char path[SETUP_LOG_PATH_SIZE];
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_EXISTS), CreateDefaultSetupLog(m_Folder.c_str(), path, [] { return 7u; }));
    EXPECT_FALSE(IsSetupLogOpen());
    EXPECT_EQ("untouched\n", ReadWhole(target));
}

// A log the administrator named is appended to, run after run, with one
// byte-order mark at its start.
TEST_F(SetupLogFileTest, NamedLogIsAppendedToWithOneByteOrderMark)
{
    const std::string path = m_Folder + "setup.log";
    ASSERT_EQ(S_OK, OpenSetupLog(path.c_str()));
    LogEvent("run one");
    CloseSetupLog();
    ASSERT_EQ(S_OK, OpenSetupLog(path.c_str()));
    LogEvent("run two");
    CloseSetupLog();
    const std::string log = ReadWhole(path);
    EXPECT_EQ(0u, log.find(kByteOrderMark));
    EXPECT_EQ(1u, Count(log, kByteOrderMark));
    EXPECT_LT(log.find(" run one\r\n"), log.find(" run two\r\n"));
}

// A failure about a long path comes out whole, with its code, not as its
// time stamp alone.
TEST_F(SetupLogFileTest, LongFailureLineIsWrittenWhole)
{
    const std::string path = m_Folder + "long.log";
    ASSERT_EQ(S_OK, OpenSetupLog(path.c_str()));
    const std::string longText(2000, 'x');
    LogFailure(E_FAIL, "Failed to write %s", longText.c_str());
    LogEvent("%s", std::string(3000, 'y').c_str());
    CloseSetupLog();
    const std::string log = ReadWhole(path);
    EXPECT_NE(std::string::npos, log.find(" Failed to write " + longText + ": 0x80004005"));
    // An event longer than the log's limit is cut, not dropped.
    EXPECT_NE(std::string::npos, log.find(" " + std::string(2045, 'y') + "\r\n"));
}
} // namespace
