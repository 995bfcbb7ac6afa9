#pragma once
// A thread object whose worker handles a queue of work items, can wait on
// extra handles, can pump window messages while it waits, and can hand a
// result back to a sender that waits for it.
//
// Lock order: m_SendLock before m_QueueLock. The worker holds m_QueueLock for
// a whole batch of items (OnItem and OnClose run under it), so posting blocks
// while an item is handled; m_SendLock serves senders one at a time.
//
// Start, Stop and destruction belong to the owner thread, once any other
// threads that post or send have finished.
#include "base/item_list.h"
#include "base/lock.h"
#include "base/thread.h"
#include "base/thread_item.h"
#include "base/thread_item_list.h"

class CQueueThread : public CThread {
public:
    explicit CQueueThread(const char* name);
    ~CQueueThread();

    // CThread's slots.
    HRESULT ThreadMain() override;
    HRESULT OnThreadInit() override;
    HRESULT OnCommand(int code) override;
    void OnClose() override;
    HRESULT OnThreadExit() override;
    // Stop(wait, false, false).
    HRESULT Stop(bool wait) override;
    // Commands are items here: use PostItem and SendItem.
    HRESULT PostCommand(int code) override;
    HRESULT SendCommand(int code, DWORD milliseconds) override;

    // The slots this class adds, in order.
    // SetWaitTimeout and AddWaitHandle serve workers that wait on more than
    // their queue; the setup's own wait dialog thread waits on its queue alone.
    virtual void SetWaitTimeout(DWORD milliseconds);
    // Applies from the next Start; a Stop forgets the extra handles.
    virtual void AddWaitHandle(HANDLE handle);
    virtual HRESULT PostItem(const ThreadItem* item);
    // Queues a copy at the front and waits up to the given time for the
    // result of OnItem for it: VFW_E_TIMEOUT when it does not come in time
    // (the item is still handled), E_FAIL when no worker runs.
    virtual HRESULT SendItem(const ThreadItem* item, DWORD milliseconds);
    // Handles one wake-up of the worker; 0 ends its loop.
    virtual int OnWaitResult(DWORD waitResult);
    virtual HRESULT OnItem(ThreadItem* item);
    // An extra handle was signalled; index counts the extra handles from 0.
    virtual void OnHandleSignalled(HANDLE handle, int index);
    virtual void OnWaitTimeout();
    virtual void OnAfterWait();
    virtual int PumpMessages();
    // Send: a QUIT item sent without a time limit, else CLOSE and QUIT
    // posted. Force: when waiting, a worker that has not ended
    // m_dwStopTimeout after the call is terminated, also when it is stuck
    // inside a batch; the locks and the send keep to that limit too. True
    // only when it had to be terminated.
    virtual bool Stop(bool wait, bool send, bool force);

protected:
    CThreadItemList m_Items;
    // Handles are not owned: the list releases nothing.
    CItemList m_WaitHandles;
    CLock m_QueueLock;
    CLock m_SendLock;
    bool m_bPumpMessages;
    DWORD m_dwWaitTimeout;
    int m_nHandles;
    HANDLE* m_pHandles;

private:
    bool BuildWaitArray();
    void FreeWaitArray();
    int HandleBatch();
    // Sends QUIT, or posts CLOSE and QUIT, for Stop.
    void QueueStopItems(bool send, DWORD milliseconds);
    // The same within a time limit, for a forced stop: a worker stuck inside
    // a batch holds the queue lock, and then nothing is queued.
    void QueueStopItemsWithin(bool send, DWORD milliseconds);
    static bool LockWithin(CLock& lock, DWORD started, DWORD milliseconds);
    // The two halves of a send, for a caller that holds m_SendLock: the
    // events readied for the answer, then (with m_QueueLock held too, let go
    // of once the item is queued) the item queued and its answer awaited.
    void ExpectAnswer();
    HRESULT SendWithLocksHeld(const ThreadItem* item, DWORD milliseconds);
    // Clears up after a terminated worker: it may have died holding the
    // locks, in the middle of a batch, with its wait array allocated.
    void CleanUpAfterTermination();

    // The queued copy of the item the current sender waits for; the worker
    // hands back a result only for that item, and whichever of the two
    // clears it first settles whether the sender gets it.
    void* volatile m_pSentItem;
};
