#include "base/thread.h"

#include <utility>

#include "base/com_apartment.h"
#include "base/last_error.h"
#include "base/thread_item.h"

CThread::CThread(const char* name)
    : m_pszName(name), m_EventGrabResult("CThread::m_EventGrabResult"), m_nCommand(0), m_hrResult(S_OK),
      m_dwThreadId(0), m_hThread(nullptr), m_bInitialized(false), m_dwStopTimeout(10000)
{
    CreateWorkingEvents();
    m_EventStarted.CreateIfAbsent(false);
    m_EventEnded.CreateIfAbsent(false);
    Initialize();
}

CThread::~CThread()
{
    Uninitialize();
    // The event holders close what is left as they go.
}

HRESULT CThread::Initialize()
{
    if (m_bInitialized)
        return S_FALSE;
    m_hThread = nullptr;
    m_dwThreadId = 0;
    m_nCommand = 0;
    m_hrResult = S_OK;
    m_bInitialized = true;
    m_EventStarted.CreateIfAbsent(false);
    m_EventEnded.CreateIfAbsent(false);
    return S_OK;
}

HRESULT CThread::Uninitialize()
{
    if (!m_bInitialized)
        return S_FALSE;
    // Stop waits for the worker's end on the owner's own handle, so the
    // worker has set the start-up and end events before they are closed.
    Stop(true);
    if (!m_hOwnerThread) {
        m_EventStarted.Close();
        m_EventEnded.Close();
    }
    m_bInitialized = false;
    return S_OK;
}

bool CThread::CreateWorkingEvents()
{
    bool created = m_EventCommand.CreateIfAbsent(false);
    created = m_EventDone.CreateIfAbsent(false) && created;
    created = m_EventResult.CreateIfAbsent(true) && created;
    return m_EventGrabResult.CreateIfAbsent(true) && created;
}

void CThread::CloseWorkingEvents()
{
    m_EventCommand.Close();
    m_EventDone.Close();
    m_EventResult.Close();
    m_EventGrabResult.Close();
}

bool CThread::IsRunning() const
{
    return InterlockedCompareExchangePointer(const_cast<PVOID volatile*>(&m_hThread), nullptr, nullptr) != nullptr;
}

bool CThread::IsWorkerThread() const
{
    return m_hOwnerThread && GetCurrentThreadId() == m_dwThreadId;
}

HANDLE CThread::TakeThreadHandle()
{
    return InterlockedExchangePointer(&m_hThread, nullptr);
}

void CThread::ReleaseThreadHandle()
{
    if (HANDLE handle = TakeThreadHandle())
        CloseHandle(handle);
}

void CThread::ReleaseEndedWorker()
{
    ReleaseThreadHandle();
    m_hOwnerThread.Reset();
}

DWORD CThread::WaitForWorkerEnd(DWORD milliseconds) const
{
    return m_hOwnerThread ? WaitForSingleObject(m_hOwnerThread.Get(), milliseconds) : WAIT_OBJECT_0;
}

DWORD CThread::WaitForWorkerOrEvent(const CEventHandle& event, DWORD milliseconds) const
{
    if (!m_hOwnerThread || !event.IsPresent())
        return WAIT_FAILED;
    HANDLE handles[2] = {event.GetHandle(), m_hOwnerThread.Get()};
    DWORD result = WaitForMultipleObjects(2, handles, FALSE, milliseconds);
    if (result == WAIT_OBJECT_0)
        return result;
    return result == WAIT_OBJECT_0 + 1 || result == WAIT_TIMEOUT ? WAIT_TIMEOUT : WAIT_FAILED;
}

void CThread::TerminateWorker()
{
    if (!m_hOwnerThread)
        return;
    TerminateThread(m_hOwnerThread.Get(), THREAD_TERMINATED_EXIT_CODE);
    // Termination completes asynchronously; nothing of the worker's may be
    // touched before it is really gone.
    WaitForSingleObject(m_hOwnerThread.Get(), INFINITE);
    m_hrResult = static_cast<HRESULT>(THREAD_TERMINATED_EXIT_CODE);
    m_EventEnded.Set();
    ReleaseEndedWorker();
}

DWORD WINAPI CThread::StartRoutine(void* parameter)
{
    CThread* thread = static_cast<CThread*>(parameter);
    if (!thread)
        return static_cast<DWORD>(E_OUTOFMEMORY);
    HRESULT result = thread->ThreadMain();
    thread->ReleaseThreadHandle();
    // Releases a Start that still waits when start-up failed.
    thread->m_EventStarted.Set();
    thread->m_EventStarted.Reset();
    thread->m_EventEnded.Set();
    return static_cast<DWORD>(result);
}

bool CThread::RunThreadInit()
{
    HRESULT result = OnThreadInit();
    if (FAILED(result)) {
        OnThreadExit();
        m_hrResult = result;
        return false;
    }
    m_EventEnded.Reset();
    m_EventStarted.Set();
    return true;
}

void CThread::RunThreadExit()
{
    HRESULT result = OnThreadExit();
    if (FAILED(result))
        m_hrResult = result;
}

HRESULT CThread::ThreadMain()
{
    CComApartment apartment;
    if (!RunThreadInit())
        return m_hrResult;
    for (;;) {
        if (m_EventCommand.Wait(INFINITE) != WAIT_OBJECT_0) {
            m_hrResult = LastErrorResult();
            break;
        }
        int code = m_nCommand;
        m_hrResult = OnCommand(code);
        m_EventDone.Set();
        if (code == THREAD_CMD_QUIT)
            break;
        if (code == THREAD_CMD_CLOSE)
            OnClose();
    }
    RunThreadExit();
    return m_hrResult;
}

HRESULT CThread::OnThreadInit()
{
    return S_OK;
}

HRESULT CThread::OnCommand(int)
{
    return S_OK;
}

void CThread::OnClose() {}

HRESULT CThread::OnThreadExit()
{
    return S_OK;
}

HRESULT CThread::GetResult()
{
    return m_hrResult;
}

HRESULT CThread::Start(bool wait)
{
    if (IsRunning())
        return S_FALSE;
    if (IsWorkerThread())
        return E_FAIL;
    Initialize(); // after an Uninitialize the start-up events are gone
    // A worker let go by a stop that did not wait may still be finishing.
    WaitForWorkerEnd(INFINITE);
    ReleaseEndedWorker();
    if (!CreateWorkingEvents())
        return E_FAIL;
    // A start-up signal nobody took from an earlier run must not release
    // this Start before the new worker is up.
    m_EventStarted.Reset();

    DWORD threadId = 0;
    UniqueKernelHandle thread(CreateThread(nullptr, 0, StartRoutine, this, CREATE_SUSPENDED, &threadId));
    if (!thread)
        return E_FAIL;
    UniqueKernelHandle ownerThread;
    if (!DuplicateHandle(GetCurrentProcess(), thread.Get(), GetCurrentProcess(), ownerThread.Put(), 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        // Never ran: nothing of it to clean up.
        TerminateThread(thread.Get(), static_cast<DWORD>(E_FAIL));
        return E_FAIL;
    }
    m_dwThreadId = threadId;
    // The worker's own handle, which it releases itself as it ends.
    m_hThread = thread.Release();
    m_hOwnerThread = std::move(ownerThread);
    ResumeThread(m_hOwnerThread.Get());

    if (wait) {
        // Also wakes when the worker ended during start-up, whenever it
        // signalled that.
        HANDLE handles[2] = {m_EventStarted.GetHandle(), m_hOwnerThread.Get()};
        WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    }
    return IsRunning() ? S_OK : E_FAIL;
}

HRESULT CThread::Stop(bool wait)
{
    // A worker stopping its own object cannot wait for itself.
    if (IsWorkerThread())
        wait = false;
    if (IsRunning()) {
        m_nCommand = THREAD_CMD_QUIT;
        m_EventCommand.Set();
    }
    if (wait) {
        while (WaitForWorkerEnd(1000) == WAIT_TIMEOUT) {
            m_nCommand = THREAD_CMD_QUIT;
            m_EventCommand.Set();
        }
        ReleaseEndedWorker();
        CloseWorkingEvents();
    }
    return S_OK;
}

HRESULT CThread::PostCommand(int code)
{
    // After a waiting Stop there is no event to hand a command over with.
    if (!m_EventCommand.IsPresent())
        return E_FAIL;
    // Testing the auto-reset event takes the signal: give it back.
    if (m_EventCommand.IsSignalled()) {
        m_EventCommand.Set();
        return E_FAIL;
    }
    m_nCommand = code;
    m_EventDone.Reset();
    m_EventCommand.Set();
    return S_OK;
}

HRESULT CThread::SendCommand(int code, DWORD milliseconds)
{
    if (!IsRunning() || IsWorkerThread())
        return E_FAIL;
    m_nCommand = code;
    m_EventDone.Reset();
    m_EventCommand.Set();
    if (WaitForWorkerOrEvent(m_EventDone, milliseconds) != WAIT_OBJECT_0)
        m_hrResult = VFW_E_TIMEOUT;
    return m_hrResult;
}
