#pragma once
// A thread object that owns one worker thread and hands it commands through
// events. The owner thread constructs, starts, commands, stops and destroys
// it; the worker runs ThreadMain and the hooks. After Stop it can be started
// again.
//
// Objects are plain members or locals of their owner, never deleted through
// a base pointer. A subclass whose hooks use members of its own stops the
// worker in its own destructor: the base destructor runs after those members
// are gone.
#include <windows.h>

#include "base/event_handle.h"
#include "base/unique_handle.h"

// The result of a Send whose answer did not come in time (the platform's
// DirectShow header has the same name).
#ifndef VFW_E_TIMEOUT
#define VFW_E_TIMEOUT ((HRESULT)0x8004022EL)
#endif
// The exit code of a worker that a forced stop terminated.
constexpr DWORD THREAD_TERMINATED_EXIT_CODE = 0xDEADBEEF;

class CThread {
public:
    explicit CThread(const char* name);
    ~CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    // The virtual operations, in their fixed slot order.
    virtual HRESULT ThreadMain();
    virtual HRESULT OnThreadInit();
    virtual HRESULT OnCommand(int code);
    virtual void OnClose();
    virtual HRESULT OnThreadExit();
    virtual HRESULT GetResult();
    // 1 (S_FALSE) when a worker runs already; 0 when the worker was created
    // (and, when waiting, finished its start-up); E_FAIL otherwise.
    virtual HRESULT Start(bool wait);
    virtual HRESULT Stop(bool wait);
    // E_FAIL while an earlier command is still pending.
    virtual HRESULT PostCommand(int code);
    virtual HRESULT SendCommand(int code, DWORD milliseconds);

    // Run by the constructor and the destructor; Uninitialize stops the
    // worker, waiting for it, and closes the start-up and end events.
    HRESULT Initialize();
    HRESULT Uninitialize();

    bool IsRunning() const;
    // For diagnostics and the checks that a hook ran on the worker.
    DWORD GetThreadId() const { return m_dwThreadId; }
    const char* GetName() const { return m_pszName; }

protected:
    // Creates the four working events that a waiting Stop closed.
    bool CreateWorkingEvents();
    void CloseWorkingEvents();
    bool IsWorkerThread() const;
    // Waits for the event or for the worker's end, whichever comes first.
    // WAIT_OBJECT_0 for the event; WAIT_TIMEOUT when the time ran out or the
    // worker ended without signalling it; WAIT_FAILED when no worker runs.
    DWORD WaitForWorkerOrEvent(const CEventHandle& event, DWORD milliseconds) const;
    // Waits for the worker thread to end; WAIT_OBJECT_0 also when none is left.
    DWORD WaitForWorkerEnd(DWORD milliseconds) const;
    // Terminates the worker with THREAD_TERMINATED_EXIT_CODE and waits until
    // it is gone; its handle is released and m_hrResult records the exit.
    void TerminateWorker();
    // Lets go of an ended worker: the owner's handle of it, and the worker's
    // own handle when the worker could not release it itself.
    void ReleaseEndedWorker();
    // Gives up the worker's own handle now (a stop that does not wait); the
    // worker then finds it gone and releases nothing.
    void ReleaseThreadHandle();
    // Run at the start of ThreadMain: OnThreadInit, then the start-up signal.
    // False when OnThreadInit failed: OnThreadExit has run and m_hrResult
    // holds the failure.
    bool RunThreadInit();
    // Run at the end of ThreadMain: OnThreadExit, whose failure replaces
    // m_hrResult.
    void RunThreadExit();

    const char* m_pszName;
    CEventHandle m_EventDone;
    CEventHandle m_EventCommand;
    CEventHandle m_EventResult;
    CEventHandle m_EventGrabResult;
    CEventHandle m_EventStarted;
    CEventHandle m_EventEnded;
    int m_nCommand;
    HRESULT m_hrResult;
    DWORD m_dwThreadId;
    // The worker's own handle while it runs; released exactly once, by the
    // worker as it ends or by a forced stop, whichever takes it first.
    HANDLE m_hThread;
    bool m_bInitialized;
    DWORD m_dwStopTimeout;

private:
    static DWORD WINAPI StartRoutine(void* parameter);
    HANDLE TakeThreadHandle();

    // The owner's own handle of the current or last worker. Every wait for
    // the worker's end is made on it, so no wait depends on m_hThread, which
    // the worker releases as it ends; it is closed only once the worker has
    // been seen to end.
    UniqueKernelHandle m_hOwnerThread;
};
