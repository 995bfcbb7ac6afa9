#include "base/thread_item_list.h"

#include <cstdlib>

CThreadItemList::~CThreadItemList()
{
    Clear();
}

HRESULT CThreadItemList::PushCopy(const ThreadItem* item, bool atFront, ThreadItem** copy)
{
    ThreadItem* block = static_cast<ThreadItem*>(std::malloc(sizeof(ThreadItem)));
    if (!block)
        return E_OUTOFMEMORY;
    *block = *item;
    if (!(atFront ? PushFront(block, true) : PushBack(block, true))) {
        std::free(block);
        return E_OUTOFMEMORY;
    }
    if (copy)
        *copy = block;
    return S_OK;
}

ThreadItem* CThreadItemList::GetFront() const
{
    ItemNode* node = GetFirst();
    return node ? static_cast<ThreadItem*>(node->pItem) : nullptr;
}

void CThreadItemList::RemoveFront()
{
    std::free(PopFront());
}

void CThreadItemList::ReleaseItem(void* item)
{
    std::free(item);
}
