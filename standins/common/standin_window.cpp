#include "standins/common/standin_window.h"

namespace standin {

namespace {
const wchar_t kClassName[] = L"BCSetupStandInWindow";
const UINT_PTR kAutoTimer = 1;
const int kWidth = 420;
const int kHeight = 170;

struct WindowState {
    const WindowRequest* request;
    int choice;
};

void Finish(HWND window, int choice)
{
    WindowState* state = reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (state && state->choice == 0)
        state->choice = choice;
    DestroyWindow(window);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: {
        CREATESTRUCTW* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            Finish(window, LOWORD(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == kAutoTimer) {
            KillTimer(window, kAutoTimer);
            WindowState* state = reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
            Finish(window, state->request->autoChoice);
        }
        return 0;
    case WM_CLOSE: Finish(window, IDCANCEL); return 0;
    case WM_QUERYENDSESSION: return OtherProgramsAgreeToEndTheSession(lParam) ? TRUE : FALSE;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND AddControl(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style, int x, int y, int width,
                int height, int id)
{
    HWND control =
        CreateWindowExW(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return control;
}
} // namespace

int RunWindow(const WindowRequest& request)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterWindowClass(instance))
        return 0;
    WindowState state = {&request, 0};
    int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    HWND window = CreateWindowExW(0, kClassName, request.title.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, x, y,
                                  kWidth, kHeight, nullptr, nullptr, instance, &state);
    if (!window)
        return 0;
    AddControl(window, L"STATIC", request.text, SS_LEFT, 16, 14, kWidth - 40, 70, -1);
    // Right-aligned, OK before Cancel in position and tab order.
    int cancelX = kWidth - 24 - 100;
    int okX = request.cancelText.empty() ? cancelX : cancelX - 100;
    if (!request.okText.empty())
        AddControl(window, L"BUTTON", request.okText, BS_DEFPUSHBUTTON | WS_TABSTOP, okX, 96, 90, 26, IDOK);
    if (!request.cancelText.empty())
        AddControl(window, L"BUTTON", request.cancelText, BS_PUSHBUTTON | WS_TABSTOP, cancelX, 96, 90, 26, IDCANCEL);
    ShowWindow(window, request.activate ? SW_SHOW : SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    if (request.autoChoice != 0)
        SetTimer(window, kAutoTimer, request.autoDelayMs, nullptr);
    if (request.onShown)
        request.onShown(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return state.choice;
}

} // namespace standin
