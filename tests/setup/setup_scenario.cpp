#include "tests/setup/setup_scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "resource_ids.h"
#include "tests/support/machine_registry.h"
#include "tests/support/message_texts.h"
#include "tests/support/test_paths.h"
#include "tests/support/ui_driver.h"
#include "tests/support/wait_until.h"

namespace testing_support {

namespace {
// The scenario looks for the setup's windows kPollMs at a time, with no
// pause between the looks, and notes the wait window in between.
const DWORD kPollMs = 50;
const DWORD kNoPause = 0;
const DWORD kTimedOut = 0xDEAD0000;

// The names in folder that match pattern, folders or files as asked, sorted.
std::vector<std::string> NamesIn(const std::string& folder, const char* pattern, bool folders)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Widen(folder + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folders)
            names.push_back(Narrow(data.cFileName));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> WorkFolders()
{
    // The setup runs elevated: its work folder goes to the system's temporary folder.
    return NamesIn(SystemTempFolder(), "exp*.tmp", true);
}

std::string ReadWholeFile(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteWholeFile(const std::wstring& path, const std::string& content)
{
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return static_cast<bool>(out.flush());
}

bool IsWaitWindow(HWND window)
{
    return !GetDlgItem(window, 0xFFFF) && WindowText(window) == SetupCaption();
}
} // namespace

std::vector<std::string> DefaultSetupLogs()
{
    std::vector<std::string> logs = NamesIn(TempFolder(), "BCSetup *.log", false);
    for (std::string& log : logs)
        log = TempFolder() + log;
    return logs;
}

void RemoveDefaultSetupLogs()
{
    for (const std::string& log : DefaultSetupLogs())
        DeleteFileW(Widen(log).c_str());
}

std::vector<std::string> ReadSetupLog(const std::string& path)
{
    std::string text = ReadWholeFile(Widen(path));
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    if (text.compare(0, 3, "\xEF\xBB\xBF") != 0)
        ADD_FAILURE() << path << " does not begin with the UTF-8 byte-order mark";
    else
        text.erase(0, 3);
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << path << ": last line without its line end";
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> LinesWith(const std::vector<std::string>& lines, const std::string& text)
{
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.find(text) != std::string::npos)
            found.push_back(line);
    }
    return found;
}

SetupScenario::SetupScenario(const std::string& name, const std::string& mediumName)
{
    m_strFolder = MakeScratchFolder("scenario-" + name);
    m_strMedium = m_strFolder + mediumName + "\\";
    m_strJournal = m_strFolder + "journal.txt";
    CreateDirectoryW(Widen(m_strMedium).c_str(), nullptr);
    CreateDirectoryW(Widen(m_strMedium + "Setup").c_str(), nullptr);
    CreateDirectoryW(Widen(m_strMedium + "Tools").c_str(), nullptr);
    CreateDirectoryW(Widen(m_strMedium + "Tools\\DirectX9.0c").c_str(), nullptr);
    CopyFileW(Widen(BinPath("BCSetup.exe")).c_str(), Widen(m_strMedium + "Setup\\BCSetup.exe").c_str(), FALSE);
    CopyFileW(Widen(BinPath("dxsetup.exe")).c_str(), Widen(m_strMedium + "Tools\\DirectX9.0c\\dxsetup.exe").c_str(),
              FALSE);
    DeleteMachineKey(kProductKey);
    DeleteMachineKey(kSetupMgrKey);
    // Left by an earlier run: the setup must clear them before they can
    // mislead this one (a restart, a cancellation, an abandoned run).
    WriteMachineDword(kProductKey, "RequireReboot", 1);
    WriteMachineDword(kProductKey, "CANCELED", 1);
    WriteMachineDword(kSetupMgrKey, "Abort", 1);
    m_Options.environment.push_back({"BCSETUP_STANDIN_JOURNAL", m_strJournal});
    m_WorkFoldersBefore = WorkFolders();
}

SetupScenario::~SetupScenario()
{
    m_Process.Terminate();
    // Installers a failed test left behind must not disturb the next test.
    for (const char* title : {"かんたん映像箱 インストーラ"}) {
        HWND window = FindWindowW(nullptr, Widen(title).c_str());
        if (window)
            PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

void SetupScenario::RemoveDirectXSetup()
{
    DeleteFileW(Widen(m_strMedium + "Tools\\DirectX9.0c\\dxsetup.exe").c_str());
}

void SetupScenario::SetEnvironment(const std::string& name, const std::string& value)
{
    m_Options.environment.push_back({name, value});
}

bool SetupScenario::Start(const std::string& switches)
{
    std::string program = m_strMedium + "Setup\\BCSetup.exe";
    std::string line = Quote(program) + (switches.empty() ? "" : " " + switches);
    return m_Process.Start(program, line, m_Options);
}

void SetupScenario::Poll()
{
    for (HWND window : TopLevelWindows(m_Process.Id())) {
        if (IsWaitWindow(window))
            m_bSawWaitWindow = true;
    }
}

HWND SetupScenario::WaitForFolderDialog(DWORD timeoutMs)
{
    std::string caption = FolderDialogCaption();
    HWND dialog = nullptr;
    WaitUntil(
        [&] {
            dialog = WaitForWindow(m_Process.Handle(), m_Process.Id(), caption, kPollMs);
            if (dialog || !m_Process.IsRunning())
                return true;
            Poll();
            return false;
        },
        timeoutMs, kNoPause);
    return dialog;
}

bool SetupScenario::AnswerFolderDialog(int button)
{
    HWND dialog = WaitForFolderDialog();
    if (!dialog) {
        ADD_FAILURE() << "no folder dialog";
        return false;
    }
    PressButton(dialog, button);
    return true;
}

bool SetupScenario::BlockWorkFile(const char* name)
{
    std::string workFolder = CurrentWorkFolder();
    if (workFolder.empty() || !CreateDirectoryW(Widen(workFolder + name).c_str(), nullptr)) {
        ADD_FAILURE() << "could not block " << name << " in the work folder '" << workFolder << "'";
        return false;
    }
    return true;
}

bool SetupScenario::UseProgram(const std::string& binPath)
{
    if (!CopyFileW(Widen(BinPath(binPath)).c_str(), Widen(m_strMedium + "Setup\\BCSetup.exe").c_str(), FALSE)) {
        ADD_FAILURE() << "could not put " << binPath << " on the medium";
        return false;
    }
    return true;
}

bool SetupScenario::DamagePayload(WORD id)
{
    std::wstring program = Widen(m_strMedium + "Setup\\BCSetup.exe");
    // The payload as the program stores it, found by the platform's loader...
    std::string stored;
    if (HMODULE image = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        if (HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(RT_PAYLOAD))) {
            const char* bytes = static_cast<const char*>(LockResource(LoadResource(image, found)));
            if (bytes)
                stored.assign(bytes, SizeofResource(image, found));
        }
        FreeLibrary(image);
    }
    // ...then in the file, where its last byte is changed.
    std::string file = ReadWholeFile(program);
    std::string::size_type at = stored.empty() ? std::string::npos : file.find(stored);
    if (at == std::string::npos || file.find(stored, at + 1) != std::string::npos) {
        ADD_FAILURE() << "payload " << id << " not found once in the program";
        return false;
    }
    file[at + stored.size() - 1] ^= 0x01;
    if (!WriteWholeFile(program, file)) {
        ADD_FAILURE() << "could not write the changed program";
        return false;
    }
    return true;
}

bool SetupScenario::Answer(int id, int button, DWORD timeoutMs)
{
    HWND box = nullptr;
    WaitUntil(
        [&] {
            if (!m_Process.IsRunning())
                return true;
            Poll();
            box = WaitForMessageBox(m_Process.Handle(), m_Process.Id(), SetupCaption(), kPollMs);
            return box != nullptr;
        },
        timeoutMs, kNoPause);
    if (!box) {
        ADD_FAILURE() << "message " << id << " never came";
        return false;
    }
    std::string text = MessageBoxText(box);
    EXPECT_EQ(MessageText(id), text) << "expected message " << id;
    PressButton(box, button);
    WaitForWindowGone(box, 10000);
    return text == MessageText(id);
}

DWORD SetupScenario::Finish(DWORD timeoutMs)
{
    WaitUntil(
        [&] {
            if (!m_Process.IsRunning())
                return true;
            Poll();
            HWND box = WaitForMessageBox(m_Process.Handle(), m_Process.Id(), SetupCaption(), kPollMs);
            if (box) {
                ADD_FAILURE() << "unexpected message: " << MessageBoxText(box);
                PressButton(box, GetDlgItem(box, IDNO) ? IDNO : IDOK);
            }
            return false;
        },
        timeoutMs, kNoPause);
    DWORD code = kTimedOut;
    if (!m_Process.WaitForExit(0, &code))
        ADD_FAILURE() << "the setup did not end";
    return code;
}

std::vector<std::string> SetupScenario::JournalNames() const
{
    std::vector<std::string> names;
    for (const JournalEntry& line : Journal())
        names.push_back(line.name);
    return names;
}

std::vector<std::string> SetupScenario::LeftWorkFolders() const
{
    std::vector<std::string> now = WorkFolders();
    std::vector<std::string> left;
    std::set_difference(now.begin(), now.end(), m_WorkFoldersBefore.begin(), m_WorkFoldersBefore.end(),
                        std::back_inserter(left));
    return left;
}

} // namespace testing_support

namespace testing_support {

std::string SetupScenario::CurrentWorkFolder() const
{
    std::vector<std::string> left = LeftWorkFolders();
    return left.empty() ? std::string() : SystemTempFolder() + left.front() + "\\";
}

} // namespace testing_support
