// The queue thread's life: start-up, the order of items and of CLOSE and
// QUIT, sending, restarting and destruction.
#include <gtest/gtest.h>

#include "recording_queue_thread.h"
#include "tests/support/wait_until.h"

using namespace thread_testing;

namespace {
std::vector<std::string> Strings(std::initializer_list<const char*> texts)
{
    return std::vector<std::string>(texts.begin(), texts.end());
}
} // namespace

TEST(QueueThread, WaitingStartFailsWhenThreadInitFails)
{
    // Repeated: the worker may end before or after Start begins to wait.
    for (int i = 0; i < 50; ++i) {
        RecordingQueueThread thread;
        thread.initResult = E_ACCESSDENIED;
        ASSERT_EQ(E_FAIL, thread.Start(true)) << "round " << i;
        EXPECT_EQ(E_ACCESSDENIED, thread.GetResult());
        EXPECT_FALSE(thread.IsRunning());
        ASSERT_EQ(Strings({"init", "exit"}), thread.log.Entries());
    }
}

TEST(QueueThread, StartOnRunningObjectStartsNothing)
{
    RecordingQueueThread thread;
    ASSERT_EQ(S_OK, thread.Start(true));
    DWORD workerId = thread.GetThreadId();
    int threads = ProcessThreadCount();
    EXPECT_EQ(S_FALSE, thread.Start(true));
    EXPECT_EQ(S_FALSE, thread.Start(false));
    EXPECT_EQ(workerId, thread.GetThreadId());
    EXPECT_EQ(threads, ProcessThreadCount());
    thread.Stop(true, false, false);
    EXPECT_EQ(Strings({"init", "item -2", "close", "item -1", "exit"}), thread.log.Entries());
}

TEST(QueueThread, StopHandlesPostedItemsInOrderThenClosesAndQuits)
{
    RecordingQueueThread thread;
    ASSERT_EQ(S_OK, thread.Start(true));
    for (int code = 1; code <= 5; ++code) {
        ThreadItem item = MakeItem(code);
        ASSERT_EQ(S_OK, thread.PostItem(&item));
    }
    EXPECT_FALSE(thread.Stop(true, false, false));
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(
        Strings({"init", "item 1", "item 2", "item 3", "item 4", "item 5", "item -2", "close", "item -1", "exit"}),
        thread.log.Entries());
}

TEST(QueueThread, SendItemAnswersWithTheResultOfItsOwnItem)
{
    RecordingQueueThread thread;
    ASSERT_EQ(S_OK, thread.Start(true));
    for (DWORD i = 0; i < 200; ++i) {
        ThreadItem item = MakeItem(7, 0, 0x1000 + i);
        ASSERT_EQ(static_cast<HRESULT>(0x1000 + i), thread.SendItem(&item, INFINITE));
    }
    // A send ends a stop that sends QUIT.
    EXPECT_FALSE(thread.Stop(true, true, false));
    std::vector<std::string> entries = thread.log.Entries();
    ASSERT_EQ(203u, entries.size());
    EXPECT_EQ("item -1", entries[201]);
    EXPECT_EQ("exit", entries[202]);
}

TEST(QueueThread, SendItemTimesOutWhileItemRunsAndLateAnswerReachesNobody)
{
    Gate gate;
    RecordingQueueThread thread(&gate);
    ASSERT_EQ(S_OK, thread.Start(true));
    ThreadItem slow = MakeItem(1, kHoldAtGate, 0x111);
    EXPECT_EQ(VFW_E_TIMEOUT, thread.SendItem(&slow, 50));
    ASSERT_TRUE(thread.WaitUntilHeld());
    gate.Open();
    // The next sender gets its own answer, not the late one of the slow item.
    ThreadItem quick = MakeItem(2, 0, 0x222);
    EXPECT_EQ(static_cast<HRESULT>(0x222), thread.SendItem(&quick, INFINITE));
    thread.Stop(true, false, false);
    EXPECT_EQ(Strings({"init", "item 1", "item 2", "item -2", "close", "item -1", "exit"}), thread.log.Entries());
}

TEST(QueueThread, SendWithoutWorkerFailsAtOnce)
{
    RecordingQueueThread thread;
    ThreadItem item = MakeItem(1);
    EXPECT_EQ(E_FAIL, thread.SendItem(&item, INFINITE));
    EXPECT_EQ(E_INVALIDARG, thread.PostItem(nullptr));
    ASSERT_EQ(S_OK, thread.Start(true));
    thread.Stop(true, false, false);
    EXPECT_EQ(E_FAIL, thread.SendItem(&item, INFINITE));
}

TEST(QueueThread, ItemsPostedWhileStoppedAreHandledAfterStart)
{
    RecordingQueueThread thread;
    ASSERT_EQ(S_OK, thread.Start(true));
    thread.Stop(true, false, false);
    ThreadItem item = MakeItem(9);
    ASSERT_EQ(S_OK, thread.PostItem(&item));
    ASSERT_EQ(S_OK, thread.Start(true));
    // Nothing else is posted: the new worker must find the item by itself.
    EXPECT_TRUE(WaitForEntry(thread.log, "item 9"));
    thread.Stop(true, false, false);
    EXPECT_EQ(Strings({"init", "item -2", "close", "item -1", "exit", "init", "item 9", "item -2", "close", "item -1",
                       "exit"}),
              thread.log.Entries());
}

TEST(QueueThread, StopForgetsExtraHandlesBeforeTheNextStart)
{
    HANDLE extra = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    RecordingQueueThread thread;
    thread.AddWaitHandle(extra);
    ASSERT_EQ(S_OK, thread.Start(true));
    SetEvent(extra);
    ThreadItem probe = MakeItem(1);
    testing_support::WaitUntil([&] { return thread.lastSignalled == extra; });
    EXPECT_EQ(extra, thread.lastSignalled);
    thread.SendItem(&probe, INFINITE);
    EXPECT_EQ(2, thread.handlesSeen);

    thread.Stop(true, false, false);
    ASSERT_EQ(S_OK, thread.Start(true));
    thread.SendItem(&probe, INFINITE);
    EXPECT_EQ(1, thread.handlesSeen);
    thread.Stop(true, false, false);
    CloseHandle(extra);
}

TEST(QueueThread, ExtraHandleThatCannotBeWaitedOnEndsTheWorker)
{
    RecordingQueueThread thread;
    thread.AddWaitHandle(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7FFC)));
    thread.Start(true);
    testing_support::WaitUntil([&] { return !thread.IsRunning(); });
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE), thread.GetResult());
    EXPECT_FALSE(thread.Stop(true, false, false));
    EXPECT_EQ("exit", thread.log.Entries().back());
}

namespace {
// Leaves stopping to the base destructor, as a subclass without state may.
class BareQueueThread : public CQueueThread {
public:
    BareQueueThread() : CQueueThread("Bare") {}
};
} // namespace

TEST(QueueThread, DestroyingRunningObjectStopsItFirst)
{
    int threads = ProcessThreadCount();
    HANDLE worker = nullptr;
    {
        BareQueueThread thread;
        ASSERT_EQ(S_OK, thread.Start(true));
        worker = OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, thread.GetThreadId());
        ASSERT_NE(nullptr, worker);
        ThreadItem item = MakeItem(1);
        thread.PostItem(&item);
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 0)) << "the worker still runs";
    EXPECT_EQ(0u, ThreadExitCode(worker));
    CloseHandle(worker);
    EXPECT_EQ(threads, WaitForThreadCount(threads));
}
