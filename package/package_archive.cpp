#include "package/package_archive.h"

#include <cstring>
#include <memory>
#include <new>

#include "base/double_byte.h"
#include "base/setup_log.h"
#include "base/text_string.h"
#include "package/disk_file.h"
#include "package/portable/pk24_reader.h"

namespace {

// Serves the unpacker's small reads from a read-ahead block of fixed size,
// so the archive is read in few large platform calls and memory stays flat.
// A platform failure or the end of the file is reported to the read that
// needs the bytes it couldn't get, as a direct read would.
class CReadAheadArchiveSource : public CArchiveSource {
public:
    static const DWORD READ_AHEAD_SIZE = 64 * 1024;

    explicit CReadAheadArchiveSource(CDiskFile& archive)
        : m_Archive(archive), m_pbBlock(new (std::nothrow) unsigned char[READ_AHEAD_SIZE]), m_dwFilled(0), m_dwServed(0)
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
    DWORD m_dwFilled; // bytes of the block read from the file
    DWORD m_dwServed; // bytes of the block handed on
};

// Writes each entry as a file in the destination folder, one at a time,
// through a write-behind block of fixed size: the reader's small pieces
// collect there and go to the file when the block is full and at the
// entry's end. Counts what reached the files, for the log.
class CFolderEntrySink : public CEntrySink {
public:
    static const DWORD WRITE_BEHIND_SIZE = 64 * 1024;

    CFolderEntrySink(const HeldFolder& folder, CHeldFileList* held)
        : m_Folder(folder), m_pHeld(held), m_pbBlock(new (std::nothrow) unsigned char[WRITE_BEHIND_SIZE]),
          m_dwPending(0), m_dwEntries(0), m_ullBytes(0)
    {
    }
    virtual ~CFolderEntrySink() = default;

    bool HasBlock() const { return m_pbBlock != nullptr; }

    PackageResult CreateEntry(const char* name) override
    {
        m_dwPending = 0;
        // Made new, never through a link; nobody else may write it while it is written.
        HRESULT result = m_Output.Create(m_Folder, name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
        if (FAILED(result))
            m_Output.Close();
        else
            ++m_dwEntries;
        return result;
    }

    PackageResult WriteEntry(const void* data, uint32_t count, uint32_t* written) override
    {
        *written = 0;
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        while (*written < count) {
            if (m_dwPending == WRITE_BEHIND_SIZE) {
                HRESULT result = Flush();
                if (FAILED(result))
                    return result;
            }
            DWORD room = WRITE_BEHIND_SIZE - m_dwPending;
            DWORD taken = count - *written < room ? count - *written : room;
            memcpy(m_pbBlock.get() + m_dwPending, bytes + *written, taken);
            m_dwPending += taken;
            *written += taken;
        }
        return S_OK;
    }

    // A whole entry is held against writers from here, when asked for.
    PackageResult FinishEntry() override
    {
        HRESULT result = Flush();
        if (FAILED(result) || !m_pHeld)
            return result;
        result = m_pHeld->Hold(m_Output);
        if (FAILED(result))
            LogFailure(result, "Failed to hold %s against writers", LogText(m_Output.GetPath().GetData()));
        return result;
    }

    // An entry that failed keeps what reached it: what it still held back is stored too.
    void CloseEntry() override
    {
        Flush();
        m_Output.Close();
    }

    DWORD GetEntries() const { return m_dwEntries; }
    ULONGLONG GetBytes() const { return m_ullBytes; }

private:
    // Stores the bytes held back; a write that stores fewer fails as a full disk would.
    HRESULT Flush()
    {
        if (m_dwPending == 0)
            return S_OK;
        DWORD stored = 0;
        HRESULT result = m_Output.Write(m_pbBlock.get(), m_dwPending, &stored);
        if (SUCCEEDED(result)) {
            m_ullBytes += stored;
            if (stored != m_dwPending)
                result = HRESULT_FROM_WIN32(ERROR_DISK_FULL);
        }
        m_dwPending = 0;
        if (FAILED(result))
            LogFailure(result, "Failed to write %s", LogText(m_Output.GetPath().GetData()));
        return result;
    }

    HeldFolder m_Folder;
    CHeldFileList* m_pHeld; // where whole entries are held; null: they aren't
    CDiskFile m_Output;     // the entry being written
    std::unique_ptr<unsigned char[]> m_pbBlock;
    DWORD m_dwPending;    // bytes of the block not yet stored
    DWORD m_dwEntries;    // entry files created
    ULONGLONG m_ullBytes; // bytes stored in them
};

} // namespace

HRESULT UnpackPackage(CDiskFile& archive, const HeldFolder& folder, CHeldFileList* held)
{
    const char* archiveText = LogText(archive.GetPath().GetData());
    const char* folderText = LogText(folder.path);
    CReadAheadArchiveSource source(archive);
    CFolderEntrySink sink(folder, held);
    if (!source.HasBlock() || !sink.HasBlock()) {
        LogFailure(E_OUTOFMEMORY, "Failed to unpack the package %s", archiveText);
        return E_OUTOFMEMORY;
    }
    // Names are judged in the system's code page, where a double-byte
    // character may end in the byte of a backslash.
    HRESULT result = ReadPackage(source, sink, IsDbcsLeadByte);
    if (FAILED(result))
        LogFailure(result, "Failed to unpack the package %s into %s (entries created %lu, bytes written %llu)",
                   archiveText, folderText, static_cast<unsigned long>(sink.GetEntries()),
                   static_cast<unsigned long long>(sink.GetBytes()));
    else
        LogEvent("Package %s unpacked into %s: %lu entries, %llu bytes", archiveText, folderText,
                 static_cast<unsigned long>(sink.GetEntries()), static_cast<unsigned long long>(sink.GetBytes()));
    return result;
}
