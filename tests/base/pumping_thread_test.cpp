// A worker that pumps messages: it owns a window, answers it while the owner
// blocks, and ends when it takes a quit message.
#include <gtest/gtest.h>

#include "recording_queue_thread.h"
#include "tests/support/wait_until.h"

using namespace thread_testing;

namespace {
constexpr UINT kPing = WM_APP + 1;     // answered with 42
constexpr UINT kHoldPing = WM_APP + 2; // holds the worker inside the message pump
constexpr LRESULT kPong = 42;

// A pumping queue thread whose window lives from OnThreadInit to OnClose.
class WindowThread : public RecordingQueueThread {
public:
    WindowThread() { m_bPumpMessages = true; }
    ~WindowThread() { Stop(true, false, false); }

    HRESULT OnThreadInit() override
    {
        RecordingQueueThread::OnThreadInit();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "BCSetupPumpingTestWindow";
        RegisterClassA(&windowClass); // already there after the first start
        window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 windowClass.hInstance, this);
        return window ? S_OK : HRESULT_FROM_WIN32(GetLastError());
    }
    void OnClose() override
    {
        RecordingQueueThread::OnClose();
        DestroyWindow(window);
    }

    HWND window = nullptr;
    Gate gate;
    Gate held;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<WindowThread*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == kPing)
            return kPong;
        if (message == kHoldPing && self) {
            self->held.Open();
            self->gate.Pass(INFINITE);
            return kPong;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
};
} // namespace

TEST(PumpingThread, AnswersItsWindowWhileTheOwnerBlocks)
{
    WindowThread thread;
    ASSERT_EQ(S_OK, thread.Start(true));
    ASSERT_TRUE(IsWindow(thread.window));
    EXPECT_EQ(thread.GetThreadId(), GetWindowThreadProcessId(thread.window, nullptr));

    // Calls from the owner itself, as the setup shows and hides its window.
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(kPong, SendMessageA(thread.window, kPing, 0, 0));
    // Showing and hiding it cross-thread, again and again, must not leave
    // the worker asleep in its message pump, deaf to items.
    for (int i = 0; i < 50; ++i) {
        ShowWindow(thread.window, SW_SHOWNA);
        ShowWindow(thread.window, SW_HIDE);
        ThreadItem item = MakeItem(4, 0, i);
        ASSERT_EQ(static_cast<HRESULT>(i), thread.SendItem(&item, 30000)) << "round " << i;
    }

    // Calls from elsewhere while the owner blocks without pumping.
    volatile LONG answered = 0;
    HANDLE caller = StartThread([&] {
        for (int i = 0; i < 200; ++i) {
            DWORD_PTR reply = 0;
            if (SendMessageTimeoutA(thread.window, kPing, 0, 0, SMTO_BLOCK, 10000, &reply) && reply == kPong)
                InterlockedIncrement(&answered);
        }
    });
    ASSERT_TRUE(JoinThread(caller));
    EXPECT_EQ(200, answered);

    // Items still reach a pumping worker.
    ThreadItem item = MakeItem(3, 0, 0x33);
    EXPECT_EQ(static_cast<HRESULT>(0x33), thread.SendItem(&item, INFINITE));

    HWND window = thread.window;
    EXPECT_FALSE(thread.Stop(true, false, false));
    EXPECT_FALSE(IsWindow(window));
}

TEST(PumpingThread, QuitMessageEndsWorkerWithoutHandlingQueuedItems)
{
    WindowThread thread;
    ASSERT_EQ(S_OK, thread.Start(true));
    ASSERT_TRUE(PostMessageA(thread.window, kHoldPing, 0, 0));
    ASSERT_TRUE(thread.held.Pass());
    // The worker is inside the message pump, not in a batch: these wait.
    ThreadItem first = MakeItem(1);
    ThreadItem second = MakeItem(2);
    ASSERT_EQ(S_OK, thread.PostItem(&first));
    ASSERT_EQ(S_OK, thread.PostItem(&second));
    ASSERT_TRUE(PostThreadMessageA(thread.GetThreadId(), WM_QUIT, 0, 0));
    thread.gate.Open();

    testing_support::WaitUntil([&] { return !thread.IsRunning(); });
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_FALSE(thread.Stop(true, false, false));
    EXPECT_EQ((std::vector<std::string>{"init", "exit"}), thread.log.Entries());
}
