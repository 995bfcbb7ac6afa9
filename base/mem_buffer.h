#pragma once
// An owned, aligned, growable byte block with 64-bit sizes: the storage under
// every CTextString. Results are HRESULT values; nothing throws.
#include <windows.h>

class CMemBuffer {
public:
    CMemBuffer();
    ~CMemBuffer();
    CMemBuffer(const CMemBuffer&) = delete;
    CMemBuffer& operator=(const CMemBuffer&) = delete;

    // Slot order of the virtual table is part of the design; keep it.
    virtual HRESULT Init();
    virtual HRESULT Free();
    virtual HRESULT CopyBytes(void* destination, const void* source, INT64 size);
    virtual HRESULT Reserve(INT64 size, bool zeroFill, bool keepContents);
    // The byte operations below serve users of the block as raw bytes;
    // CTextString, its one user in the setup, needs only Reserve.
    virtual HRESULT SetBytes(INT64 size, const void* source);
    virtual HRESULT WriteBytes(INT64 offset, INT64 size, const void* source);
    virtual HRESULT ReadBytes(void* destination, INT64 size);
    virtual HRESULT Reset();

    char* GetData() const { return m_pData; }
    INT64 GetCapacity() const { return m_nCapacity; }
    INT64 GetGranularity() const { return m_nGranularity; }
    void SetGranularity(INT64 granularity) { m_nGranularity = granularity > 0 ? granularity : 1; }

private:
    void* m_pRaw;
    char* m_pData;
    INT64 m_nCapacity;
    INT64 m_nGranularity;
    DWORD m_nAlignment;
};
