// libFuzzer target: the package reader on arbitrary bytes, judged as Windows
// and as Japanese Windows would judge entry names, with whole and with
// dribbling reads. Besides crashes and sanitizer findings it checks that
// nothing the reader hands on breaks its promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "package/portable/memory_source.h"
#include "package/portable/pk24_format.h"
#include "package/portable/pk24_reader.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

class CheckingSink : public CEntrySink {
public:
    explicit CheckingSink(LeadBytePredicate isLeadByte) : m_IsLeadByte(isLeadByte) {}
    virtual ~CheckingSink() = default;

    PackageResult CreateEntry(const char* name) override
    {
        Require(!m_bOpen);
        size_t length = std::strlen(name);
        Require(length > 0 && length < PK24_NAME_FIELD_SIZE);
        Require(IsBareEntryName(name, length + 1, m_IsLeadByte));
        Require(!std::strchr(name, '/') && !std::strchr(name, ':'));
        m_bOpen = true;
        return PACKAGE_OK;
    }
    PackageResult WriteEntry(const void*, uint32_t count, uint32_t* written) override
    {
        Require(m_bOpen && count > 0 && count <= PK24_COPY_BLOCK_SIZE);
        m_nBytes += count;
        // Every other call comes up short, to walk the disk-full path too.
        *written = (++m_nWrites % 2 == 0 && count > 1) ? count - 1 : count;
        return PACKAGE_OK;
    }
    void CloseEntry() override
    {
        Require(m_bOpen);
        m_bOpen = false;
    }

    bool m_bOpen = false;
    uint64_t m_nBytes = 0;
    uint64_t m_nWrites = 0;

private:
    LeadBytePredicate m_IsLeadByte;
};

void ReadOnce(const uint8_t* data, size_t size, LeadBytePredicate isLeadByte, size_t maxPerRead)
{
    CMemoryArchiveSource source(data, size);
    source.SetMaxPerRead(maxPerRead);
    CheckingSink sink(isLeadByte);
    PackageResult result = ReadPackage(source, sink, isLeadByte);
    Require(result == PACKAGE_OK || result == PACKAGE_E_FAIL || result == PACKAGE_E_END_OF_FILE ||
            result == PACKAGE_E_DISK_FULL);
    Require(!sink.m_bOpen);
    Require(sink.m_nBytes <= size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ReadOnce(data, size, NoLeadBytes, 0);
    ReadOnce(data, size, IsShiftJisLeadByte, 1 + size % 13);
    return 0;
}
