// RunDivXSetup and RunWmfRuntimeSetup with the stand-in companions: their
// exact command lines, the wait for their end, and no file left behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "package/companion_installers.h"
#include "tests/package/installer_test_support.h"
#include "tests/support/ansi_text.h"
#include "tests/support/child_process.h"
#include "tests/support/standin_journal.h"
#include "tests/support/test_paths.h"
#include "tests/package/package_calls_by_path.h"

using namespace testing_support;
using namespace installer_testing;

namespace {
class CompanionInstallersTest : public WorkFolderTest {
protected:
    void SetUp() override { MakeFolders("companions"); }
};
} // namespace

TEST_F(CompanionInstallersTest, ExactCommandLinesReachThemAndTheirFilesAreGone)
{
    ScopedJournal journal(m_strScratch);
    // They end a little later: the journal line, their last act, shows the wait.
    ScopedEnvironmentVariable divxDelay("BCSETUP_DIVX_DELAY_MS", "300");
    ScopedEnvironmentVariable wmfDelay("BCSETUP_WMFDIST_DELAY_MS", "300");
    std::string work = ToAnsi(m_strWork);

    EXPECT_EQ(S_OK, RunDivXSetupIn(work.c_str()));
    ASSERT_EQ(1u, journal.Entries().size());
    EXPECT_FALSE(FileExists(m_strWork + "DivXPro.exe"));
    EXPECT_EQ(S_OK, RunWmfRuntimeSetupIn(work.c_str()));
    EXPECT_FALSE(FileExists(m_strWork + "wmfdist.exe"));

    std::vector<JournalEntry> entries = journal.Entries();
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("DivXPro", entries[0].name);
    EXPECT_EQ("\"" + m_strWork + "DivXPro.exe\" /S /DIVXLANG=JA", entries[0].commandLine);
    EXPECT_EQ("installed silently, language JA", entries[0].action);
    EXPECT_EQ(CurrentFolder(), entries[0].folder);
    EXPECT_EQ("wmfdist", entries[1].name);
    EXPECT_EQ("\"" + m_strWork + "wmfdist.exe\" /Q", entries[1].commandLine);
    EXPECT_EQ("installed silently", entries[1].action);
}

TEST_F(CompanionInstallersTest, ErrorExitCodesStillCountAsRun)
{
    ScopedJournal journal(m_strScratch);
    ScopedEnvironmentVariable divxExit("BCSETUP_DIVX_EXIT_CODE", "1603");
    ScopedEnvironmentVariable wmfExit("BCSETUP_WMFDIST_EXIT_CODE", "-1");
    std::string work = ToAnsi(m_strWork);
    EXPECT_EQ(S_OK, RunDivXSetupIn(work.c_str()));
    EXPECT_EQ(S_OK, RunWmfRuntimeSetupIn(work.c_str()));
    EXPECT_EQ(2u, journal.Entries().size());
    EXPECT_FALSE(FileExists(m_strWork + "DivXPro.exe"));
    EXPECT_FALSE(FileExists(m_strWork + "wmfdist.exe"));
}
