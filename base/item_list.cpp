#include "base/item_list.h"

#include <cstdlib>

CItemList::CItemList()
    : m_pFirst(nullptr), m_pLast(nullptr), m_pSpare(nullptr), m_nSpare(0), m_nSpareLimit(kSpareLimit), m_nCount(0)
{
}

CItemList::~CItemList()
{
    // Derived lists clear themselves first, while their ReleaseItem still exists.
    Clear();
    while (m_pSpare) {
        ItemNode* next = m_pSpare->pNext;
        std::free(m_pSpare);
        m_pSpare = next;
    }
    m_nSpare = 0;
}

ItemNode* CItemList::TakeNode(void* item, bool owned)
{
    ItemNode* node = m_pSpare;
    if (node) {
        m_pSpare = node->pNext;
        --m_nSpare;
    } else {
        node = static_cast<ItemNode*>(std::malloc(sizeof(ItemNode)));
        if (!node)
            return nullptr;
    }
    node->pPrev = nullptr;
    node->pNext = nullptr;
    node->pItem = item;
    node->bOwned = owned ? 1 : 0;
    return node;
}

bool CItemList::PushBack(void* item, bool owned)
{
    ItemNode* node = TakeNode(item, owned);
    if (!node)
        return false;
    node->pPrev = m_pLast;
    if (m_pLast)
        m_pLast->pNext = node;
    else
        m_pFirst = node;
    m_pLast = node;
    ++m_nCount;
    return true;
}

bool CItemList::PushFront(void* item, bool owned)
{
    ItemNode* node = TakeNode(item, owned);
    if (!node)
        return false;
    node->pNext = m_pFirst;
    if (m_pFirst)
        m_pFirst->pPrev = node;
    else
        m_pLast = node;
    m_pFirst = node;
    ++m_nCount;
    return true;
}

void* CItemList::PopFront()
{
    ItemNode* node = m_pFirst;
    if (!node)
        return nullptr;
    m_pFirst = node->pNext;
    if (m_pFirst)
        m_pFirst->pPrev = nullptr;
    else
        m_pLast = nullptr;
    --m_nCount;
    void* item = node->pItem;
    FreeNode(node, false);
    return item;
}

void CItemList::Clear()
{
    while (m_pFirst) {
        ItemNode* node = m_pFirst;
        m_pFirst = node->pNext;
        FreeNode(node, true);
    }
    m_pLast = nullptr;
    m_nCount = 0;
}

void CItemList::FreeNode(ItemNode* node, bool releaseItem)
{
    if (releaseItem && node->bOwned && node->pItem)
        ReleaseItem(node->pItem);
    if (m_nSpare < m_nSpareLimit) {
        node->pNext = m_pSpare;
        node->pPrev = nullptr;
        node->pItem = nullptr;
        m_pSpare = node;
        ++m_nSpare;
    } else {
        std::free(node);
    }
}

void CItemList::ReleaseItem(void*) {}
