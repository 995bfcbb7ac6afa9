// End-to-end runs of the setup from a medium folder, with scripted stand-ins
// and the UI driver in the user's place.
#include <gtest/gtest.h>

#include "resource_ids.h"
#include "tests/setup/setup_scenario.h"
#include "tests/support/child_process.h"
#include "tests/support/setup_exit_codes.h"
#include "tests/support/test_paths.h"
#include "tests/support/ui_driver.h"

using namespace testing_support;

namespace {
const std::vector<std::string> kAllInstallers = {"setup", "DivXPro", "wmfdist"};

std::string DefaultDestination()
{
    wchar_t folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"ProgramFiles", folder, MAX_PATH);
    return Narrow(std::wstring(folder, length)) + "\\Korvane\\Brixelcast";
}

// The typical run from the CD, with the program at binPath on the medium.
void RunTypicalScenario(const std::string& name, const std::string& binPath)
{
    SetupScenario run(name);
    ASSERT_TRUE(run.UseProgram(binPath));
    run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
    ASSERT_TRUE(run.Start());
    HWND dialog = run.WaitForFolderDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(DefaultDestination(), ControlText(dialog, IDC_FOLDER_EDIT));
    PressButton(dialog, IDOK);
    run.Answer(IDS_SETUP_COMPLETE, IDOK);
    EXPECT_EQ(kExitOk, run.Finish());

    EXPECT_EQ(kAllInstallers, run.JournalNames());
    EXPECT_TRUE(run.SawWaitWindow());
    EXPECT_EQ(DefaultDestination() + "\\", ReadMachineValue(kProductKey, "ProgramsPath"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(DefaultDestination() + "\\Brixelcast.exe").c_str()));
    EXPECT_TRUE(run.LeftWorkFolders().empty());
    std::vector<JournalEntry> journal = run.Journal();
    ASSERT_EQ(3u, journal.size());
    EXPECT_EQ("\"" + journal[1].program + "\" /S /DIVXLANG=JA", journal[1].commandLine);
    EXPECT_EQ("\"" + journal[2].program + "\" /Q", journal[2].commandLine);
}

} // namespace

TEST(Sequence, TypicalRunInstallsEverythingAndSaysComplete)
{
    RunTypicalScenario("typical", "BCSetup.exe");
}

// A copy signed as a release build signs it (with a throw-away certificate):
// the signature changes nothing the program reads of itself.
TEST(Sequence, SignedProgramRunsTheTypicalScenario)
{
    RunTypicalScenario("signed", "signed\\BCSetup.exe");
}

TEST(Sequence, RestartNeededAsksAndNoEndsTheRun)
{
    SetupScenario run("reboot");
    run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
    run.SetEnvironment("BCSETUP_SETUP_REQUIRE_REBOOT", "1");
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
    run.Answer(IDS_RESTART_QUESTION, IDNO);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_EQ(kAllInstallers, run.JournalNames());
}

TEST(Sequence, InstallerAskingToEndTheSessionGetsTheRestartQuestion)
{
    SetupScenario run("endsession");
    run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
    run.SetEnvironment("BCSETUP_SETUP_END_SESSION", "1");
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
    run.Answer(IDS_RESTART_QUESTION, IDNO);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_EQ("none", ReadMachineValue(kProductKey, "RequireReboot"));
}

TEST(Sequence, PathSetSkipsTheDialogAndWritesProgramsPathBack)
{
    {
        SetupScenario run("pathset");
        WriteMachineString(kProductKey, "Path", "C:\\Old");
        WriteMachineString(kProductKey, "ProgramsPath", "C:\\Apps\\Brixelcast");
        run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
        ASSERT_TRUE(run.Start());
        run.Answer(IDS_SETUP_COMPLETE, IDOK);
        EXPECT_EQ(kExitOk, run.Finish());
        EXPECT_EQ("C:\\Apps\\Brixelcast\\", ReadMachineValue(kProductKey, "ProgramsPath"));
    }
    {
        SetupScenario run("pathempty");
        WriteMachineString(kProductKey, "Path", "C:\\Old");
        WriteMachineString(kProductKey, "ProgramsPath", "");
        run.SetEnvironment("BCSETUP_SETUP_ACTION", "cancel");
        ASSERT_TRUE(run.Start());
        run.Answer(IDS_SETUP_ABORTED, IDOK);
        EXPECT_EQ(kExitOk, run.Finish());
        EXPECT_EQ("", ReadMachineValue(kProductKey, "ProgramsPath"));
    }
}

TEST(Sequence, FolderDialogCancelledRunsNothing)
{
    SetupScenario run("dialogcancel");
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.AnswerFolderDialog(IDCANCEL));
    run.Answer(IDS_SETUP_ABORTED, IDOK);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_TRUE(run.JournalNames().empty());
    EXPECT_TRUE(run.LeftWorkFolders().empty());
}

TEST(Sequence, FolderDialogCancelledUnderTheSetupManager)
{
    SetupScenario run("mgrcancel");
    WriteMachineDword(kSetupMgrKey, "Abort", 0);
    ASSERT_TRUE(run.Start("/RunningAsSetupMgr /Silent"));
    ASSERT_TRUE(run.AnswerFolderDialog(IDCANCEL));
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_EQ("1", ReadMachineValue(kSetupMgrKey, "Abort"));
}

TEST(Sequence, MainInstallerCancelledSkipsTheCompanions)
{
    SetupScenario run("installercancel");
    run.SetEnvironment("BCSETUP_SETUP_ACTION", "cancel");
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
    run.Answer(IDS_SETUP_ABORTED, IDOK);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_EQ(std::vector<std::string>{"setup"}, run.JournalNames());
}

TEST(Sequence, MainInstallerThatCannotBeUnpackedGivesMessage111)
{
    SetupScenario run("unpackfails");
    ASSERT_TRUE(run.Start());
    ASSERT_NE(nullptr, run.WaitForFolderDialog());
    ASSERT_TRUE(run.BlockWorkFile("setup.exe"));
    ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
    run.Answer(IDS_SETUP_FAILED, IDOK);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_TRUE(run.JournalNames().empty());
    EXPECT_TRUE(run.LeftWorkFolders().empty());
}

// One byte of the main package changed in the program file, where the
// package format itself would not notice (the last byte of its last entry):
// the written package fails its recorded digest, so nothing of it runs.
TEST(Sequence, ProgramWithAChangedPayloadGivesMessage111AndRunsNothing)
{
    SetupScenario run("damagedpayload");
    run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
    ASSERT_TRUE(run.DamagePayload(IDR_PAYLOAD_MAIN));
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
    run.Answer(IDS_SETUP_FAILED, IDOK);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_TRUE(run.JournalNames().empty());
    EXPECT_TRUE(run.LeftWorkFolders().empty());
}

TEST(Sequence, CompanionThatCannotBeWrittenGivesMessage111)
{
    SetupScenario run("companionfails");
    run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
    run.SetEnvironment("BCSETUP_SETUP_DELAY_MS", "3000");
    ASSERT_TRUE(run.Start());
    ASSERT_NE(nullptr, run.WaitForFolderDialog());
    ASSERT_TRUE(run.BlockWorkFile("DivXPro.exe"));
    ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
    run.Answer(IDS_SETUP_FAILED, IDOK);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_EQ(std::vector<std::string>{"setup"}, run.JournalNames());
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
    ChildProcess process;
    LaunchOptions options;
    options.environment = {{"BCSETUP_SETUP_ACTION", "install"}, {"BCSETUP_SETUP_REQUIRE_REBOOT", "1"}};
    ASSERT_TRUE(process.Start(manager, Quote(manager), options));
    DWORD code = 0;
    ASSERT_TRUE(process.WaitForExit(120000, &code));
    EXPECT_EQ(2u, code) << "completed, restart needed, not abandoned";
    EXPECT_EQ("1", ReadMachineValue(kSetupMgrKey, "RequireReboot"));
    EXPECT_EQ("none", ReadMachineValue(kSetupMgrKey, "Abort"));
}
