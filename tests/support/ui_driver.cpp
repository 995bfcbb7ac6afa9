#include "tests/support/ui_driver.h"

#include "tests/support/child_process.h"

namespace testing_support {

namespace {
// Each look at the windows sends messages across processes: not too often.
const DWORD kPollMs = 50;

struct EnumState {
    DWORD processId;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    EnumState* state = reinterpret_cast<EnumState*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == state->processId && IsWindowVisible(window))
        state->windows->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectButton(HWND child, LPARAM param)
{
    wchar_t className[32];
    GetClassNameW(child, className, 32);
    LONG style = GetWindowLongW(child, GWL_STYLE);
    LONG kind = style & BS_TYPEMASK;
    bool push = kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON;
    if (_wcsicmp(className, L"Button") == 0 && push && IsWindowVisible(child)) {
        std::string text = WindowText(child);
        std::string clean;
        for (char c : text) {
            if (c != '&')
                clean += c;
        }
        reinterpret_cast<std::vector<std::string>*>(param)->push_back(clean);
    }
    return TRUE;
}
BOOL CALLBACK FindIcon(HWND child, LPARAM param)
{
    wchar_t className[32];
    GetClassNameW(child, className, 32);
    LONG style = GetWindowLongW(child, GWL_STYLE);
    if (_wcsicmp(className, L"Static") != 0 || (style & SS_TYPEMASK) != SS_ICON || !IsWindowVisible(child))
        return TRUE;
    // A message box without icon may keep an empty icon control.
    DWORD_PTR icon = 0;
    SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon);
    if (icon == 0)
        return TRUE;
    *reinterpret_cast<bool*>(param) = true;
    return FALSE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM param)
{
    if (IsWindowVisible(child))
        reinterpret_cast<std::vector<std::string>*>(param)->push_back(WindowText(child));
    return TRUE;
}
} // namespace

std::vector<HWND> TopLevelWindows(DWORD processId)
{
    std::vector<HWND> windows;
    EnumState state = {processId, &windows};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return windows;
}

namespace {
HWND WaitForMatchingWindow(HANDLE process, DWORD processId, const std::string& caption, bool messageBoxOnly,
                           DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(processId)) {
                if (messageBoxOnly && !GetDlgItem(window, 0xFFFF))
                    continue;
                if (caption.empty() || WindowText(window) == caption) {
                    found = window;
                    return true;
                }
            }
            return process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        },
        timeoutMs, kPollMs);
    return found;
}
} // namespace

HWND WaitForWindow(HANDLE process, DWORD processId, const std::string& caption, DWORD timeoutMs)
{
    return WaitForMatchingWindow(process, processId, caption, false, timeoutMs);
}

HWND WaitForMessageBox(HANDLE process, DWORD processId, const std::string& caption, DWORD timeoutMs)
{
    return WaitForMatchingWindow(process, processId, caption, true, timeoutMs);
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs)
{
    return WaitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs, kPollMs);
}

std::string WindowText(HWND window)
{
    wchar_t text[2048] = L"";
    // WM_GETTEXT works across processes, unlike GetWindowText on controls.
    SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return Narrow(text);
}

std::string MessageBoxText(HWND messageBox)
{
    HWND label = GetDlgItem(messageBox, 0xFFFF);
    return label ? WindowText(label) : std::string();
}

std::vector<std::string> ButtonTexts(HWND dialog)
{
    std::vector<std::string> texts;
    EnumChildWindows(dialog, CollectButton, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool PressButton(HWND dialog, int controlId)
{
    HWND button = GetDlgItem(dialog, controlId);
    if (!button)
        return false;
    // Posted, so that a dialog that opens another one in response can't block the test.
    return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), reinterpret_cast<LPARAM>(button)) != 0;
}

bool SetControlText(HWND dialog, int controlId, const std::string& text)
{
    HWND control = GetDlgItem(dialog, controlId);
    if (!control)
        return false;
    std::wstring wide = Widen(text);
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_ABORTIFHUNG, 5000,
                               &result) != 0 &&
           result == TRUE;
}

std::string ControlText(HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    return control ? WindowText(control) : std::string();
}

bool ShowsIcon(HWND messageBox)
{
    bool found = false;
    EnumChildWindows(messageBox, FindIcon, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND WaitForOwnedWindow(DWORD processId, HWND owner, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(processId)) {
                if (GetWindow(window, GW_OWNER) == owner) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs, kPollMs);
    return found;
}

std::vector<std::string> ChildTexts(HWND window)
{
    std::vector<std::string> texts;
    EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

} // namespace testing_support
