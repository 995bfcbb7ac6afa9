#include "standins/common/standin_script.h"

#include <cwchar>
#include <cwctype>

namespace standin {

std::wstring EnvironmentText(const std::wstring& name)
{
    DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (size == 0)
        return std::wstring();
    std::wstring value(size, L'\0');
    DWORD length = GetEnvironmentVariableW(name.c_str(), &value[0], size);
    value.resize(length < size ? length : 0);
    return value;
}

namespace {
std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

bool ReadNumber(const std::wstring& text, long* value)
{
    if (text.empty())
        return false;
    wchar_t* end = nullptr;
    long number = std::wcstol(text.c_str(), &end, 10);
    if (!end || *end != L'\0')
        return false;
    *value = number;
    return true;
}
} // namespace

Script ReadScript(const std::wstring& prefix)
{
    Script script;
    long number = 0;
    if (ReadNumber(EnvironmentText(prefix + L"EXIT_CODE"), &number)) {
        script.hasExitCode = true;
        script.exitCode = static_cast<int>(number);
    }
    if (ReadNumber(EnvironmentText(prefix + L"DELAY_MS"), &number) && number > 0)
        script.delayMs = static_cast<DWORD>(number);
    script.registry = EnvironmentText(prefix + L"REGISTRY");
    std::wstring window = Lower(EnvironmentText(prefix + L"WINDOW"));
    if (window == L"show")
        script.window = WindowMode::Show;
    else if (window == L"noactivate")
        script.window = WindowMode::NoActivate;
    else if (window == L"none")
        script.window = WindowMode::None;
    script.title = EnvironmentText(prefix + L"TITLE");
    script.endSession = EnvironmentText(prefix + L"END_SESSION") == L"1";
    return script;
}

namespace {
struct SessionQuery {
    DWORD self;
    DWORD desktop;
    LPARAM reason;
    bool refused;
};

BOOL CALLBACK AskOneWindow(HWND window, LPARAM data)
{
    SessionQuery* query = reinterpret_cast<SessionQuery*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == query->self || process == query->desktop)
        return TRUE;
    DWORD_PTR agreed = TRUE;
    if (SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, query->reason, SMTO_ABORTIFHUNG, 5000, &agreed) && !agreed) {
        query->refused = true;
        return FALSE;
    }
    return TRUE;
}
} // namespace

bool OtherProgramsAgreeToEndTheSession(LPARAM reason)
{
    SessionQuery query = {GetCurrentProcessId(), 0, reason, false};
    GetWindowThreadProcessId(GetDesktopWindow(), &query.desktop);
    EnumWindows(AskOneWindow, reinterpret_cast<LPARAM>(&query));
    return !query.refused;
}

bool AskToEndSession()
{
    return ExitWindowsEx(EWX_LOGOFF, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED) != FALSE;
}

} // namespace standin
