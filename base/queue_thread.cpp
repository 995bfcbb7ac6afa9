#include "base/queue_thread.h"

#include <cstdlib>

#include "base/com_apartment.h"
#include "base/message_pump.h"

namespace {
// Wake-up mask of a pumping worker: keys, mouse, posted and sent messages,
// timers, paint and hot keys.
constexpr DWORD kPumpWakeMask = 0xFF;
// How often a forced stop tries again for the queue lock.
constexpr DWORD kLockPollMs = 5;

// What is left of a time limit that began at started.
DWORD TimeLeft(DWORD started, DWORD limit)
{
    if (limit == INFINITE)
        return INFINITE;
    DWORD elapsed = GetTickCount() - started;
    return elapsed < limit ? limit - elapsed : 0;
}
} // namespace

CQueueThread::CQueueThread(const char* name)
    : CThread(name), m_bPumpMessages(false), m_dwWaitTimeout(INFINITE), m_nHandles(0), m_pHandles(nullptr),
      m_pSentItem(nullptr)
{
}

CQueueThread::~CQueueThread()
{
    // Stops the worker: CLOSE and QUIT posted, waited for without limit.
    Uninitialize();
    FreeWaitArray();
    // The locks go, then the lists release their nodes and queued items.
}

HRESULT CQueueThread::ThreadMain()
{
    CComApartment apartment;
    if (!RunThreadInit())
        return m_hrResult;
    if (!BuildWaitArray()) {
        OnThreadExit();
        m_hrResult = E_OUTOFMEMORY;
        return m_hrResult;
    }
    {
        // Items queued while no worker ran wait no longer than this.
        CLockGuard guard(m_QueueLock);
        if (m_Items.GetCount() > 0)
            m_EventCommand.Set();
    }
    DWORD waitResult;
    do {
        DWORD timeout = m_dwWaitTimeout;
        if (m_bPumpMessages)
            waitResult = MsgWaitForMultipleObjectsEx(static_cast<DWORD>(m_nHandles), m_pHandles, timeout, kPumpWakeMask,
                                                     MWMO_INPUTAVAILABLE);
        else
            waitResult = WaitForMultipleObjects(static_cast<DWORD>(m_nHandles), m_pHandles, FALSE, timeout);
    } while (OnWaitResult(waitResult));
    FreeWaitArray();
    RunThreadExit();
    return m_hrResult;
}

bool CQueueThread::BuildWaitArray()
{
    int count = m_WaitHandles.GetCount() + 1;
    HANDLE* handles = static_cast<HANDLE*>(std::malloc(sizeof(HANDLE) * static_cast<size_t>(count)));
    if (!handles)
        return false;
    handles[0] = m_EventCommand.GetHandle();
    int index = 1;
    for (ItemNode* node = m_WaitHandles.GetFirst(); node; node = node->pNext)
        handles[index++] = node->pItem;
    m_pHandles = handles;
    m_nHandles = count;
    return true;
}

void CQueueThread::FreeWaitArray()
{
    std::free(m_pHandles);
    m_pHandles = nullptr;
    m_nHandles = 0;
}

int CQueueThread::OnWaitResult(DWORD waitResult)
{
    DWORD handles = static_cast<DWORD>(m_nHandles);
    if (waitResult == WAIT_OBJECT_0)
        return HandleBatch();
    if (waitResult > WAIT_OBJECT_0 && waitResult < WAIT_OBJECT_0 + handles) {
        OnHandleSignalled(m_pHandles[waitResult - WAIT_OBJECT_0], static_cast<int>(waitResult - WAIT_OBJECT_0) - 1);
    } else if (m_bPumpMessages && waitResult == WAIT_OBJECT_0 + handles) {
        if (PumpMessages() != 1)
            return 0; // a quit message ends the worker
    } else if (waitResult == WAIT_TIMEOUT) {
        OnWaitTimeout();
    } else if (waitResult == WAIT_FAILED) {
        // A wait that fails (a handle closed under the worker, too many
        // handles) fails again at once: end rather than spin.
        DWORD error = GetLastError();
        m_hrResult = error ? HRESULT_FROM_WIN32(error) : E_FAIL;
        return 0;
    }
    OnAfterWait();
    return 1;
}

int CQueueThread::HandleBatch()
{
    bool quit = false;
    {
        CLockGuard guard(m_QueueLock);
        while (ThreadItem* item = m_Items.GetFront()) {
            HRESULT result = OnItem(item);
            // Only the item a sender waits for answers it; a sender that gave
            // up has cleared the mark, and then nobody is answered.
            if (InterlockedCompareExchangePointer(&m_pSentItem, nullptr, item) == item) {
                m_EventGrabResult.Reset();
                m_hrResult = result;
                m_EventResult.Set();
            }
            if (item->nCommand == THREAD_CMD_QUIT) {
                m_Items.RemoveFront();
                quit = true;
                break;
            }
            if (item->nCommand == THREAD_CMD_CLOSE)
                OnClose();
            m_Items.RemoveFront();
        }
    }
    // No wait here for the served sender to take its result: it holds
    // m_SendLock until it has, and only the next sender, who needs that lock
    // first, can make the worker store another. Waiting for m_SendLock here
    // instead would deadlock whenever a sender takes it again first.
    m_EventDone.Set();
    if (quit)
        return 0;
    OnAfterWait();
    return 1;
}

HRESULT CQueueThread::PostItem(const ThreadItem* item)
{
    if (!item)
        return E_INVALIDARG;
    m_EventDone.Reset();
    HRESULT result;
    {
        CLockGuard guard(m_QueueLock);
        result = m_Items.PushCopy(item, false);
    }
    if (FAILED(result))
        return result;
    m_EventCommand.Set();
    return S_OK;
}

HRESULT CQueueThread::SendItem(const ThreadItem* item, DWORD milliseconds)
{
    if (!item)
        return E_INVALIDARG;
    // Nobody would answer: no worker, or the worker asking itself.
    if (!IsRunning() || IsWorkerThread())
        return E_FAIL;
    {
        // Wait until the worker is not inside a batch.
        CLockGuard guard(m_QueueLock);
    }
    CLockGuard sendGuard(m_SendLock);
    ExpectAnswer();
    m_QueueLock.Lock();
    return SendWithLocksHeld(item, milliseconds);
}

void CQueueThread::ExpectAnswer()
{
    m_EventDone.Reset();
    m_EventResult.Reset();
    m_EventGrabResult.Set();
}

HRESULT CQueueThread::SendWithLocksHeld(const ThreadItem* item, DWORD milliseconds)
{
    ThreadItem* copy = nullptr;
    HRESULT result = m_Items.PushCopy(item, true, &copy);
    if (SUCCEEDED(result))
        m_pSentItem = copy;
    m_QueueLock.Unlock();
    if (FAILED(result)) {
        m_EventGrabResult.Reset();
        return result;
    }
    m_EventCommand.Set();
    if (WaitForWorkerOrEvent(m_EventResult, milliseconds) == WAIT_OBJECT_0)
        return GetResult();
    // Give up the answer, unless the worker has just taken the item as
    // answered; then the answer is a moment away.
    if (InterlockedCompareExchangePointer(&m_pSentItem, nullptr, copy) != copy &&
        WaitForWorkerOrEvent(m_EventResult, INFINITE) == WAIT_OBJECT_0)
        return GetResult();
    m_EventGrabResult.Reset();
    return VFW_E_TIMEOUT;
}

HRESULT CQueueThread::Stop(bool wait)
{
    Stop(wait, false, false);
    return S_OK;
}

bool CQueueThread::Stop(bool wait, bool send, bool force)
{
    // A worker stopping its own object can neither wait for itself nor
    // answer its own QUIT.
    if (IsWorkerThread()) {
        wait = false;
        send = false;
    }
    bool ran = IsRunning();
    bool forced = wait && force;
    DWORD started = GetTickCount();
    if (ran) {
        if (forced)
            QueueStopItemsWithin(send, m_dwStopTimeout);
        else
            QueueStopItems(send, INFINITE);
    }
    bool terminated = false;
    if (wait) {
        if (forced && WaitForWorkerEnd(TimeLeft(started, m_dwStopTimeout)) == WAIT_TIMEOUT) {
            TerminateWorker();
            CleanUpAfterTermination();
            terminated = true;
        } else {
            WaitForWorkerEnd(INFINITE);
        }
        ReleaseEndedWorker();
        CloseWorkingEvents();
    } else if (ran) {
        // The worker goes on to its end alone; a later Start or Stop waits
        // for it on the owner's own handle.
        ReleaseThreadHandle();
    }
    m_WaitHandles.Clear();
    return terminated;
}

void CQueueThread::QueueStopItems(bool send, DWORD milliseconds)
{
    if (send) {
        ThreadItem quit = {THREAD_CMD_QUIT, 0, 0, 0};
        SendItem(&quit, milliseconds);
    } else {
        ThreadItem close = {THREAD_CMD_CLOSE, 0, 0, 0};
        ThreadItem quit = {THREAD_CMD_QUIT, 0, 0, 0};
        PostItem(&close);
        PostItem(&quit);
    }
}

void CQueueThread::QueueStopItemsWithin(bool send, DWORD milliseconds)
{
    // Queuing needs m_QueueLock, which a worker stuck inside a batch never
    // gives back, and a send needs m_SendLock too: try for them only as long
    // as the stop may take, and never let go of the queue lock between
    // getting it and queuing, or a worker could start a batch and stick in
    // it right then. If a lock can't be had, nothing is queued and the
    // worker will be terminated.
    DWORD started = GetTickCount();
    if (!send) {
        if (!LockWithin(m_QueueLock, started, milliseconds))
            return;
        QueueStopItems(false, 0);
        m_QueueLock.Unlock();
        return;
    }
    if (!LockWithin(m_SendLock, started, milliseconds))
        return;
    ExpectAnswer();
    if (LockWithin(m_QueueLock, started, milliseconds)) {
        ThreadItem quit = {THREAD_CMD_QUIT, 0, 0, 0};
        SendWithLocksHeld(&quit, TimeLeft(started, milliseconds));
    } else {
        m_EventGrabResult.Reset();
    }
    m_SendLock.Unlock();
}

bool CQueueThread::LockWithin(CLock& lock, DWORD started, DWORD milliseconds)
{
    while (!lock.TryLock()) {
        if (TimeLeft(started, milliseconds) == 0)
            return false;
        Sleep(kLockPollMs);
    }
    return true;
}

void CQueueThread::CleanUpAfterTermination()
{
    // A terminated thread never leaves a critical section it holds, and
    // m_QueueLock is held for a whole batch.
    m_QueueLock.Renew();
    m_SendLock.Renew();
    // Its batch was abandoned with the CLOSE and QUIT behind it; a new
    // worker must not start by quitting.
    m_Items.Clear();
    m_pSentItem = nullptr;
    FreeWaitArray();
}

void CQueueThread::SetWaitTimeout(DWORD milliseconds)
{
    m_dwWaitTimeout = milliseconds;
}

void CQueueThread::AddWaitHandle(HANDLE handle)
{
    if (handle)
        m_WaitHandles.PushBack(handle, false);
}

HRESULT CQueueThread::OnThreadInit()
{
    return S_OK;
}

HRESULT CQueueThread::OnCommand(int)
{
    return S_OK;
}

void CQueueThread::OnClose() {}

HRESULT CQueueThread::OnThreadExit()
{
    return S_OK;
}

HRESULT CQueueThread::PostCommand(int)
{
    return S_OK;
}

HRESULT CQueueThread::SendCommand(int, DWORD)
{
    return S_OK;
}

HRESULT CQueueThread::OnItem(ThreadItem*)
{
    return S_OK;
}

void CQueueThread::OnHandleSignalled(HANDLE, int) {}

void CQueueThread::OnWaitTimeout() {}

void CQueueThread::OnAfterWait() {}

int CQueueThread::PumpMessages()
{
    return ::PumpMessages();
}
