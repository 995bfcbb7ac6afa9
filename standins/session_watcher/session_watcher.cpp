// Stand-in for a program that runs while the setup asks Windows to restart:
// a top-level window that records the end-session requests it receives and
// refuses them, so that the session goes on.
//
//   SessionWatcher.exe RECORD_FILE [--lifetime MS]
//
// Writes "ready" to RECORD_FILE once its window exists, then one line per
// request: "query <lParam in hex>" for WM_QUERYENDSESSION (lParam 0 is a
// restart or shutdown, ENDSESSION_LOGOFF a log-off) and "end <wParam>" for
// WM_ENDSESSION. Ends after the first query, or after MS milliseconds
// (default 120000) so a test that goes wrong never leaves it behind.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
const char* g_pRecordFile = nullptr;
const UINT_PTR kLifetimeTimer = 1;

void Record(const char* line)
{
    if (FILE* file = std::fopen(g_pRecordFile, "ab")) {
        std::fprintf(file, "%s\n", line);
        std::fclose(file);
    }
}

LRESULT CALLBACK WatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    char line[64];
    switch (message) {
    case WM_QUERYENDSESSION:
        std::snprintf(line, sizeof(line), "query %lx", static_cast<unsigned long>(lParam));
        Record(line);
        PostQuitMessage(0);
        return FALSE;
    case WM_ENDSESSION:
        std::snprintf(line, sizeof(line), "end %u", static_cast<unsigned>(wParam));
        Record(line);
        return 0;
    case WM_TIMER: PostQuitMessage(1); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc < 2)
        return 2;
    g_pRecordFile = __argv[1];
    DWORD lifetimeMs = 120000;
    if (__argc >= 4 && std::strcmp(__argv[2], "--lifetime") == 0)
        lifetimeMs = static_cast<DWORD>(std::strtoul(__argv[3], nullptr, 10));

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WatcherProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "BCSetupSessionWatcher";
    if (!RegisterClassA(&windowClass))
        return 2;
    HWND window = CreateWindowA(windowClass.lpszClassName, "Session watcher", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, instance, nullptr);
    if (!window)
        return 2;
    SetTimer(window, kLifetimeTimer, lifetimeMs, nullptr);
    Record("ready");

    MSG message;
    int result;
    while ((result = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyWindow(window);
    return result < 0 ? 2 : static_cast<int>(message.wParam);
}
