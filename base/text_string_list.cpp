#include "base/text_string_list.h"

#include <new>

CTextStringList::~CTextStringList()
{
    Clear();
}

bool CTextStringList::Append(const char* text, int length)
{
    CTextString* string = new (std::nothrow) CTextString();
    if (!string)
        return false;
    if (length != 0 && !string->Assign(text, length)) {
        delete string;
        return false;
    }
    if (!PushBack(string, true)) {
        delete string;
        return false;
    }
    return true;
}

CTextString* CTextStringList::GetAt(int index) const
{
    ItemNode* node = GetFirst();
    for (int i = 0; node && i < index; ++i)
        node = node->pNext;
    return node ? static_cast<CTextString*>(node->pItem) : nullptr;
}

void CTextStringList::ReleaseItem(void* item)
{
    delete static_cast<CTextString*>(item);
}
