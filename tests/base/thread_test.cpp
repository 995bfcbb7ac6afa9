// The plain command thread, the lock, and the fixed order of the virtual
// operations that subclasses override.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "base/lock.h"
#include "base/queue_thread.h"
#include "base/thread.h"
#include "thread_test_support.h"

using namespace thread_testing;

namespace {
constexpr int kHoldCommand = 77;

// Answers command n with 10 n; holds its worker at the gate on kHoldCommand.
class RecordingThread : public CThread {
public:
    RecordingThread() : CThread("Commands"), m_hHeld(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
    ~RecordingThread()
    {
        Stop(true);
        CloseHandle(m_hHeld);
    }
    HRESULT OnCommand(int code) override
    {
        log.Add("command " + std::to_string(code));
        if (code == kHoldCommand) {
            SetEvent(m_hHeld);
            gate.Pass(INFINITE);
        }
        return code * 10;
    }
    void OnClose() override { log.Add("close"); }
    bool WaitUntilHeld() { return WaitForSingleObject(m_hHeld, 30000) == WAIT_OBJECT_0; }

    EventLog log;
    Gate gate;

private:
    HANDLE m_hHeld;
};
} // namespace

TEST(CommandThread, SendCommandAnswersWithOnCommandResult)
{
    RecordingThread thread;
    ASSERT_EQ(S_OK, thread.Start(true));
    for (int code = 1; code < kHoldCommand; ++code)
        ASSERT_EQ(code * 10, thread.SendCommand(code, INFINITE));
    EXPECT_EQ(THREAD_CMD_CLOSE * 10, thread.SendCommand(THREAD_CMD_CLOSE, INFINITE));
    EXPECT_TRUE(WaitForEntry(thread.log, "close"));
    EXPECT_EQ(S_OK, thread.Stop(true));
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ("command -1", thread.log.Entries().back());
}

TEST(CommandThread, PostCommandRefusesWhileOneIsPending)
{
    RecordingThread thread;
    ASSERT_EQ(S_OK, thread.Start(true));
    ASSERT_EQ(S_OK, thread.PostCommand(kHoldCommand));
    ASSERT_TRUE(thread.WaitUntilHeld());
    EXPECT_EQ(S_OK, thread.PostCommand(2));
    EXPECT_EQ(E_FAIL, thread.PostCommand(3));
    thread.gate.Open();
    EXPECT_TRUE(WaitForEntry(thread.log, "command 2"));
    thread.Stop(true);
    std::vector<std::string> entries = thread.log.Entries();
    EXPECT_EQ((std::vector<std::string>{"command 77", "command 2", "command -1"}), entries);
}

TEST(CommandThread, SendCommandTimesOutAndFailsWithoutWorker)
{
    RecordingThread thread;
    EXPECT_EQ(E_FAIL, thread.SendCommand(1, INFINITE));
    ASSERT_EQ(S_OK, thread.Start(true));
    EXPECT_EQ(VFW_E_TIMEOUT, thread.SendCommand(kHoldCommand, 50));
    EXPECT_EQ(VFW_E_TIMEOUT, thread.GetResult());
    thread.gate.Open();
    EXPECT_EQ(S_OK, thread.Stop(true));
    // The waiting stop closed the events: nothing to hand a command over with.
    EXPECT_EQ(E_FAIL, thread.PostCommand(1));
    EXPECT_EQ(E_FAIL, thread.SendCommand(1, INFINITE));
    ASSERT_EQ(S_OK, thread.Start(true));
    EXPECT_EQ(50, thread.SendCommand(5, INFINITE));
}

TEST(Lock, IsRecursiveAndHoldsOtherThreadsOut)
{
    CLock lock;
    Gate entered;
    lock.Lock();
    {
        CLockGuard again(lock); // the holder may take it again
    }
    HANDLE other = StartThread([&] {
        CLockGuard guard(lock);
        entered.Open();
    });
    ASSERT_NE(nullptr, other);
    EXPECT_FALSE(entered.Pass(50));
    lock.Unlock();
    EXPECT_TRUE(entered.Pass());
    EXPECT_TRUE(JoinThread(other));
}

TEST(Lock, RenewFreesLockLeftHeldByTerminatedThread)
{
    CLock lock;
    Gate held;
    HANDLE holder = StartThread([&] {
        lock.Lock();
        held.Open();
        Sleep(INFINITE);
    });
    ASSERT_TRUE(held.Pass());
    TerminateThread(holder, 1);
    WaitForSingleObject(holder, INFINITE);
    CloseHandle(holder);
    lock.Renew();
    Gate entered;
    HANDLE other = StartThread([&] {
        CLockGuard guard(lock); // blocks for ever without Renew
        entered.Open();
    });
    EXPECT_TRUE(entered.Pass());
    EXPECT_TRUE(JoinThread(other));
}

#if defined(__GNUC__) && !defined(_MSC_VER)
namespace {
// The vtable slot of a virtual member function: the Itanium C++ ABI that GCC
// uses stores a pointer to one as 1 + its byte offset in the table.
template <typename Member> int Slot(Member member)
{
    struct {
        std::uintptr_t pointer;
        std::ptrdiff_t adjustment;
    } representation;
    static_assert(sizeof(member) == sizeof(representation), "Itanium member pointer");
    std::memcpy(&representation, &member, sizeof(representation));
    if ((representation.pointer & 1) == 0)
        return -1; // not virtual
    return static_cast<int>((representation.pointer - 1) / sizeof(void*));
}
} // namespace

TEST(ThreadClasses, KeepTheirVirtualOperationsInFixedSlots)
{
    EXPECT_EQ(0, Slot(&CThread::ThreadMain));
    EXPECT_EQ(1, Slot(&CThread::OnThreadInit));
    EXPECT_EQ(2, Slot(&CThread::OnCommand));
    EXPECT_EQ(3, Slot(&CThread::OnClose));
    EXPECT_EQ(4, Slot(&CThread::OnThreadExit));
    EXPECT_EQ(5, Slot(&CThread::GetResult));
    EXPECT_EQ(6, Slot(&CThread::Start));
    EXPECT_EQ(7, Slot(&CThread::Stop));
    EXPECT_EQ(8, Slot(&CThread::PostCommand));
    EXPECT_EQ(9, Slot(&CThread::SendCommand));

    EXPECT_EQ(7, Slot(static_cast<HRESULT (CQueueThread::*)(bool)>(&CQueueThread::Stop)));
    EXPECT_EQ(10, Slot(&CQueueThread::SetWaitTimeout));
    EXPECT_EQ(11, Slot(&CQueueThread::AddWaitHandle));
    EXPECT_EQ(12, Slot(&CQueueThread::PostItem));
    EXPECT_EQ(13, Slot(&CQueueThread::SendItem));
    EXPECT_EQ(14, Slot(&CQueueThread::OnWaitResult));
    EXPECT_EQ(15, Slot(&CQueueThread::OnItem));
    EXPECT_EQ(16, Slot(&CQueueThread::OnHandleSignalled));
    EXPECT_EQ(17, Slot(&CQueueThread::OnWaitTimeout));
    EXPECT_EQ(18, Slot(&CQueueThread::OnAfterWait));
    EXPECT_EQ(19, Slot(&CQueueThread::PumpMessages));

    EXPECT_EQ(0, Slot(&CLock::Lock));
    EXPECT_EQ(1, Slot(&CLock::Unlock));
}
#endif
