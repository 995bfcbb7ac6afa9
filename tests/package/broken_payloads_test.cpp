// The installer runs when the payloads are damaged: a main package whose
// last entry is cut short, a companion payload that is no program, and a
// payload the program does not carry at all.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

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
class BrokenPayloadsTest : public WorkFolderTest {
protected:
    void SetUp() override { MakeFolders("broken-payloads"); }
};
} // namespace

TEST_F(BrokenPayloadsTest, PackageFailingInItsLastEntryStartsNothing)
{
    ScopedProductKey productKey(m_strScratch + "Programs\\");
    ScopedJournal journal(m_strScratch);
    ScopedEnvironmentVariable action("BCSETUP_SETUP_ACTION", "install");
    WindowOnOwnThread owner(L"wait window", SW_SHOW);
    EXPECT_TRUE(FAILED(RunMainInstallerIn(ToAnsi(m_strWork).c_str(), owner.Window())));
    // setup.exe was unpacked already, but never started.
    EXPECT_TRUE(FileExists(m_strWork + "setup.exe"));
    EXPECT_TRUE(FileExists(m_strWork + "BCSetup_IS.bin"));
    EXPECT_TRUE(journal.Entries().empty());
    EXPECT_TRUE(IsWindowVisible(owner.Window()));
}

TEST_F(BrokenPayloadsTest, CompanionThatCannotStartIsFalseAndItsFileIsGone)
{
    ScopedJournal journal(m_strScratch);
    EXPECT_TRUE(FAILED(RunWmfRuntimeSetupIn(ToAnsi(m_strWork).c_str())));
    EXPECT_FALSE(FileExists(m_strWork + "wmfdist.exe"));
    EXPECT_TRUE(journal.Entries().empty());
}

TEST_F(BrokenPayloadsTest, MissingPayloadRunsNothingAndCreatesNothing)
{
    ScopedJournal journal(m_strScratch);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND), RunDivXSetupIn(ToAnsi(m_strWork).c_str()));
    EXPECT_EQ(E_INVALIDARG, RunDivXSetup(HeldFolder{nullptr, nullptr}));
    EXPECT_EQ(E_INVALIDARG, RunMainInstaller(HeldFolder{nullptr, nullptr}, nullptr));
    EXPECT_FALSE(FileExists(m_strWork + "DivXPro.exe"));
    EXPECT_TRUE(journal.Entries().empty());
}
