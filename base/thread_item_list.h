#pragma once
// The work queue of a CQueueThread: owns copies of the items put in it.
#include "base/item_list.h"
#include "base/thread_item.h"

class CThreadItemList : public CItemList {
public:
    ~CThreadItemList() override;
    // Queues a copy of the item at the back or the front. E_OUTOFMEMORY when
    // the copy or its node cannot be had (then nothing is queued).
    HRESULT PushCopy(const ThreadItem* item, bool atFront, ThreadItem** copy = nullptr);
    ThreadItem* GetFront() const;
    // Takes the front item off and frees it.
    void RemoveFront();

protected:
    void ReleaseItem(void* item) override;
};
