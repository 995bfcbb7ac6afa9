// End-to-end runs of the setup from a medium folder, with scripted stand-ins
// and the UI driver in the user's place.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "resource_ids.h"
#include "tests/setup/setup_scenario.h"
#include "tests/support/child_process.h"
#include "tests/support/setup_exit_codes.h"
#include "tests/support/test_paths.h"
#include "tests/support/ui_driver.h"
#include "tests/support/unix_link.h"

using namespace testing_support;

namespace {
// Lower case, ASCII only: for paths Windows compares without case.
std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

const std::vector<std::string> kAllInstallers = {"setup", "DivXPro", "wmfdist"};

std::string DefaultDestination()
{
    wchar_t folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"ProgramFiles", folder, MAX_PATH);
    return Narrow(std::wstring(folder, length)) + "\\Korvane\\Brixelcast";
}

std::string Environment(const wchar_t* name)
{
    wchar_t text[MAX_PATH] = L"";
    DWORD length = GetEnvironmentVariableW(name, text, MAX_PATH);
    return length < MAX_PATH ? Narrow(std::wstring(text, length)) : std::string();
}

// Where the product lands on 64-bit Windows. The setup is a 32-bit program:
// there its keys are in the registry's 32-bit view (Wow6432Node), none in
// the 64-bit one, and the folder proposed to the user and given to the
// installer is under "Program Files (x86)". The x86_64 build finds the
// 64-bit view and "Program Files".
void ExpectTheProgramsOwnViewOfWindows(const std::string& installedTo)
{
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    const std::string programsPath = DefaultDestination() + "\\";
    EXPECT_EQ("installed to " + programsPath, installedTo);
    const std::string wow6432Key = "Software\\Wow6432Node\\Korvane\\Brixelcast";
    if (sizeof(void*) == 4) {
        EXPECT_TRUE(wow64) << "the i686 tests run as on 64-bit Windows";
        EXPECT_EQ(0u, programsPath.find(Environment(L"ProgramFiles(x86)") + "\\")) << programsPath;
        EXPECT_NE(std::string::npos, programsPath.find("Program Files (x86)")) << programsPath;
        EXPECT_EQ(programsPath, ReadMachineValueInView(kProductKey, "ProgramsPath", KEY_WOW64_32KEY));
        EXPECT_EQ(programsPath, ReadMachineValueInView(wow6432Key.c_str(), "ProgramsPath", KEY_WOW64_64KEY));
        EXPECT_EQ("none", ReadMachineValueInView(kProductKey, "ProgramsPath", KEY_WOW64_64KEY));
    } else {
        EXPECT_EQ(0u, programsPath.find(Environment(L"ProgramFiles") + "\\")) << programsPath;
        EXPECT_EQ(std::string::npos, programsPath.find("(x86)")) << programsPath;
        EXPECT_EQ(programsPath, ReadMachineValueInView(kProductKey, "ProgramsPath", KEY_WOW64_64KEY));
        EXPECT_EQ("none", ReadMachineValueInView(kProductKey, "ProgramsPath", KEY_WOW64_32KEY));
    }
}

// The typical run from the CD, with the program at binPath on the medium;
// with the log switch when withLog, else without. Returns the lines of the
// default log file (none without the switch). Another program of the user
// has linked the log's old fixed name to a file of its own: that file is
// never written.
std::vector<std::string> RunTypicalScenario(const std::string& name, const std::string& binPath, bool withLog)
{
    SetupScenario run(name);
    RemoveDefaultSetupLogs();
    const std::string plantedTarget = run.ScratchFolder() + "elsewhere.txt";
    std::ofstream(Widen(plantedTarget).c_str(), std::ios::binary) << "untouched\n";
    const std::string oldLogName = TempFolder() + "BCSetup.log";
    EXPECT_TRUE(PlantUnixLink(oldLogName, plantedTarget));
    EXPECT_TRUE(run.UseProgram(binPath));
    run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
    EXPECT_TRUE(run.Start(withLog ? "/Log" : ""));
    HWND dialog = run.WaitForFolderDialog();
    EXPECT_NE(nullptr, dialog);
    if (!dialog)
        return {};
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
    EXPECT_EQ(3u, journal.size());
    if (journal.size() != 3)
        return {};
    // Paths compared as Windows compares them: the program names the
    // system's "Temp", the file system may spell it "temp".
    EXPECT_EQ(Lower("\"" + journal[1].program + "\" /S /DIVXLANG=JA"), Lower(journal[1].commandLine));
    EXPECT_EQ(Lower("\"" + journal[2].program + "\" /Q"), Lower(journal[2].commandLine));
    ExpectTheProgramsOwnViewOfWindows(journal[0].action);
    // Each installer's temporary folder is the held one in the work folder,
    // not the user's.
    for (const JournalEntry& entry : journal) {
        const std::string workFolder = entry.program.substr(0, entry.program.find_last_of('\\') + 1);
        EXPECT_EQ(Lower(workFolder + "Temp\\"), Lower(entry.temp)) << entry.name;
        EXPECT_NE(TempFolder(), entry.temp) << entry.name;
        // The setup is elevated: its work folder lies in the system's
        // temporary folder, out of reach of the user's other programs.
        EXPECT_EQ(0u, Lower(workFolder).find(Lower(SystemTempFolder() + "exp"))) << entry.program;
    }

    std::ifstream planted(Widen(plantedTarget).c_str(), std::ios::binary);
    EXPECT_EQ("untouched\n", std::string(std::istreambuf_iterator<char>(planted), std::istreambuf_iterator<char>()));
    planted.close();
    RemoveUnixLink(oldLogName);
    const std::vector<std::string> logs = DefaultSetupLogs();
    EXPECT_EQ(withLog ? 1u : 0u, logs.size());
    if (logs.empty())
        return {};
    // "BCSetup 2026-12-09 14.02.31 7f3a.log"
    const std::string logName = logs.front().substr(TempFolder().size());
    EXPECT_EQ(36u, logName.size()) << logName;
    EXPECT_EQ(logName.find_first_not_of("0123456789abcdef", 28), logName.size() - 4) << logName;
    std::printf("default log: %s; the link at %s left alone\n", logs.front().c_str(), oldLogName.c_str());
    std::vector<std::string> log = ReadSetupLog(logs.front());
    if (withLog) {
        // The log names each installer with the command line it really got, in order.
        std::vector<std::string> starts = LinesWith(log, "Starting ");
        EXPECT_EQ(3u, starts.size());
        for (std::size_t i = 0; i < 3 && i < starts.size(); ++i)
            EXPECT_NE(std::string::npos, starts[i].find("command line: " + journal[i].commandLine + ", working folder"))
                << starts[i];
    }
    return log;
}

} // namespace

TEST(Sequence, TypicalRunInstallsEverythingAndSaysComplete)
{
    std::vector<std::string> log = RunTypicalScenario("typical", "BCSetup.exe", true);
    ASSERT_FALSE(log.empty()) << "no default log";
    EXPECT_EQ(0u, log.front().find("20")) << "a line begins with its date: " << log.front();
    EXPECT_EQ(1u, LinesWith(log, "Message 117 answered: OK").size());
    // Turned on where Windows has it; under Wine the log says it is not in force.
    EXPECT_EQ(1u, LinesWith(log, "RedirectionGuard").size());
    EXPECT_NE(std::string::npos, log.back().find("Setup ended, exit code 0")) << log.back();
}

// A copy signed as a release build signs it (with a throw-away certificate):
// the signature changes nothing the program reads of itself. Run without the
// log switch, it writes no log.
TEST(Sequence, SignedProgramRunsTheTypicalScenario)
{
    RunTypicalScenario("signed", "signed\\BCSetup.exe", false);
}

// Also: a log file that can't be written leaves the run as it was. The file
// is read-only and, as Wine lets an administrator (root) write read-only
// files, also held open here without write sharing.
TEST(Sequence, RestartNeededAsksAndNoEndsTheRun)
{
    SetupScenario run("reboot");
    const std::wstring readOnlyLog = Widen(run.ScratchFolder() + "read-only.log");
    std::ofstream(readOnlyLog.c_str()) << "earlier\n";
    ASSERT_TRUE(SetFileAttributesW(readOnlyLog.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE holder = CreateFileW(readOnlyLog.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
    run.SetEnvironment("BCSETUP_SETUP_REQUIRE_REBOOT", "1");
    ASSERT_TRUE(run.Start(Quote("-LOG=" + run.ScratchFolder() + "read-only.log")));
    ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
    run.Answer(IDS_RESTART_QUESTION, IDNO);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_EQ(kAllInstallers, run.JournalNames());
    CloseHandle(holder);
    std::ifstream in(readOnlyLog.c_str());
    EXPECT_EQ("earlier\n", std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    in.close();
    SetFileAttributesW(readOnlyLog.c_str(), FILE_ATTRIBUTE_NORMAL);
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
    const struct {
        const char* scratch;
        const char* programsPath;
        const char* installerAction;
        int closingMessage;
        const char* programsPathAfter; // with its trailing backslash, if it has a folder
    } cases[] = {{"pathset", "C:\\Apps\\Brixelcast", "install", IDS_SETUP_COMPLETE, "C:\\Apps\\Brixelcast\\"},
                 {"pathempty", "", "cancel", IDS_SETUP_ABORTED, ""}};
    for (const auto& c : cases) {
        SetupScenario run(c.scratch);
        WriteMachineString(kProductKey, "Path", "C:\\Old");
        WriteMachineString(kProductKey, "ProgramsPath", c.programsPath);
        run.SetEnvironment("BCSETUP_SETUP_ACTION", c.installerAction);
        ASSERT_TRUE(run.Start()) << c.scratch;
        run.Answer(c.closingMessage, IDOK);
        EXPECT_EQ(kExitOk, run.Finish()) << c.scratch;
        EXPECT_EQ(c.programsPathAfter, ReadMachineValue(kProductKey, "ProgramsPath")) << c.scratch;
    }
}

// Also: a log in a folder that does not exist leaves the run as it was.
TEST(Sequence, FolderDialogCancelledRunsNothing)
{
    SetupScenario run("dialogcancel");
    ASSERT_TRUE(run.Start(Quote("/Log=" + run.ScratchFolder() + "missing\\setup.log")));
    ASSERT_TRUE(run.AnswerFolderDialog(IDCANCEL));
    run.Answer(IDS_SETUP_ABORTED, IDOK);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_TRUE(run.JournalNames().empty());
    EXPECT_TRUE(run.LeftWorkFolders().empty());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(run.ScratchFolder() + "missing").c_str()));
}

// The log is UTF-8 whatever the code page: under code page 932 a medium
// folder with a Japanese name comes out as the user reads it. The work
// folder goes to the system's temporary folder, wherever the user's
// temporary folder is (here a Japanese one).
TEST(Sequence, LogShowsAJapaneseMediumFolder)
{
    if (GetACP() != 932)
        GTEST_SKIP() << "needs code page 932";
    SetupScenario run("japanesetemp", "作業");
    const std::string temp = run.ScratchFolder() + "一時\\";
    ASSERT_TRUE(CreateDirectoryW(Widen(temp).c_str(), nullptr));
    run.SetEnvironment("TMP", temp);
    run.SetEnvironment("TEMP", temp);
    const std::string logPath = run.ScratchFolder() + "setup.log";
    ASSERT_TRUE(run.Start(Quote("/Log=" + logPath)));
    ASSERT_TRUE(run.AnswerFolderDialog(IDCANCEL));
    run.Answer(IDS_SETUP_ABORTED, IDOK);
    EXPECT_EQ(kExitOk, run.Finish());
    std::vector<std::string> log = ReadSetupLog(logPath);
    const std::vector<std::string> commandLine = LinesWith(log, "Command line: ");
    ASSERT_EQ(1u, commandLine.size());
    EXPECT_NE(std::string::npos, commandLine[0].find(run.MediumFolder())) << "the medium folder as the user reads it";
    EXPECT_EQ(1u, LinesWith(log, "Work folder created: " + SystemTempFolder() + "exp").size());
    EXPECT_EQ(1u, LinesWith(log, "Work folder removed: " + SystemTempFolder() + "exp").size());
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

// One byte of the main package changed in the program file, where the
// package format itself would not notice (the last byte of its last entry):
// the written package fails its recorded digest, so nothing of it runs.
TEST(Sequence, ProgramWithAChangedPayloadGivesMessage111AndRunsNothing)
{
    SetupScenario run("damagedpayload");
    run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
    ASSERT_TRUE(run.DamagePayload(IDR_PAYLOAD_MAIN));
    // Under the setup manager a failed run reads as abandoned, not installed.
    const std::string logPath = run.ScratchFolder() + "damaged.log";
    ASSERT_TRUE(run.Start("/RunningAsSetupMgr " + Quote("/Log=" + logPath)));
    ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
    run.Answer(IDS_SETUP_FAILED, IDOK);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_TRUE(run.JournalNames().empty());
    EXPECT_TRUE(run.LeftWorkFolders().empty());
    EXPECT_EQ("1", ReadMachineValue(kSetupMgrKey, "Abort"));
    // The log names the payload and both digests, and they differ.
    std::vector<std::string> mismatch = LinesWith(ReadSetupLog(logPath), "does not match its recorded digest");
    ASSERT_EQ(1u, mismatch.size());
    const std::string& line = mismatch.front();
    EXPECT_NE(std::string::npos, line.find("Payload " + std::to_string(IDR_PAYLOAD_MAIN) + " written to ")) << line;
    const std::size_t expected = line.find("expected "), actual = line.find(", actual ");
    ASSERT_NE(std::string::npos, expected) << line;
    ASSERT_NE(std::string::npos, actual) << line;
    const std::string expectedDigest = line.substr(expected + 9, 64), actualDigest = line.substr(actual + 9, 64);
    EXPECT_EQ(64u, actualDigest.size()) << line;
    EXPECT_EQ(std::string::npos, (expectedDigest + actualDigest).find_first_not_of("0123456789abcdef")) << line;
    EXPECT_NE(expectedDigest, actualDigest);
}
