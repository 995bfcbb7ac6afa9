// Whole runs of the setup as its switches shape them: /Silent, /NoWaitDlg
// and the setup manager's /RunningAsSetupMgr, which reads the outcome from
// its registry key instead of message boxes.
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
const std::vector<std::string> kAllInstallers = {"setup", "DivXPro", "wmfdist"};
} // namespace

TEST(Sequence, FolderDialogCancelledUnderTheSetupManager)
{
    SetupScenario run("mgrcancel");
    WriteMachineDword(kSetupMgrKey, "Abort", 0);
    ASSERT_TRUE(run.Start("/RunningAsSetupMgr /Silent"));
    ASSERT_TRUE(run.AnswerFolderDialog(IDCANCEL));
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_EQ("1", ReadMachineValue(kSetupMgrKey, "Abort"));
}

TEST(Sequence, SilentRunShowsNoClosingMessageAndDoesNotRestart)
{
    SetupScenario run("silent");
    run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
    run.SetEnvironment("BCSETUP_SETUP_REQUIRE_REBOOT", "1");
    ASSERT_TRUE(run.Start("/Silent"));
    ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
    EXPECT_EQ(kExitOk, run.Finish()); // any message box fails the test
    EXPECT_EQ(kAllInstallers, run.JournalNames());
}

TEST(Sequence, NoWaitDlgNeverShowsTheWaitWindowYetRecordsARefusedShutdown)
{
    SetupScenario run("nowait");
    run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
    run.SetEnvironment("BCSETUP_SETUP_DELAY_MS", "1500");
    run.SetEnvironment("BCSETUP_SETUP_END_SESSION", "1");
    ASSERT_TRUE(run.Start("-NoWaitDlg"));
    ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
    run.Answer(IDS_RESTART_QUESTION, IDNO);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_FALSE(run.SawWaitWindow());
    EXPECT_EQ("none", ReadMachineValue(kProductKey, "RequireReboot"));
}

TEST(Sequence, SetupManagerReadsRestartAndAbortFromItsKey)
{
    // The setup manager stand-in starts the setup itself and reports the key.
    SetupScenario layout("manager");
    std::string manager = layout.MediumFolder() + "SetupMgr.exe";
    ASSERT_TRUE(CopyFileW(Widen(BinPath("SetupMgr.exe")).c_str(), Widen(manager).c_str(), FALSE));
    WriteMachineString(kProductKey, "Path", "x");
    WriteMachineString(kProductKey, "ProgramsPath", "C:\\Apps\\Brixelcast");
    // It passes its own arguments on: here the log, to a folder with a blank.
    const std::string logPath = layout.ScratchFolder() + "setup logs\\manager.log";
    ASSERT_TRUE(CreateDirectoryW(Widen(layout.ScratchFolder() + "setup logs").c_str(), nullptr));
    ChildProcess process;
    LaunchOptions options;
    options.environment = {{"BCSETUP_SETUP_ACTION", "install"}, {"BCSETUP_SETUP_REQUIRE_REBOOT", "1"}};
    ASSERT_TRUE(process.Start(manager, Quote(manager) + " " + Quote("/Log=" + logPath), options));
    DWORD code = 0;
    ASSERT_TRUE(process.WaitForExit(120000, &code));
    EXPECT_EQ(2u, code) << "completed, restart needed, not abandoned";
    EXPECT_EQ("1", ReadMachineValue(kSetupMgrKey, "RequireReboot"));
    EXPECT_EQ("none", ReadMachineValue(kSetupMgrKey, "Abort"));
    std::vector<std::string> log = ReadSetupLog(logPath);
    EXPECT_EQ(1u, LinesWith(log, "RunningAsSetupMgr=yes").size());
    EXPECT_EQ(1u, LinesWith(log, "Registry value HKLM\\Software\\Korvane\\SetupMgr\\RequireReboot written: 1").size());
}
