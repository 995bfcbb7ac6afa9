#pragma once
// One run of the real BCSetup.exe from a medium folder in the test prefix,
// with scripted stand-ins: sets the registry and environment up, starts the
// setup, answers its screens through the UI driver and collects what
// happened (exit code, messages, the stand-ins' journal, registry values).
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/machine_registry.h"
#include "tests/support/standin_journal.h"

namespace testing_support {

// The logs the setup writes when "/Log" names no file ("BCSetup <date>
// <time> <number>.log" in the temporary folder), sorted by name; and their removal.
std::vector<std::string> DefaultSetupLogs();
void RemoveDefaultSetupLogs();
// The lines of a setup log, without the UTF-8 byte-order mark it must begin
// with (a test failure when it doesn't) and without the line ends; empty
// when there is no such file.
std::vector<std::string> ReadSetupLog(const std::string& path);
// The lines that contain text, in their order.
std::vector<std::string> LinesWith(const std::vector<std::string>& lines, const std::string& text);

class SetupScenario {
public:
    // name: a scratch folder of that name holds the medium (in the subfolder
    // mediumName) and the journal. The registry starts with the values an
    // earlier run may have left: "RequireReboot" = 1 and "CANCELED" = 1 in the
    // product key, "Abort" = 1 in the setup manager key.
    explicit SetupScenario(const std::string& name, const std::string& mediumName = "medium");
    ~SetupScenario();

    // Medium: Setup\BCSetup.exe always; Tools\DirectX9.0c\dxsetup.exe unless removed.
    void RemoveDirectXSetup();
    // Puts another build of the program (a path below bin\) on the medium as
    // Setup\BCSetup.exe. False, with a test failure, when it can't be copied.
    bool UseProgram(const std::string& binPath);
    std::string MediumFolder() const { return m_strMedium; }
    std::string ScratchFolder() const { return m_strFolder; }
    // Scripting of the stand-ins (BCSETUP_SETUP_ACTION, ...) and anything else.
    void SetEnvironment(const std::string& name, const std::string& value);

    bool Start(const std::string& switches = "");
    ChildProcess& Process() { return m_Process; }

    // Waits for the folder dialog; null on time-out.
    HWND WaitForFolderDialog(DWORD timeoutMs = 60000);
    // Waits for the folder dialog and presses button (IDOK accepts what it
    // proposes). False, with a test failure, when no dialog came.
    bool AnswerFolderDialog(int button);
    // Makes a folder named like a file the setup will write into its work
    // folder, so that writing that file fails. False, with a test failure,
    // when there is no work folder yet or the folder can't be made.
    bool BlockWorkFile(const char* name);
    // Changes the last byte of payload id (resource type RT_PAYLOAD) in the
    // medium's copy of the program, as a scratch or a tamperer would. False,
    // with a test failure, when the payload can't be found once in the file.
    bool DamagePayload(WORD id);
    // Waits for a message box, checks its text is message id (IDS_...) and
    // presses button. False when none came or its text was another.
    bool Answer(int id, int button, DWORD timeoutMs = 120000);
    // Waits for the end; the exit code, or 0xDEAD0000 on time-out.
    DWORD Finish(DWORD timeoutMs = 120000);

    std::vector<JournalEntry> Journal() const { return ReadJournal(m_strJournal); }
    std::vector<std::string> JournalNames() const;
    // Work folders ("exp*.tmp" folders) in the system's temporary folder that the run left.
    std::vector<std::string> LeftWorkFolders() const;
    // The work folder this run made (full path with a trailing backslash), or
    // empty when there is none (yet).
    std::string CurrentWorkFolder() const;
    // Whether a wait window was ever seen visible (polled while waiting).
    bool SawWaitWindow() const { return m_bSawWaitWindow; }

private:
    void Poll();

    std::string m_strFolder;
    std::string m_strMedium;
    std::string m_strJournal;
    LaunchOptions m_Options;
    ChildProcess m_Process;
    std::vector<std::string> m_WorkFoldersBefore;
    bool m_bSawWaitWindow = false;
};

} // namespace testing_support
