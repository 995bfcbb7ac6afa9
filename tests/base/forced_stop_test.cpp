// A forced stop of a worker stuck inside OnItem: it is terminated after the
// stop time-out, and the object is left idle and fit to start again.
#include <gtest/gtest.h>

#include "recording_queue_thread.h"

using namespace thread_testing;

namespace {
// Terminates a worker held at the gate; returns how long Stop took.
DWORD StopStuckWorker(RecordingQueueThread& thread, HANDLE* worker)
{
    ThreadItem stuck = MakeItem(1, kHoldAtGate);
    EXPECT_EQ(S_OK, thread.PostItem(&stuck));
    EXPECT_TRUE(thread.WaitUntilHeld());
    *worker = thread.OpenWorker();
    DWORD start = GetTickCount();
    EXPECT_TRUE(thread.Stop(true, false, true));
    return GetTickCount() - start;
}

// After a termination the object must start, answer and stop as new: the
// worker died holding the queue lock, with CLOSE and QUIT still queued.
void ExpectFitToRunAgain(RecordingQueueThread& thread)
{
    ASSERT_EQ(S_OK, thread.Start(true));
    ThreadItem item = MakeItem(2, 0, 0x77);
    EXPECT_EQ(static_cast<HRESULT>(0x77), thread.SendItem(&item, 30000));
    // Not forced: with a short stop time-out a worker could be terminated
    // anywhere, even inside the heap.
    EXPECT_FALSE(thread.Stop(true, false, false));
}

// A worker that sticks in its item handler at the moment a stop has found it
// idle and goes to send QUIT: a held item starts its batch just before the
// send queues anything.
class StickingAtSendThread : public RecordingQueueThread {
public:
    using RecordingQueueThread::RecordingQueueThread;
    HRESULT SendItem(const ThreadItem* item, DWORD milliseconds) override
    {
        if (item->nCommand == THREAD_CMD_QUIT) {
            ThreadItem stuck = MakeItem(1, kHoldAtGate);
            PostItem(&stuck);
            WaitUntilHeld();
        }
        return RecordingQueueThread::SendItem(item, milliseconds);
    }
};

// A worker that sticks outside any batch, in its handler of a signalled wait
// handle: a forced stop finds the queue free, sends QUIT, and nobody answers.
class StickingInHandleHandlerThread : public RecordingQueueThread {
public:
    explicit StickingInHandleHandlerThread(Gate* gate) : m_pGate(gate) {}
    void OnHandleSignalled(HANDLE, int) override
    {
        SetEvent(m_hStuck);
        m_pGate->Pass(INFINITE);
    }
    bool WaitUntilStuck() { return WaitForSingleObject(m_hStuck, 30000) == WAIT_OBJECT_0; }
    ~StickingInHandleHandlerThread() { CloseHandle(m_hStuck); }

private:
    Gate* m_pGate;
    HANDLE m_hStuck = CreateEventA(nullptr, TRUE, FALSE, nullptr);
};

// Runs Stop(true, true, true) on a thread of its own, then opens the gate, so
// that a stop that blocks goes on and the test ends either way. True when
// the stop returned by itself.
bool ForcedSendingStopReturns(RecordingQueueThread& thread, Gate& gate)
{
    HANDLE stopper = StartThread([&thread] { thread.Stop(true, true, true); });
    bool returned = WaitForSingleObject(stopper, 60000) == WAIT_OBJECT_0;
    gate.Open();
    JoinThread(stopper);
    return returned;
}
} // namespace

TEST(ForcedStop, TerminatesStuckWorkerAfterTenSeconds)
{
    Gate gate; // never opened: the worker stays stuck
    RecordingQueueThread thread(&gate);
    ASSERT_EQ(S_OK, thread.Start(true));
    HANDLE worker = nullptr;
    DWORD elapsed = StopStuckWorker(thread, &worker);
    std::printf("forced stop took %lu ms\n", static_cast<unsigned long>(elapsed));
    EXPECT_GE(elapsed, 9000u) << "terminated before the stop time-out";
    EXPECT_FALSE(thread.IsRunning());
    ASSERT_NE(nullptr, worker);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 0));
    EXPECT_EQ(THREAD_TERMINATED_EXIT_CODE, ThreadExitCode(worker));
    EXPECT_EQ(static_cast<HRESULT>(THREAD_TERMINATED_EXIT_CODE), thread.GetResult());
    CloseHandle(worker);
    ExpectFitToRunAgain(thread);
}

TEST(ForcedStop, SendingStopKeepsItsTimeLimitWhenWorkerSticksInItsHandler)
{
    Gate gate;
    StickingAtSendThread thread(&gate);
    thread.m_dwStopTimeout = 200;
    // Stuck inside a batch already: terminated.
    ASSERT_EQ(S_OK, thread.Start(true));
    ThreadItem stuck = MakeItem(1, kHoldAtGate);
    ASSERT_EQ(S_OK, thread.PostItem(&stuck));
    ASSERT_TRUE(thread.WaitUntilHeld());
    EXPECT_TRUE(thread.Stop(true, true, true));
    // Sticking just as the stop goes to send.
    ASSERT_EQ(S_OK, thread.Start(true));
    HANDLE worker = thread.OpenWorker();
    EXPECT_TRUE(ForcedSendingStopReturns(thread, gate))
        << "the forced stop waited for the stuck worker without a limit";
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 30000));
    CloseHandle(worker);
    EXPECT_FALSE(thread.IsRunning());
}

TEST(ForcedStop, SentQuitThatNobodyAnswersKeepsItsTimeLimit)
{
    Gate gate;
    StickingInHandleHandlerThread thread(&gate);
    thread.m_dwStopTimeout = 200;
    HANDLE signal = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread.AddWaitHandle(signal);
    ASSERT_EQ(S_OK, thread.Start(true));
    SetEvent(signal);
    ASSERT_TRUE(thread.WaitUntilStuck());
    HANDLE worker = thread.OpenWorker();
    EXPECT_TRUE(ForcedSendingStopReturns(thread, gate)) << "the sent QUIT was waited for without a limit";
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 30000));
    EXPECT_EQ(THREAD_TERMINATED_EXIT_CODE, ThreadExitCode(worker));
    CloseHandle(worker);
    CloseHandle(signal);
    EXPECT_FALSE(thread.IsRunning());
}

TEST(ForcedStop, RepeatedTerminationsLeaveNoHandleOrThreadBehind)
{
    Gate gate;
    RecordingQueueThread thread(&gate);
    thread.m_dwStopTimeout = 20;
    ExpectFitToRunAgain(thread);
    DWORD handles = ProcessHandleCount();
    int threads = ProcessThreadCount();
    for (int round = 0; round < 20; ++round) {
        ASSERT_EQ(S_OK, thread.Start(true));
        HANDLE worker = nullptr;
        StopStuckWorker(thread, &worker);
        EXPECT_EQ(THREAD_TERMINATED_EXIT_CODE, ThreadExitCode(worker)) << "round " << round;
        CloseHandle(worker);
        ExpectFitToRunAgain(thread);
    }
    EXPECT_EQ(handles, ProcessHandleCount());
    EXPECT_EQ(threads, WaitForThreadCount(threads));
}
