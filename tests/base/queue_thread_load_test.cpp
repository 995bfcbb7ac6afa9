// The queue thread under load: many posters and senders at once, and
// hundreds of start and stop cycles that must leave no handle and no thread
// behind. Repeated so that a rare race shows.
#include <gtest/gtest.h>

#include <vector>

#include "base/queue_thread.h"
#include "thread_test_support.h"

using namespace thread_testing;

namespace {
constexpr int kPosted = 1;  // dwParam1: poster, dwParam2: its sequence number
constexpr int kSent = 2;    // dwParam2: the answer expected
constexpr int kDrained = 3; // posted last: everything posted before it is handled
constexpr int kMaxPosters = 8;

// Checks the order of each poster's items; answers a sent item with its
// dwParam2. Only the worker touches the counts until the worker has ended.
class CountingQueueThread : public CQueueThread {
public:
    CountingQueueThread() : CQueueThread("Counting"), drained(CreateEventA(nullptr, FALSE, FALSE, nullptr)) { Reset(); }
    ~CountingQueueThread()
    {
        Stop(true, false, false);
        CloseHandle(drained);
    }

    void Reset()
    {
        for (DWORD& next : nextSequence)
            next = 0;
        posted = sent = outOfOrder = 0;
    }
    HRESULT OnItem(ThreadItem* item) override
    {
        if (item->nCommand == kPosted) {
            DWORD& next = nextSequence[item->dwParam1 % kMaxPosters];
            if (item->dwParam2 != next)
                ++outOfOrder;
            next = item->dwParam2 + 1;
            ++posted;
        } else if (item->nCommand == kSent) {
            ++sent;
        } else if (item->nCommand == kDrained) {
            SetEvent(drained);
        }
        return static_cast<HRESULT>(item->dwParam2);
    }

    // Posts kDrained and waits until the worker gets to it.
    bool WaitUntilDrained()
    {
        ThreadItem item = {kDrained, 0, 0, 0};
        return PostItem(&item) == S_OK && WaitForSingleObject(drained, 30000) == WAIT_OBJECT_0;
    }

    DWORD nextSequence[kMaxPosters];
    int posted, sent, outOfOrder;
    HANDLE drained;
};

struct LoadResult {
    LONG wrongAnswers = 0;
    LONG failedPosts = 0;
};

// Starts posters and senders together and waits for all of them.
void RunLoad(CQueueThread& thread, int posters, int itemsEach, int senders, int sendsEach, LoadResult& result)
{
    Gate go;
    std::vector<HANDLE> threads;
    for (int p = 0; p < posters; ++p) {
        threads.push_back(StartThread([&, p] {
            go.Pass();
            for (int i = 0; i < itemsEach; ++i) {
                ThreadItem item = {kPosted, static_cast<DWORD>(p), static_cast<DWORD>(i), 0};
                if (thread.PostItem(&item) != S_OK)
                    InterlockedIncrement(&result.failedPosts);
            }
        }));
    }
    for (int s = 0; s < senders; ++s) {
        threads.push_back(StartThread([&, s] {
            go.Pass();
            for (int i = 0; i < sendsEach; ++i) {
                DWORD answer = static_cast<DWORD>(0x100000 * (s + 1) + i);
                ThreadItem item = {kSent, 0, answer, 0};
                if (thread.SendItem(&item, INFINITE) != static_cast<HRESULT>(answer))
                    InterlockedIncrement(&result.wrongAnswers);
            }
        }));
    }
    go.Open();
    for (HANDLE handle : threads)
        ASSERT_TRUE(JoinThread(handle)) << "a poster or sender is stuck";
}
} // namespace

TEST(QueueThreadLoad, ManyPostersAndSendersAtOnce)
{
    CountingQueueThread thread;
    ASSERT_EQ(S_OK, thread.Start(true));
    LoadResult result;
    RunLoad(thread, 4, 2500, 3, 300, result);
    thread.Stop(true, false, false);
    EXPECT_EQ(0, result.failedPosts);
    EXPECT_EQ(0, result.wrongAnswers) << "a sender got another item's answer";
    EXPECT_EQ(4 * 2500, thread.posted);
    EXPECT_EQ(3 * 300, thread.sent);
    EXPECT_EQ(0, thread.outOfOrder);
}

TEST(QueueThreadLoad, RepeatedRoundsLeaveNoHandleOrThreadBehind)
{
    CountingQueueThread thread;
    HANDLE extra = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    // One round first, so that lazily made objects of the system count in
    // the starting figures.
    ASSERT_EQ(S_OK, thread.Start(true));
    thread.Stop(true, false, false);
    DWORD handles = ProcessHandleCount();
    int threads = ProcessThreadCount();
    ASSERT_GT(handles, 0u);

    for (int round = 0; round < 200; ++round) {
        thread.Reset();
        thread.AddWaitHandle(extra);
        ASSERT_EQ(S_OK, thread.Start(round % 2 == 0)) << "round " << round;
        LoadResult result;
        RunLoad(thread, 2, 15, 1, 5, result);
        // A sent QUIT goes before the items still queued, which are then
        // dropped: let the worker handle them all first.
        ASSERT_TRUE(thread.WaitUntilDrained()) << "round " << round;
        // Every way of stopping: sending QUIT, posting CLOSE and QUIT, and
        // not waiting (the next Start or Stop waits for that worker).
        switch (round % 3) {
        case 0: EXPECT_FALSE(thread.Stop(true, true, false)); break;
        case 1: EXPECT_FALSE(thread.Stop(true, false, true)); break;
        case 2:
            thread.Stop(false, false, false);
            thread.Stop(true, false, false);
            break;
        }
        ASSERT_EQ(0, result.wrongAnswers) << "round " << round;
        ASSERT_EQ(30, thread.posted) << "round " << round;
        ASSERT_EQ(5, thread.sent) << "round " << round;
        ASSERT_EQ(0, thread.outOfOrder) << "round " << round;
    }
    EXPECT_EQ(handles, ProcessHandleCount());
    EXPECT_EQ(threads, WaitForThreadCount(threads));
    CloseHandle(extra);
}

TEST(QueueThreadLoad, StartAfterStopWithoutWaitGetsOneWorker)
{
    CountingQueueThread thread;
    ASSERT_EQ(S_OK, thread.Start(true));
    thread.Stop(true, false, false);
    DWORD handles = ProcessHandleCount();
    int threads = ProcessThreadCount();
    for (int round = 0; round < 200; ++round) {
        ASSERT_EQ(S_OK, thread.Start(round % 2 == 0)) << "round " << round;
        ThreadItem item = {kPosted, 0, 0, 0};
        thread.PostItem(&item);
        thread.Stop(false, round % 4 == 1, false);
    }
    thread.Stop(true, false, false);
    EXPECT_EQ(handles, ProcessHandleCount());
    EXPECT_EQ(threads, WaitForThreadCount(threads));
}
