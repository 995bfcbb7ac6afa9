#include "base/handle_relative/folder_tree_removal.h"

#include <memory>
#include <new>

#include "base/handle_relative/nt_create_file.h"
#include "base/last_error.h"
#include "base/unique_handle.h"
#include "base/handle_relative/vista_file_calls.h"

namespace {

// Folders nested deeper than this are left (with what holds them).
const int MAX_DEPTH = 32;
const DWORD LISTING_SIZE = 16 * 1024;
const DWORD NAME_CHARS = 1024;

// ERROR_STOPPED_ON_SYMLINK, which not every SDK names.
const DWORD ERROR_STOPPED_ON_LINK = 681;
const HRESULT RESULT_NOT_THE_ENTRY = HRESULT_FROM_WIN32(ERROR_STOPPED_ON_LINK);

// The path of what a handle opened (without its drive), as the platform names it.
class CHandleName {
public:
    HRESULT Query(HANDLE handle)
    {
        m_pInfo.reset(static_cast<FILE_NAME_INFO*>(::operator new(BUFFER_SIZE, std::nothrow)));
        if (!m_pInfo)
            return E_OUTOFMEMORY;
        if (!GetFileInformationByHandleExOnAnyNt(handle, FileNameInfo, m_pInfo.get(), BUFFER_SIZE))
            return LastErrorResult();
        return S_OK;
    }
    // Whether this name is parent's name, a backslash and entry (a root's
    // name, "\\", ends in its backslash already).
    bool IsEntryOf(const CHandleName& parent, const wchar_t* entry, ULONG entryChars) const
    {
        const wchar_t* name = m_pInfo->FileName;
        ULONG parentChars = parent.Length();
        if (parentChars > 0 && parent.m_pInfo->FileName[parentChars - 1] == L'\\')
            --parentChars;
        if (Length() != parentChars + 1 + entryChars || name[parentChars] != L'\\')
            return false;
        return CompareStringOrdinalOnAnyNt(name, static_cast<int>(parentChars), parent.m_pInfo->FileName,
                                           static_cast<int>(parentChars), TRUE) == CSTR_EQUAL &&
               CompareStringOrdinalOnAnyNt(name + parentChars + 1, static_cast<int>(entryChars), entry,
                                           static_cast<int>(entryChars), TRUE) == CSTR_EQUAL;
    }

private:
    static const DWORD BUFFER_SIZE = sizeof(FILE_NAME_INFO) + NAME_CHARS * sizeof(wchar_t);
    struct Deleter {
        void operator()(FILE_NAME_INFO* info) const { ::operator delete(info); }
    };
    ULONG Length() const { return m_pInfo->FileNameLength / sizeof(wchar_t); }
    std::unique_ptr<FILE_NAME_INFO, Deleter> m_pInfo;
};

HRESULT RemoveContents(HANDLE folder, const CHandleName& folderName, int depth);

// Marks the open entry for deletion; a read-only file loses that attribute first.
HRESULT MarkForDeletion(HANDLE entry, DWORD attributes)
{
    FILE_DISPOSITION_INFO disposition = {};
    disposition.DeleteFile = TRUE;
    if (SetFileInformationByHandleOnAnyNt(entry, FileDispositionInfo, &disposition, sizeof disposition))
        return S_OK;
    HRESULT result = LastErrorResult();
    if (result != HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED) || !(attributes & FILE_ATTRIBUTE_READONLY))
        return result;
    FILE_BASIC_INFO basic = {}; // times of 0 stay as they are
    const DWORD kept =
        attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
    basic.FileAttributes = kept ? kept : FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandleOnAnyNt(entry, FileBasicInfo, &basic, sizeof basic) ||
        !SetFileInformationByHandleOnAnyNt(entry, FileDispositionInfo, &disposition, sizeof disposition))
        return LastErrorResult();
    return S_OK;
}

// Opens an entry of the folder to remove it: as what it is, a link as itself.
HRESULT OpenToRemove(HANDLE folder, const wchar_t* name, ULONG nameChars, UniqueFileHandle& entry)
{
    return NtCreateFileIn(folder, name, nameChars, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_OPEN,
                          FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT, nullptr, entry);
}

// What the entry's handle says decides what is done. depth < 0: a real
// folder is left as it is.
HRESULT RemoveEntry(HANDLE folder, const CHandleName& folderName, const wchar_t* name, ULONG nameChars, int depth)
{
    UniqueFileHandle entry;
    HRESULT result = OpenToRemove(folder, name, nameChars, entry);
    if (FAILED(result))
        return result;
    // Where the platform followed a link after all, the handle names the
    // link's target: that is not ours to remove.
    CHandleName entryName;
    result = entryName.Query(entry.Get());
    if (FAILED(result))
        return result;
    if (!entryName.IsEntryOf(folderName, name, nameChars))
        return RESULT_NOT_THE_ENTRY;
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    if (!GetFileInformationByHandleExOnAnyNt(entry.Get(), FileAttributeTagInfo, &tag, sizeof tag))
        return LastErrorResult();
    if ((tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (depth < 0)
            return HRESULT_FROM_WIN32(ERROR_DIRECTORY);
        if (depth >= MAX_DEPTH)
            return HRESULT_FROM_WIN32(ERROR_DIR_NOT_EMPTY);
        // Listed through a second handle on the same folder (not by its path).
        UniqueFileHandle listing(ReOpenFileOnAnyNt(entry.Get(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                   FILE_FLAG_BACKUP_SEMANTICS));
        if (!listing)
            return LastErrorResult();
        result = RemoveContents(listing.Get(), entryName, depth + 1);
        if (FAILED(result))
            return result;
    }
    return MarkForDeletion(entry.Get(), tag.FileAttributes);
}

bool IsDotEntry(const FILE_ID_BOTH_DIR_INFO& info)
{
    const ULONG chars = info.FileNameLength / sizeof(wchar_t);
    return (chars == 1 && info.FileName[0] == L'.') ||
           (chars == 2 && info.FileName[0] == L'.' && info.FileName[1] == L'.');
}

HRESULT RemoveContents(HANDLE folder, const CHandleName& folderName, int depth)
{
    std::unique_ptr<BYTE[]> listing(new (std::nothrow) BYTE[LISTING_SIZE]);
    if (!listing)
        return E_OUTOFMEMORY;
    HRESULT first = S_OK;
    // FileIdBothDirectoryInfo: the listing class Windows Vista and 7 know
    // (FileFullDirectoryInfo came with Windows 8); on XP the ntdll stand-in
    // asks NtQueryDirectoryFile for the same class.
    for (FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;; kind = FileIdBothDirectoryInfo) {
        if (!GetFileInformationByHandleExOnAnyNt(folder, kind, listing.get(), LISTING_SIZE)) {
            HRESULT result = LastErrorResult();
            if (result == HRESULT_FROM_WIN32(ERROR_NO_MORE_FILES))
                return first;
            return SUCCEEDED(first) ? result : first;
        }
        for (DWORD offset = 0;;) {
            const FILE_ID_BOTH_DIR_INFO& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(listing.get() + offset);
            if (!IsDotEntry(info)) {
                HRESULT result =
                    RemoveEntry(folder, folderName, info.FileName, info.FileNameLength / sizeof(wchar_t), depth);
                if (FAILED(result) && SUCCEEDED(first))
                    first = result;
            }
            if (info.NextEntryOffset == 0)
                break;
            offset += info.NextEntryOffset;
        }
    }
}

} // namespace

HRESULT RemoveFolderFile(HANDLE folder, const wchar_t* name, ULONG nameChars)
{
    CHandleName folderName;
    HRESULT result = folderName.Query(folder);
    if (FAILED(result))
        return result;
    return RemoveEntry(folder, folderName, name, nameChars, -1);
}

HRESULT RemoveFolderContents(HANDLE folder)
{
    CHandleName folderName;
    HRESULT result = folderName.Query(folder);
    if (FAILED(result))
        return result;
    return RemoveContents(folder, folderName, 0);
}

bool GetFileIdentity(HANDLE handle, FileIdentity* identity)
{
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(handle, &info))
        return false;
    identity->volume = info.dwVolumeSerialNumber;
    identity->indexHigh = info.nFileIndexHigh;
    identity->indexLow = info.nFileIndexLow;
    return true;
}

HRESULT RemoveEmptiedFolder(HANDLE parent, const wchar_t* name, ULONG nameChars, const FileIdentity& identity)
{
    UniqueFileHandle folder;
    HRESULT result = OpenToRemove(parent, name, nameChars, folder);
    if (FAILED(result))
        return result;
    FileIdentity found;
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    if (!GetFileIdentity(folder.Get(), &found) ||
        !GetFileInformationByHandleExOnAnyNt(folder.Get(), FileAttributeTagInfo, &tag, sizeof tag))
        return LastErrorResult();
    if (found.volume != identity.volume || found.indexHigh != identity.indexHigh ||
        found.indexLow != identity.indexLow || !(tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return RESULT_NOT_THE_ENTRY;
    return MarkForDeletion(folder.Get(), tag.FileAttributes);
}
