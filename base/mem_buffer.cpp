#include "base/mem_buffer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
const DWORD kDefaultAlignment = 4;

char* AlignUp(void* raw, DWORD alignment)
{
    std::uintptr_t address = reinterpret_cast<std::uintptr_t>(raw);
    address = (address + alignment - 1) & ~static_cast<std::uintptr_t>(alignment - 1);
    return reinterpret_cast<char*>(address);
}
} // namespace

CMemBuffer::CMemBuffer()
    : m_pRaw(nullptr), m_pData(nullptr), m_nCapacity(0), m_nGranularity(1), m_nAlignment(kDefaultAlignment)
{
}

CMemBuffer::~CMemBuffer()
{
    std::free(m_pRaw);
}

HRESULT CMemBuffer::Init()
{
    std::free(m_pRaw);
    m_pRaw = nullptr;
    m_pData = nullptr;
    m_nCapacity = 0;
    m_nGranularity = 1;
    m_nAlignment = kDefaultAlignment;
    return S_OK;
}

HRESULT CMemBuffer::Free()
{
    std::free(m_pRaw);
    m_pRaw = nullptr;
    m_pData = nullptr;
    return S_OK;
}

HRESULT CMemBuffer::CopyBytes(void* destination, const void* source, INT64 size)
{
    if (size > 0)
        std::memmove(destination, source, static_cast<std::size_t>(size));
    return S_OK;
}

HRESULT CMemBuffer::Reserve(INT64 size, bool zeroFill, bool keepContents)
{
    if (size <= m_nCapacity) {
        if (!m_pData)
            return E_UNEXPECTED;
        if (zeroFill && !keepContents && size > 0)
            std::memset(m_pData, 0, static_cast<std::size_t>(size));
        return S_FALSE;
    }

    // Raise to the granularity, then leave room to align the data pointer,
    // checking each step against the limit before it is taken: in a 64-bit
    // process the limit is the largest INT64, where a sum would overflow.
    const INT64 limit = static_cast<INT64>(SIZE_MAX / 2);
    const INT64 room = m_nAlignment - 1;
    if (size > limit - room)
        return E_OUTOFMEMORY;
    INT64 rounded = size;
    if (INT64 remainder = size % m_nGranularity) {
        if (m_nGranularity - remainder > limit - room - size)
            return E_OUTOFMEMORY;
        rounded += m_nGranularity - remainder;
    }
    INT64 blockSize = rounded + room;

    void* raw = std::malloc(static_cast<std::size_t>(blockSize));
    if (!raw)
        return E_OUTOFMEMORY;
    char* data = AlignUp(raw, m_nAlignment);
    INT64 capacity = blockSize - (data - static_cast<char*>(raw));

    if (keepContents && m_pData) {
        CopyBytes(data, m_pData, m_nCapacity);
        if (zeroFill)
            std::memset(data + m_nCapacity, 0, static_cast<std::size_t>(capacity - m_nCapacity));
    } else if (zeroFill) {
        std::memset(data, 0, static_cast<std::size_t>(capacity));
    }

    std::free(m_pRaw);
    m_pRaw = raw;
    m_pData = data;
    m_nCapacity = capacity;
    return S_OK;
}

HRESULT CMemBuffer::SetBytes(INT64 size, const void* source)
{
    if (!source)
        return E_INVALIDARG;
    HRESULT hr = Reserve(size, false, false);
    if (FAILED(hr))
        return hr;
    CopyBytes(m_pData, source, size);
    return S_OK;
}

HRESULT CMemBuffer::WriteBytes(INT64 offset, INT64 size, const void* source)
{
    if (!source || offset < 0 || size < 0)
        return E_INVALIDARG;
    if (size > INT64_MAX - offset)
        return E_OUTOFMEMORY;
    HRESULT hr = Reserve(offset + size, false, true);
    if (FAILED(hr))
        return hr;
    CopyBytes(m_pData + offset, source, size);
    return S_OK;
}

HRESULT CMemBuffer::ReadBytes(void* destination, INT64 size)
{
    if (!destination || !m_pData)
        return E_FAIL;
    INT64 count = (size == 0 || size > m_nCapacity) ? m_nCapacity : size;
    if (count <= 0)
        return E_FAIL;
    CopyBytes(destination, m_pData, count);
    return S_OK;
}

HRESULT CMemBuffer::Reset()
{
    Free();
    m_nCapacity = 0;
    return S_OK;
}
