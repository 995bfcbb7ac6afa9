#pragma once
// An archive source over bytes already in memory (the fuzzer, the tests).
#include <cstddef>

#include "package/portable/pk24_reader.h"

class CMemoryArchiveSource : public CArchiveSource {
public:
    CMemoryArchiveSource(const unsigned char* data, size_t size) : m_pData(data), m_nSize(size) {}
    virtual ~CMemoryArchiveSource() = default;

    // Hands out at most maxPerRead bytes a call (0: no limit), as a slow
    // device may; the reader must cope with reads shorter than asked.
    void SetMaxPerRead(size_t maxPerRead) { m_nMaxPerRead = maxPerRead; }

    PackageResult Read(void* buffer, uint32_t count, uint32_t* delivered) override;

private:
    const unsigned char* m_pData;
    size_t m_nSize;
    size_t m_nOffset = 0;
    size_t m_nMaxPerRead = 0;
};
