#pragma once
// The one string type of the setup: an owned, growable, zero-terminated 8-bit
// string in the ANSI code page, double-byte aware in its path operations.
// Operations that return text return a pointer into the string's own storage,
// or null when no storage could be had; nothing throws.
#include "base/mem_buffer.h"

class CTextString {
public:
    CTextString();
    CTextString(const char* text, int length = -1);
    CTextString(const CTextString& other);
    CTextString& operator=(const CTextString& other);

    // Hooks for derived types, in this slot order; both do nothing here.
    virtual int Init();
    virtual int Uninit();
    // Declared after the hooks so that they keep the first two slots.
    virtual ~CTextString();

    char* Assign(const char* text, int length = -1);
    CTextString& Assign(const CTextString& other);
    char* Append(const char* text, int length = -1);
    char* Format(const char* format, ...);
    // For users of the string type that keep table texts in it; the setup
    // loads its few texts straight into fixed arrays.
    char* LoadText(HINSTANCE instance, UINT id);

    int GetLength() const;
    bool IsEmpty() const;
    char* GetData() const { return m_Text.GetData(); }
    // Bytes of storage the text has now.
    INT64 GetCapacity() const { return m_Text.GetCapacity(); }
    char* GetCopy();

    char* AddBackslash();
    char* RemoveBackslash();
    char* Tokenize(const char* delimiters, int index);
    // For callers that keep a fixed char array; the setup itself does not.
    unsigned CopyTo(char* buffer, unsigned size) const;

    // Splits path into folder (drive and directory, with its final
    // backslash), file name without extension, and extension with its dot.
    static bool SplitPath(CTextString path, CTextString* folder, CTextString* name, CTextString* extension);

    // Room the token area of Tokenize keeps for one field.
    static constexpr int kTokenLimit = 1024;

private:
    CMemBuffer m_Text;
    CMemBuffer m_Scratch;
    char* m_pTokenNext;
    char* m_pToken;
};
