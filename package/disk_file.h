#pragma once
// The owned handle of one open file: open, read, write and close, each
// reporting a result code (0 success, 1 no open file, negative failure).
// Every file the setup creates or reads by itself goes through it.
#include <windows.h>

#include "base/handle_relative/held_folder.h"
#include "base/item_list.h"
#include "base/last_error.h"
#include "base/text_string.h"
#include "base/unique_handle.h"

class CDiskFile {
public:
    // Closes any open file, clears the counters and the path. Always 0.
    HRESULT Reset();
    // Note the order: disposition before access. The path stays recorded
    // also when the open fails.
    HRESULT Open(const char* path, DWORD disposition, DWORD access, DWORD share, DWORD flagsAndAttributes,
                 LPSECURITY_ATTRIBUTES security);
    // Makes name as a new file in the held folder (held_folder.h: never
    // through a link, never over what is there; a name that exists gives
    // HRESULT_FROM_WIN32(ERROR_FILE_EXISTS)). The path recorded is the
    // folder's path and the name. A failure goes to the setup log, a name
    // another program put there first as such.
    HRESULT Create(const HeldFolder& folder, const char* name, DWORD access, DWORD share);
    // Opens the file other holds once more (the same file, whatever its
    // path names by now) with this access and sharing; the path is taken
    // over. Fails (ERROR_INVALID_HANDLE) when other holds no file: there is
    // nothing to reopen, and a caller holding the result must not go on.
    HRESULT Reopen(const CDiskFile& other, DWORD access, DWORD share);
    // A failed close keeps the handle: the object still counts as open.
    HRESULT Close();
    // A read of a non-zero count that delivers no byte is end of file
    // (0x80070026); a short read is success.
    HRESULT Read(void* buffer, DWORD count, DWORD* bytesRead = nullptr, LPOVERLAPPED overlapped = nullptr);
    // A short write is not detected here: callers compare the count.
    HRESULT Write(const void* buffer, DWORD count, DWORD* bytesWritten = nullptr, LPOVERLAPPED overlapped = nullptr);

    bool IsOpen() const { return m_hFile.IsValid(); }
    // The open file for the calls the object does not make itself (moving
    // the file pointer, its size); INVALID_HANDLE_VALUE while none is open.
    // The object keeps owning it.
    HANDLE GetHandle() const { return m_hFile.Get(); }
    // The byte counts of the last read and the last write.
    DWORD GetBytesRead() const { return m_dwBytesRead; }
    DWORD GetBytesWritten() const { return m_dwBytesWritten; }
    // The path of the last open, also of one that failed.
    const CTextString& GetPath() const { return m_strPath; }

private:
    UniqueFileHandle m_hFile;
    DWORD m_dwBytesRead = 0;
    DWORD m_dwBytesWritten = 0;
    CTextString m_strPath;
};

// Goes from the writing handle to one that only reads and lets nobody
// write, rename or delete the file, without opening it by its path again;
// the writer is closed on the way. A program that opened the file for
// writing in between makes it fail. Whenever it fails, held holds nothing.
HRESULT HoldAgainstWriters(CDiskFile& writer, CDiskFile& held);

// Files held against writers (as HoldAgainstWriters holds them) until the
// list goes or is cleared: the entries of a package, until the installer
// that uses them has ended.
class CHeldFileList : public CItemList {
public:
    ~CHeldFileList() override;
    // Holds the file writer has open (HoldAgainstWriters) in the list; the
    // writer is closed on the way. The failure when it can't be held.
    HRESULT Hold(CDiskFile& writer);

protected:
    void ReleaseItem(void* item) override;
};

// Deletes a file the setup wrote in the held folder (an installer it ran),
// or a link put at its name itself; the platform's failure when it can't
// be deleted. Both go to the setup log.
HRESULT DeleteDiskFile(const HeldFolder& folder, const char* name);
