#include "package/package_archive.h"

#include "base/double_byte.h"
#include "base/text_string.h"
#include "package/disk_file.h"
#include "package/portable/pk24_reader.h"

namespace {

const DWORD SHARE_READ_WRITE = FILE_SHARE_READ | FILE_SHARE_WRITE;

class CDiskArchiveSource : public CArchiveSource {
public:
    explicit CDiskArchiveSource(CDiskFile& archive) : m_Archive(archive) {}
    virtual ~CDiskArchiveSource() = default;

    PackageResult Read(void* buffer, uint32_t count, uint32_t* delivered) override
    {
        DWORD got = 0;
        HRESULT result = m_Archive.Read(buffer, count, &got);
        *delivered = SUCCEEDED(result) ? got : 0;
        return result;
    }

private:
    CDiskFile& m_Archive;
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
    CDiskArchiveSource source(archive);
    CFolderEntrySink sink(destinationFolder);
    // Names are judged in the system's code page, where a double-byte
    // character may end in the byte of a backslash.
    return ReadPackage(source, sink, IsDbcsLeadByte);
}
