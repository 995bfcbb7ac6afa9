#include "package/package_archive.h"

#include <cstring>
#include <memory>
#include <new>

#include "base/double_byte.h"
#include "base/text_string.h"
#include "package/disk_file.h"
#include "package/portable/pk24_reader.h"

namespace {

const DWORD SHARE_READ_WRITE = FILE_SHARE_READ | FILE_SHARE_WRITE;

// Serves the unpacker's small reads from a read-ahead block of fixed size,
// so the archive is read in few large platform calls and memory stays flat.
// A platform failure or the end of the file is reported to the read that
// needs the bytes it couldn't get, as a direct read would.
class CReadAheadArchiveSource : public CArchiveSource {
public:
    static const DWORD READ_AHEAD_SIZE = 64 * 1024;

    explicit CReadAheadArchiveSource(CDiskFile& archive)
        : m_Archive(archive), m_pbBlock(new (std::nothrow) unsigned char[READ_AHEAD_SIZE]), m_dwFilled(0),
          m_dwServed(0)
    {
    }
    virtual ~CReadAheadArchiveSource() = default;

    bool HasBlock() const { return m_pbBlock != nullptr; }

    PackageResult Read(void* buffer, uint32_t count, uint32_t* delivered) override
    {
        *delivered = 0;
        if (count == 0)
            return S_OK;
        if (m_dwServed == m_dwFilled) {
            m_dwFilled = 0;
            m_dwServed = 0;
            DWORD got = 0;
            HRESULT result = m_Archive.Read(m_pbBlock.get(), READ_AHEAD_SIZE, &got);
            if (FAILED(result))
                return result;
            m_dwFilled = got;
        }
        DWORD available = m_dwFilled - m_dwServed;
        DWORD served = count < available ? count : available;
        memcpy(buffer, m_pbBlock.get() + m_dwServed, served);
        m_dwServed += served;
        *delivered = served;
        return S_OK;
    }

private:
    CDiskFile& m_Archive;
    std::unique_ptr<unsigned char[]> m_pbBlock;
    DWORD m_dwFilled;  // bytes of the block read from the file
    DWORD m_dwServed;  // bytes of the block handed on
};

// Writes each entry as a file in the destination folder, one at a time.
class CFolderEntrySink : public CEntrySink {
public:
    explicit CFolderEntrySink(const char* destinationFolder) : m_strFolder(destinationFolder)
    {
        m_strFolder.AddBackslash();  // leaves an empty folder text empty
    }
    virtual ~CFolderEntrySink() = default;

    PackageResult CreateEntry(const char* name) override
    {
        CTextString path(m_strFolder);
        if (!path.Append(name))
            return E_OUTOFMEMORY;
        HRESULT result = m_Output.Open(path.GetData(), CREATE_ALWAYS, GENERIC_READ | GENERIC_WRITE,
                                       SHARE_READ_WRITE, 0, nullptr);
        if (FAILED(result))
            m_Output.Close();
        return result;
    }

    PackageResult WriteEntry(const void* data, uint32_t count, uint32_t* written) override
    {
        DWORD stored = 0;
        HRESULT result = m_Output.Write(data, count, &stored);
        *written = SUCCEEDED(result) ? stored : 0;
        return result;
    }

    void CloseEntry() override { m_Output.Close(); }

private:
    CTextString m_strFolder;
    CDiskFile m_Output;
};

} // namespace

HRESULT UnpackPackage(const char* archivePath, const char* destinationFolder)
{
    CDiskFile archive;
    HRESULT result = archive.Open(archivePath, OPEN_EXISTING, GENERIC_READ, SHARE_READ_WRITE, 0, nullptr);
    if (FAILED(result))
        return result;
    CReadAheadArchiveSource source(archive);
    if (!source.HasBlock())
        return E_OUTOFMEMORY;
    CFolderEntrySink sink(destinationFolder);
    // Names are judged in the system's code page, where a double-byte
    // character may end in the byte of a backslash.
    return ReadPackage(source, sink, IsDbcsLeadByte);
}
