#pragma once
// A queue thread for tests: logs every hook, answers an item with its
// dwParam2 as the result, and can hold its worker inside OnItem.
#include <string>

#include "base/queue_thread.h"
#include "thread_test_support.h"

namespace thread_testing {

// An item whose dwParam1 is this holds the worker at the gate.
constexpr DWORD kHoldAtGate = 0x600D;

class RecordingQueueThread : public CQueueThread {
public:
    explicit RecordingQueueThread(Gate* gate = nullptr) : CQueueThread("Recording"), m_pGate(gate) {}
    // Hooks use this object's members: stop before they go.
    ~RecordingQueueThread()
    {
        Stop(true, false, false);
        CloseHandle(m_hHeld);
    }

    HRESULT OnThreadInit() override
    {
        log.Add("init");
        return initResult;
    }
    HRESULT OnThreadExit() override
    {
        log.Add("exit");
        return S_OK;
    }
    void OnClose() override { log.Add("close"); }
    HRESULT OnItem(ThreadItem* item) override
    {
        log.Add("item " + std::to_string(item->nCommand));
        handlesSeen = m_nHandles;
        if (item->dwParam1 == kHoldAtGate && m_pGate) {
            SetEvent(m_hHeld);
            m_pGate->Pass(INFINITE);
        }
        return static_cast<HRESULT>(item->dwParam2);
    }
    void OnHandleSignalled(HANDLE handle, int index) override
    {
        log.Add("signalled " + std::to_string(index));
        lastSignalled = handle;
    }

    // Waits until the worker is held at the gate.
    bool WaitUntilHeld(DWORD milliseconds = 30000)
    {
        return WaitForSingleObject(m_hHeld, milliseconds) == WAIT_OBJECT_0;
    }
    HANDLE OpenWorker() const { return OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, GetThreadId()); }

    using CQueueThread::m_bPumpMessages;
    using CQueueThread::m_dwStopTimeout;
    using CQueueThread::m_hrResult;

    EventLog log;
    HRESULT initResult = S_OK;
    volatile int handlesSeen = 0;
    HANDLE volatile lastSignalled = nullptr;

private:
    Gate* m_pGate;
    HANDLE m_hHeld = CreateEventA(nullptr, FALSE, FALSE, nullptr);
};

inline ThreadItem MakeItem(int command, DWORD param1 = 0, DWORD param2 = 0, DWORD param3 = 0)
{
    return ThreadItem{command, param1, param2, param3};
}

} // namespace thread_testing
