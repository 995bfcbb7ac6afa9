#include "package/disk_file.h"

#include <new>
#include <utility>

#include "base/handle_relative/vista_file_calls.h"
#include "base/setup_log.h"

namespace {

const HRESULT RESULT_NO_OPEN_FILE = S_FALSE;
const HRESULT RESULT_END_OF_FILE = HRESULT_FROM_WIN32(ERROR_HANDLE_EOF);

} // namespace

HRESULT CDiskFile::Reset()
{
    Close();
    m_dwBytesRead = 0;
    m_dwBytesWritten = 0;
    m_strPath.Assign("");
    return S_OK;
}

HRESULT CDiskFile::Open(const char* path, DWORD disposition, DWORD access, DWORD share, DWORD flagsAndAttributes,
                        LPSECURITY_ATTRIBUTES security)
{
    Reset();
    m_strPath.Assign(path);
    // Outside the work folder only: its files are made with Create.
    m_hFile.Reset(CreateFileA(path, // by path: what the caller names
                              access, share, security, disposition, flagsAndAttributes, nullptr));
    if (!IsOpen())
        return LastErrorResult();
    return S_OK;
}

HRESULT CDiskFile::Create(const HeldFolder& folder, const char* name, DWORD access, DWORD share)
{
    Reset();
    m_strPath.Assign(folder.path);
    if (!m_strPath.Append(name))
        return E_OUTOFMEMORY;
    HRESULT result = CreateFileInFolder(folder, name, access, share, m_hFile);
    if (result == HRESULT_FROM_WIN32(ERROR_FILE_EXISTS))
        LogFailure(result,
                   "%s was put in the work folder by another program first: it is left as it is and "
                   "nothing is written to it",
                   m_strPath.GetData());
    else if (FAILED(result))
        LogFailure(result, "Failed to create %s", m_strPath.GetData());
    return result;
}

HRESULT CDiskFile::Reopen(const CDiskFile& other, DWORD access, DWORD share)
{
    if (this == &other)
        return E_INVALIDARG;
    Reset();
    if (!other.IsOpen())
        return HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE);
    m_strPath.Assign(other.m_strPath);
    m_hFile.Reset(ReOpenFileOnAnyNt(other.m_hFile.Get(), access, share, 0));
    if (!IsOpen())
        return LastErrorResult();
    return S_OK;
}

HRESULT CDiskFile::Close()
{
    if (!IsOpen())
        return RESULT_NO_OPEN_FILE;
    if (!CloseHandle(m_hFile.Get()))
        return LastErrorResult();
    m_hFile.Release();
    return S_OK;
}

HRESULT CDiskFile::Read(void* buffer, DWORD count, DWORD* bytesRead, LPOVERLAPPED overlapped)
{
    if (!IsOpen())
        return RESULT_NO_OPEN_FILE;
    if (!ReadFile(m_hFile.Get(), buffer, count, &m_dwBytesRead, overlapped))
        return LastErrorResult();
    if (count != 0 && m_dwBytesRead == 0)
        return RESULT_END_OF_FILE;
    if (bytesRead)
        *bytesRead = m_dwBytesRead;
    return S_OK;
}

HRESULT CDiskFile::Write(const void* buffer, DWORD count, DWORD* bytesWritten, LPOVERLAPPED overlapped)
{
    if (!IsOpen())
        return RESULT_NO_OPEN_FILE;
    if (!WriteFile(m_hFile.Get(), buffer, count, &m_dwBytesWritten, overlapped))
        return LastErrorResult();
    if (bytesWritten)
        *bytesWritten = m_dwBytesWritten;
    return S_OK;
}

// None of the three handles shares deletion, so the file can't be renamed
// or replaced meanwhile. A handle that refuses writers can't be opened while
// a writer is open: a bridge that shares writing is opened from the writer
// first, the writer closed, and the hold opened from the bridge.
HRESULT HoldAgainstWriters(CDiskFile& writer, CDiskFile& held)
{
    held.Reset();
    CDiskFile bridge;
    HRESULT result = bridge.Reopen(writer, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (FAILED(result))
        return result;
    result = writer.Close();
    if (FAILED(result))
        return result;
    return held.Reopen(bridge, GENERIC_READ, FILE_SHARE_READ);
}

CHeldFileList::~CHeldFileList()
{
    Clear();
}

HRESULT CHeldFileList::Hold(CDiskFile& writer)
{
    CDiskFile* held = new (std::nothrow) CDiskFile;
    if (!held)
        return E_OUTOFMEMORY;
    HRESULT result = HoldAgainstWriters(writer, *held);
    if (SUCCEEDED(result) && !PushBack(held, true))
        result = E_OUTOFMEMORY;
    if (FAILED(result))
        delete held;
    return result;
}

void CHeldFileList::ReleaseItem(void* item)
{
    delete static_cast<CDiskFile*>(item);
}

HRESULT DeleteDiskFile(const HeldFolder& folder, const char* name)
{
    HRESULT result = RemoveFileInFolder(folder, name);
    if (FAILED(result)) {
        LogFailure(result, "Failed to delete %s%s", LogText(folder.path), LogText(name));
        return result;
    }
    LogEvent("Deleted %s%s", LogText(folder.path), LogText(name));
    return S_OK;
}
