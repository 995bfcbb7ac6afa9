#include "package/portable/memory_source.h"

#include <cstring>

PackageResult CMemoryArchiveSource::Read(void* buffer, uint32_t count, uint32_t* delivered)
{
    size_t left = m_nSize - m_nOffset;
    size_t take = count < left ? count : left;
    if (m_nMaxPerRead != 0 && take > m_nMaxPerRead)
        take = m_nMaxPerRead;
    if (take > 0)
        std::memcpy(buffer, m_pData + m_nOffset, take);
    m_nOffset += take;
    *delivered = static_cast<uint32_t>(take);
    return (count != 0 && take == 0) ? PACKAGE_E_END_OF_FILE : PACKAGE_OK;
}
