// Runs of the setup on a system where DirectX 9.0 is missing: the DirectX
// diagnostic provider is switched off for the setup and the DirectX system
// files are put aside for the time of the test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource_ids.h"
#include "tests/setup/setup_scenario.h"
#include "tests/support/child_process.h"
#include "tests/support/setup_exit_codes.h"
#include "tests/support/test_paths.h"
#include "tests/support/ui_driver.h"

using namespace testing_support;

namespace {
// Puts the files the DirectX check reads aside and brings them back.
class HiddenDirectX {
public:
    HiddenDirectX()
    {
        wchar_t system[MAX_PATH];
        GetSystemDirectoryW(system, MAX_PATH);
        for (const wchar_t* name : {L"ddraw.dll", L"d3drg8x.dll", L"dplayx.dll", L"dinput.dll", L"d3d8.dll",
                                    L"mpg2splt.ax", L"dpnet.dll", L"d3d9.dll", L"dxdiagn.dll"}) {
            std::wstring path = std::wstring(system) + L"\\" + name;
            if (MoveFileExW(path.c_str(), (path + L".hidden").c_str(), MOVEFILE_REPLACE_EXISTING))
                m_Moved.push_back(path);
        }
    }
    ~HiddenDirectX()
    {
        for (const std::wstring& path : m_Moved)
            MoveFileExW((path + L".hidden").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }

private:
    std::vector<std::wstring> m_Moved;
};

// A scenario on a system without DirectX 9.0.
void WithoutDirectX(SetupScenario& run)
{
    // Wine answers a version query on a name of its own built-in DLLs from
    // the built-in one; "native only" makes it look at the (missing) files.
    run.SetEnvironment("WINEDLLOVERRIDES", "dxdiagn=d;ddraw,d3d8,d3d9,dinput,dplayx,dpnet,d3drg8x=n;mscoree,mshtml=");
    run.SetEnvironment("BCSETUP_DXSETUP_WINDOW", "none");
}
} // namespace

class SequenceDirectX : public ::testing::Test {
protected:
    HiddenDirectX m_Hidden;
};

TEST_F(SequenceDirectX, MissingWithSetupOnTheMediumOffersItAfterTheInstallers)
{
    SetupScenario run("dxyes", "my medium");
    WithoutDirectX(run);
    run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
    // A program at a shorter prefix of the medium's path must never run.
    std::string planted = run.ScratchFolder() + "my.exe";
    ASSERT_TRUE(CopyFileW(Widen(BinPath("dxsetup.exe")).c_str(), Widen(planted).c_str(), FALSE));
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
    run.Answer(IDS_DIRECTX_QUESTION, IDYES);
    run.Answer(IDS_SETUP_COMPLETE, IDOK);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_EQ((std::vector<std::string>{"setup", "DivXPro", "wmfdist", "dxsetup"}), run.JournalNames());
    std::vector<JournalEntry> journal = run.Journal();
    ASSERT_EQ(4u, journal.size());
    EXPECT_EQ(run.MediumFolder() + "Tools\\DirectX9.0c\\dxsetup.exe", journal[3].program);
}

TEST_F(SequenceDirectX, AnsweringNoAbandonsSilentlyAndTellsTheSetupManager)
{
    for (bool manager : {false, true}) {
        SCOPED_TRACE(manager ? "under the setup manager" : "started by the user");
        SetupScenario run(manager ? "dxnomgr" : "dxno");
        WithoutDirectX(run);
        run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
        run.SetEnvironment("BCSETUP_SETUP_REQUIRE_REBOOT", "1");
        ASSERT_TRUE(run.Start(manager ? "/RunningAsSetupMgr" : ""));
        ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
        run.Answer(IDS_DIRECTX_QUESTION, IDNO);
        EXPECT_EQ(kExitOk, run.Finish()); // neither a closing message nor the restart question
        EXPECT_EQ((std::vector<std::string>{"setup", "DivXPro", "wmfdist"}), run.JournalNames());
        if (manager) {
            EXPECT_EQ("1", ReadMachineValue(kSetupMgrKey, "Abort"));
        }
    }
}

TEST_F(SequenceDirectX, MissingWithoutSetupProgramRefusesWithMessage116)
{
    SetupScenario run("dxnone");
    WithoutDirectX(run);
    run.RemoveDirectXSetup();
    ASSERT_TRUE(run.Start());
    run.Answer(IDS_DIRECTX_MISSING, IDOK);
    EXPECT_EQ(kExitRefused, run.Finish());
    EXPECT_TRUE(run.JournalNames().empty());
    EXPECT_TRUE(run.LeftWorkFolders().empty());
}

TEST_F(SequenceDirectX, FailedInstallerComesBeforeTheQuestion)
{
    SetupScenario run("dxfail");
    WithoutDirectX(run);
    ASSERT_TRUE(run.Start());
    ASSERT_NE(nullptr, run.WaitForFolderDialog());
    ASSERT_TRUE(run.BlockWorkFile("setup.exe"));
    ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
    run.Answer(IDS_SETUP_FAILED, IDOK);
    run.Answer(IDS_DIRECTX_QUESTION, IDNO);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_TRUE(run.JournalNames().empty());
}

TEST(SequenceLaunchDX9, SwitchOffersTheMediumsSetupEvenWithDirectX9)
{
    SetupScenario run("launchdx9");
    run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
    run.SetEnvironment("BCSETUP_DXSETUP_WINDOW", "none");
    ASSERT_TRUE(run.Start("/LaunchDX9"));
    ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
    run.Answer(IDS_DIRECTX_QUESTION, IDYES);
    run.Answer(IDS_SETUP_COMPLETE, IDOK);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_EQ((std::vector<std::string>{"setup", "DivXPro", "wmfdist", "dxsetup"}), run.JournalNames());
}

TEST(SequenceLaunchDX9, NoWithDirectX9PresentSkipsTheOfferAndCompletes)
{
    for (bool manager : {false, true}) {
        SCOPED_TRACE(manager ? "under the setup manager" : "started by the user");
        SetupScenario run(manager ? "launchdx9nomgr" : "launchdx9no");
        run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
        run.SetEnvironment("BCSETUP_SETUP_REQUIRE_REBOOT", "1");
        ASSERT_TRUE(run.Start(manager ? "/LaunchDX9 /RunningAsSetupMgr" : "/LaunchDX9"));
        ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
        run.Answer(IDS_DIRECTX_QUESTION, IDNO);
        if (!manager)
            run.Answer(IDS_RESTART_QUESTION, IDNO);
        EXPECT_EQ(kExitOk, run.Finish());
        EXPECT_EQ((std::vector<std::string>{"setup", "DivXPro", "wmfdist"}), run.JournalNames());
        if (manager) {
            EXPECT_EQ("none", ReadMachineValue(kSetupMgrKey, "Abort"));
            EXPECT_EQ("1", ReadMachineValue(kSetupMgrKey, "RequireReboot"));
        }
    }
}
