// All three installers from a work folder whose path has blanks (Windows
// XP's temporary folder lies under "Documents and Settings") and, under code
// page 932, a double-byte name whose trail byte is 0x5C. A program planted
// at a shorter prefix of such a path must never run.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "package/companion_installers.h"
#include "package/main_installer.h"
#include "tests/package/installer_test_support.h"
#include "tests/support/ansi_text.h"
#include "tests/support/child_process.h"
#include "tests/support/standin_journal.h"
#include "tests/support/test_paths.h"
#include "tests/package/package_calls_by_path.h"

using namespace testing_support;
using namespace installer_testing;

namespace {
// Runs the three installers from scratch + folderName + "\" with a
// program planted at scratch + plantedName, and checks the journal.
void RunAllFrom(const std::string& scratchName, const std::string& folderName, const std::string& plantedName)
{
    std::string scratch = MakeScratchFolder(scratchName);
    std::string work = scratch + folderName + "\\";
    ASSERT_TRUE(CreateDirectoryW(Widen(work).c_str(), nullptr));
    // The planted program journals like a stand-in, under its own file name.
    std::string planted = scratch + plantedName;
    ASSERT_TRUE(CopyProgram("DivXPro.exe", planted));
    std::string destination = scratch + "Programs\\Brixelcast\\";
    ScopedProductKey productKey(destination);
    ScopedJournal journal(scratch);
    ScopedEnvironmentVariable action("BCSETUP_SETUP_ACTION", "install");
    std::string ansiWork = ToAnsi(work);
    ASSERT_FALSE(ansiWork.empty());

    EXPECT_EQ(S_OK, RunMainInstallerIn(ansiWork.c_str(), nullptr));
    EXPECT_EQ(S_OK, RunDivXSetupIn(ansiWork.c_str()));
    EXPECT_EQ(S_OK, RunWmfRuntimeSetupIn(ansiWork.c_str()));

    std::vector<JournalEntry> entries = journal.Entries();
    for (const JournalEntry& entry : entries)
        EXPECT_NE(planted, entry.program) << "the planted program ran with " << entry.commandLine;
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ(work + "setup.exe", entries[0].program);
    EXPECT_EQ(work + "setup.exe", entries[0].commandLine);
    EXPECT_EQ("installed to " + destination, entries[0].action);
    EXPECT_EQ(work + "DivXPro.exe", entries[1].program);
    EXPECT_EQ("\"" + work + "DivXPro.exe\" /S /DIVXLANG=JA", entries[1].commandLine);
    EXPECT_EQ(work + "wmfdist.exe", entries[2].program);
    EXPECT_EQ("\"" + work + "wmfdist.exe\" /Q", entries[2].commandLine);
    EXPECT_TRUE(FileExists(destination + "Brixelcast.exe"));
}
} // namespace

TEST(InstallerPaths, WorkFolderWithBlanks)
{
    RunAllFrom("paths-blanks", "Documents and Settings", "Documents.exe");
}

TEST(InstallerPaths, DoubleByteNameWithBackslashTrailByteAndBlanks)
{
    if (GetACP() != 932)
        GTEST_SKIP() << "needs the Japanese code page";
    // 表 is 0x95 0x5C in code page 932.
    RunAllFrom("paths-kanji", "表 フォルダ", "表.exe");
}
