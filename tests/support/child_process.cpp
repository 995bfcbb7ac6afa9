#include "tests/support/child_process.h"
#include "tests/support/wait_until.h"

#include <map>

namespace testing_support {

std::wstring Widen(const std::string& utf8)
{
    if (utf8.empty())
        return std::wstring();
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    return wide;
}

std::string Narrow(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], length, nullptr, nullptr);
    return utf8;
}

std::string Quote(const std::string& argument)
{
    if (argument.find(' ') == std::string::npos && !argument.empty())
        return argument;
    return "\"" + argument + "\"";
}

namespace {
// The test's environment with the overrides applied, as a Unicode block.
std::wstring BuildEnvironment(const std::vector<std::pair<std::string, std::string>>& overrides)
{
    std::map<std::wstring, std::wstring, bool (*)(const std::wstring&, const std::wstring&)> variables(
        [](const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) < 0; });
    std::vector<std::wstring> hidden; // "=C:" style entries keep their place
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* p = block; p && *p; p += wcslen(p) + 1) {
        std::wstring entry(p);
        size_t eq = entry.find(L'=', 1);
        if (eq == std::wstring::npos)
            continue;
        if (entry[0] == L'=')
            hidden.push_back(entry);
        else
            variables[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    if (block)
        FreeEnvironmentStringsW(block);
    for (const auto& item : overrides) {
        if (item.second.empty())
            variables.erase(Widen(item.first));
        else
            variables[Widen(item.first)] = Widen(item.second);
    }
    std::wstring result;
    for (const auto& entry : hidden)
        result += entry + L'\0';
    for (const auto& item : variables)
        result += item.first + L'=' + item.second + L'\0';
    result += L'\0';
    return result;
}
} // namespace

ChildProcess::~ChildProcess()
{
    Terminate();
}

bool ChildProcess::Start(const std::string& program, const std::string& commandLine, const LaunchOptions& options)
{
    Terminate();
    std::wstring environment = BuildEnvironment(options.environment);
    std::wstring line = Widen(commandLine);
    std::wstring folder = Widen(options.currentFolder);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(Widen(program).c_str(), line.empty() ? nullptr : &line[0], nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, &environment[0], folder.empty() ? nullptr : folder.c_str(),
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    m_hProcess = info.hProcess;
    m_dwProcessId = info.dwProcessId;
    return true;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (!m_hProcess)
        return false;
    if (WaitForSingleObject(m_hProcess, Scaled(timeoutMs)) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(m_hProcess, exitCode);
    return true;
}

bool ChildProcess::IsRunning() const
{
    return m_hProcess && WaitForSingleObject(m_hProcess, 0) == WAIT_TIMEOUT;
}

void ChildProcess::Terminate()
{
    if (!m_hProcess)
        return;
    if (IsRunning()) {
        TerminateProcess(m_hProcess, 0xDEAD);
        WaitForSingleObject(m_hProcess, 5000);
    }
    CloseHandle(m_hProcess);
    m_hProcess = nullptr;
    m_dwProcessId = 0;
}

} // namespace testing_support
