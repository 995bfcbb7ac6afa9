#pragma once
// A list that owns CTextString objects (the command-line tokens).
#include "base/item_list.h"
#include "base/text_string.h"

class CTextStringList : public CItemList {
public:
    ~CTextStringList() override;
    // Appends a new string holding length bytes of text (all of it for -1).
    bool Append(const char* text, int length = -1);
    // The string at a position from the front, or null. The setup walks
    // the list from the front instead; indexed readers such as checks use it.
    CTextString* GetAt(int index) const;

protected:
    void ReleaseItem(void* item) override;
};
