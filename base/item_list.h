#pragma once
// A doubly linked list of item pointers that keeps up to 10 spare nodes for
// reuse. Each kind of list says how an owned item is released.
#include <windows.h>

struct ItemNode {
    ItemNode* pPrev;
    ItemNode* pNext;
    void* pItem;
    BYTE bOwned;
};

class CItemList {
public:
    static constexpr int kSpareLimit = 10;

    CItemList();
    virtual ~CItemList();
    CItemList(const CItemList&) = delete;
    CItemList& operator=(const CItemList&) = delete;

    bool PushBack(void* item, bool owned);
    bool PushFront(void* item, bool owned);
    // Takes the first item off the list; the caller then owns it. Null when empty.
    void* PopFront();
    // Releases every node with its item; the count is 0 afterwards.
    void Clear();

    int GetCount() const { return m_nCount; }
    // The spare nodes kept; only the checks of the node reuse read it.
    int GetSpareCount() const { return m_nSpare; }
    ItemNode* GetFirst() const { return m_pFirst; }

protected:
    // Releases a node: its owned item first when releaseItem is set, then the
    // node goes back to the spare list, or is freed when that is full.
    virtual void FreeNode(ItemNode* node, bool releaseItem);
    // How this kind of list releases an owned item; nothing by default.
    virtual void ReleaseItem(void* item);

private:
    ItemNode* TakeNode(void* item, bool owned);

    ItemNode* m_pFirst;
    ItemNode* m_pLast;
    ItemNode* m_pSpare;
    int m_nSpare;
    int m_nSpareLimit;
    int m_nCount;
};
