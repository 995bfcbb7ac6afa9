// The wait window and its thread: how it looks, that nothing from outside
// closes it, that it refuses and records every request to end the session
// (also while hidden), and that it is made and destroyed on its own thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "base/module_instance.h"
#include "tests/support/message_texts.h"
#include "tests/support/test_paths.h"
#include "tests/support/ui_driver.h"
#include "ui/wait_dialog.h"
#include "ui/wait_dialog_thread.h"

using namespace testing_support;

namespace {
const UINT kSendLimitMs = 10000;

std::string WaitText()
{
    return IsJapaneseUi() ? "セットアップを行っています。\n\nしばらくお待ちください..."
                          : "Installing now...\n\nPelease wait a while...";
}

// Sends a message to a window of another thread and gives its result; the
// time limit only matters when the window's thread does not pump.
LRESULT SendAcross(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* answered = nullptr)
{
    DWORD_PTR result = 0xBAD;
    bool ok = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendLimitMs, &result) != 0;
    if (answered)
        *answered = ok;
    return static_cast<LRESULT>(result);
}

// Sends the commands a user or another program could send to close a window.
void SendClosingCommands(HWND window, bool across)
{
    const WPARAM commands[] = {MAKEWPARAM(IDOK, 0), MAKEWPARAM(IDCANCEL, 0), MAKEWPARAM(IDCANCEL, 1),
                               MAKEWPARAM(IDOK, 1)};
    for (WPARAM command : commands) {
        if (across)
            SendAcross(window, WM_COMMAND, command, 0);
        else
            SendMessageW(window, WM_COMMAND, command, 0);
    }
}

// Records on which thread the wait window receives WM_DESTROY.
std::atomic<DWORD> g_destroyThread(0);
WNDPROC g_originalProc = nullptr;

LRESULT CALLBACK RecordDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        g_destroyThread = GetCurrentThreadId();
    return CallWindowProcW(g_originalProc, window, message, wParam, lParam);
}

void WatchDestroy(HWND window)
{
    g_destroyThread = 0;
    g_originalProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordDestroy)));
}

bool HasThreadEnded(DWORD threadId)
{
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
    if (!thread)
        return true;
    bool ended = WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended;
}

class WaitDialog : public ::testing::Test {
protected:
    void SetUp() override { g_hInstance = GetModuleHandleW(nullptr); }
};
} // namespace

TEST_F(WaitDialog, HiddenAtCreationWithoutCloseBoxAndWithItsTexts)
{
    CWaitDialog dialog;
    HWND window = dialog.Create(nullptr, 0);
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(IsWindowVisible(window));
    LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(0, style & WS_SYSMENU) << "no system menu, so no close box";
    EXPECT_NE(0, style & WS_CAPTION);
    EXPECT_NE(0, GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(SetupCaption(), WindowText(window));
    ShowWindow(window, SW_SHOW);
    std::vector<std::string> texts = ChildTexts(window);
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(WaitText(), texts[0]);
    dialog.Close(0);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(WaitDialog, CommandsFromOutsideLeaveItOpen)
{
    CWaitDialog dialog;
    HWND window = dialog.Create(nullptr, 0);
    ASSERT_NE(nullptr, window);
    ShowWindow(window, SW_SHOW);
    SendClosingCommands(window, false);
    PostMessageW(window, WM_CLOSE, 0, 0);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(window, dialog.GetHandle());
    EXPECT_FALSE(dialog.WasShutdownAsked());
}

TEST_F(WaitDialog, RefusesAndRecordsTheEndOfTheSession)
{
    CWaitDialog dialog;
    HWND window = dialog.Create(nullptr, 0);
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(dialog.WasShutdownAsked());
    EXPECT_EQ(FALSE, SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)) << "hidden";
    EXPECT_TRUE(dialog.WasShutdownAsked());
    ShowWindow(window, SW_SHOW);
    EXPECT_EQ(FALSE, SendMessageW(window, WM_QUERYENDSESSION, 0, 0)) << "shown";
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(WaitDialog, ThreadMakesTheHiddenWindowShowsItOnRequestAndStopEndsBoth)
{
    CWaitDialogThread thread;
    EXPECT_STREQ("Waitdlg", thread.GetName());
    EXPECT_EQ(nullptr, thread.GetWindow());
    ASSERT_EQ(S_OK, thread.Start(true));
    HWND window = thread.GetWindow();
    ASSERT_NE(nullptr, window) << "the window exists when Start returns";
    DWORD worker = GetWindowThreadProcessId(window, nullptr);
    EXPECT_EQ(thread.GetThreadId(), worker);
    EXPECT_NE(GetCurrentThreadId(), worker);
    EXPECT_FALSE(IsWindowVisible(window));

    ShowWindow(window, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(window));
    HWND found = WaitForWindow(nullptr, GetCurrentProcessId(), SetupCaption(), 5000);
    EXPECT_EQ(window, found);

    SendClosingCommands(window, true);
    EXPECT_TRUE(IsWindowVisible(window)) << "a command closed the wait window";

    // Hidden, as while the product's installer runs, and asked again.
    ShowWindow(window, SW_HIDE);
    bool answered = false;
    EXPECT_EQ(FALSE, SendAcross(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, &answered));
    EXPECT_TRUE(answered) << "the worker does not pump messages";
    ShowWindow(window, SW_SHOW);
    EXPECT_EQ(FALSE, SendAcross(window, WM_QUERYENDSESSION, 0, 0));

    WatchDestroy(window);
    thread.Stop(true, false, false);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(worker, g_destroyThread.load()) << "destroyed on its own thread";
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_TRUE(HasThreadEnded(worker));
    EXPECT_EQ(nullptr, thread.GetWindow());
    EXPECT_TRUE(thread.WasShutdownAsked());
}

TEST_F(WaitDialog, NoRequestLeavesTheFlagClear)
{
    CWaitDialogThread thread;
    ASSERT_EQ(S_OK, thread.Start(true));
    ASSERT_NE(nullptr, thread.GetWindow());
    thread.Stop(true, false, false);
    EXPECT_FALSE(thread.WasShutdownAsked());
    // And it can run again.
    ASSERT_EQ(S_OK, thread.Start(true));
    EXPECT_NE(nullptr, thread.GetWindow());
    thread.Stop(true, false, false);
    EXPECT_EQ(nullptr, thread.GetWindow());
}

TEST_F(WaitDialog, DestroyingTheThreadObjectWithoutStopClosesTheWindowOnItsThread)
{
    auto thread = std::make_unique<CWaitDialogThread>();
    ASSERT_EQ(S_OK, thread->Start(true));
    HWND window = thread->GetWindow();
    ASSERT_NE(nullptr, window);
    ShowWindow(window, SW_SHOW);
    DWORD worker = GetWindowThreadProcessId(window, nullptr);
    WatchDestroy(window);
    thread.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(worker, g_destroyThread.load());
    EXPECT_TRUE(HasThreadEnded(worker));
}

TEST_F(WaitDialog, QuitMessageToTheWorkerStillDestroysTheWindowOnItsThread)
{
    CWaitDialogThread thread;
    ASSERT_EQ(S_OK, thread.Start(true));
    HWND window = thread.GetWindow();
    ASSERT_NE(nullptr, window);
    DWORD worker = thread.GetThreadId();
    WatchDestroy(window);
    PostThreadMessageW(worker, WM_QUIT, 0, 0);
    EXPECT_TRUE(HasThreadEnded(worker));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(worker, g_destroyThread.load());
    EXPECT_EQ(nullptr, thread.GetWindow()) << "no stale handle is left for the main thread";
    thread.Stop(true, false, false);
}
