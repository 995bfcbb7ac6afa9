#include "base/handle_relative/vista_file_calls.h"

#include <winternl.h>

#include <cstring>
#include <cwchar>

#include "base/handle_relative/nt_create_file.h"

namespace {

// ntdll's information classes used here (older SDKs name few of them).
enum NtInformationClass {
    NT_FILE_ID_BOTH_DIRECTORY_INFORMATION = 37,
    NT_FILE_BASIC_INFORMATION = 4,
    NT_FILE_STANDARD_INFORMATION = 5,
    NT_FILE_NAME_INFORMATION = 9,
    NT_FILE_DISPOSITION_INFORMATION = 13,
    NT_FILE_ALLOCATION_INFORMATION = 19,
    NT_FILE_END_OF_FILE_INFORMATION = 20,
    NT_FILE_ATTRIBUTE_TAG_INFORMATION = 35,
    NT_FILE_FS_VOLUME_INFORMATION = 1,
    NT_FILE_FS_ATTRIBUTE_INFORMATION = 5,
};
const int NO_NT_CLASS = -1;

// NtQueryInformationFile, NtSetInformationFile and NtQueryVolumeInformationFile.
typedef NTSTATUS(NTAPI* NtInformationFunction)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, int);
typedef NTSTATUS(NTAPI* NtQueryDirectoryFileFunction)(HANDLE, HANDLE, PVOID, PVOID, PIO_STATUS_BLOCK, PVOID, ULONG, int,
                                                      BOOLEAN, PUNICODE_STRING, BOOLEAN);
typedef WCHAR(NTAPI* UpcaseFunction)(WCHAR);

// kernel32's answer to an ntdll call: TRUE, or FALSE with the status's
// error as the thread's last error.
BOOL Answer(NTSTATUS status)
{
    if (status >= 0)
        return TRUE;
    SetLastError(NtStatusToWin32Error(status));
    return FALSE;
}

BOOL Refuse(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// A call on a handle opened for overlapped I/O may answer before it is
// done: its status once it is.
NTSTATUS Completed(HANDLE file, NTSTATUS status, const IO_STATUS_BLOCK& io)
{
    if (status != STATUS_PENDING)
        return status;
    WaitForSingleObject(file, INFINITE);
    return io.Status;
}

// The class of ntdll's query for a kernel32 class of the same layout.
int QueryClass(FILE_INFO_BY_HANDLE_CLASS kind)
{
    switch (kind) {
    case FileBasicInfo: return NT_FILE_BASIC_INFORMATION;
    case FileStandardInfo: return NT_FILE_STANDARD_INFORMATION;
    case FileNameInfo: return NT_FILE_NAME_INFORMATION;
    case FileAttributeTagInfo: return NT_FILE_ATTRIBUTE_TAG_INFORMATION;
    default: return NO_NT_CLASS;
    }
}

int SetClass(FILE_INFO_BY_HANDLE_CLASS kind)
{
    switch (kind) {
    case FileBasicInfo: return NT_FILE_BASIC_INFORMATION;
    case FileDispositionInfo: return NT_FILE_DISPOSITION_INFORMATION;
    case FileAllocationInfo: return NT_FILE_ALLOCATION_INFORMATION;
    case FileEndOfFileInfo: return NT_FILE_END_OF_FILE_INFORMATION;
    default: return NO_NT_CLASS;
    }
}

// The information a volume query gives, with room for any name.
template <class Information> struct CVolumeAnswer {
    Information information;
    WCHAR room[MAX_PATH];
};
struct NtVolumeInformation {
    LARGE_INTEGER VolumeCreationTime;
    ULONG VolumeSerialNumber;
    ULONG VolumeLabelLength;
    BOOLEAN SupportsObjects;
    WCHAR VolumeLabel[1];
};
struct NtAttributeInformation {
    ULONG FileSystemAttributes;
    LONG MaximumComponentNameLength;
    ULONG FileSystemNameLength;
    WCHAR FileSystemName[1];
};

template <class Information> BOOL QueryVolume(HANDLE file, int kind, CVolumeAnswer<Information>& answer)
{
    NtInformationFunction query = RunTimeFunction<NtInformationFunction>(RunTimeCall::NtQueryVolumeInformationFile);
    if (!query)
        return Refuse(ERROR_PROC_NOT_FOUND);
    IO_STATUS_BLOCK io = {};
    std::memset(&answer, 0, sizeof answer);
    return Answer(query(file, &io, &answer, sizeof answer, kind));
}

// A name of nameBytes bytes into a buffer of size characters, ended by a null.
BOOL CopyName(const WCHAR* name, ULONG nameBytes, LPWSTR buffer, DWORD size)
{
    const std::size_t chars = nameBytes / sizeof(WCHAR);
    if (chars >= size)
        return Refuse(ERROR_BAD_LENGTH);
    std::memcpy(buffer, name, chars * sizeof(WCHAR));
    buffer[chars] = 0;
    return TRUE;
}

} // namespace

HANDLE ReOpenFileWith(ReOpenFileFunction kernel32, HANDLE file, DWORD access, DWORD share, DWORD flags)
{
    if (kernel32)
        return kernel32(file, access, share, flags);
    static const struct {
        DWORD flag;
        ULONG option;
    } kOptions[] = {{FILE_FLAG_WRITE_THROUGH, FILE_WRITE_THROUGH},
                    {FILE_FLAG_SEQUENTIAL_SCAN, FILE_SEQUENTIAL_ONLY},
                    {FILE_FLAG_NO_BUFFERING, FILE_NO_INTERMEDIATE_BUFFERING},
                    {FILE_FLAG_RANDOM_ACCESS, FILE_RANDOM_ACCESS},
                    {FILE_FLAG_BACKUP_SEMANTICS, FILE_OPEN_FOR_BACKUP_INTENT},
                    {FILE_FLAG_OPEN_REPARSE_POINT, FILE_OPEN_REPARSE_POINT}};
    // As CreateFile opens: a folder only with backup semantics. The open is
    // synchronous: an overlapped one is refused with the other flags.
    ULONG options = (flags & FILE_FLAG_BACKUP_SEMANTICS) ? 0 : FILE_NON_DIRECTORY_FILE;
    DWORD unknown = flags;
    for (const auto& option : kOptions) {
        if (flags & option.flag)
            options |= option.option;
        unknown &= ~option.flag;
    }
    if (unknown) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    UniqueFileHandle reopened;
    HRESULT result =
        NtCreateFileIn(file, nullptr, 0, access | FILE_READ_ATTRIBUTES, share, FILE_OPEN, options, nullptr, reopened);
    if (FAILED(result)) {
        SetLastError(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : ERROR_GEN_FAILURE);
        return INVALID_HANDLE_VALUE;
    }
    return reopened.Release();
}

BOOL GetFileInformationByHandleExWith(GetFileInformationByHandleExFunction kernel32, HANDLE file,
                                      FILE_INFO_BY_HANDLE_CLASS kind, LPVOID information, DWORD size)
{
    if (kernel32)
        return kernel32(file, kind, information, size);
    IO_STATUS_BLOCK io = {};
    if (kind == FileIdBothDirectoryInfo || kind == FileIdBothDirectoryRestartInfo) {
        NtQueryDirectoryFileFunction list =
            RunTimeFunction<NtQueryDirectoryFileFunction>(RunTimeCall::NtQueryDirectoryFile);
        if (!list)
            return Refuse(ERROR_PROC_NOT_FOUND);
        const BOOLEAN restart = kind == FileIdBothDirectoryRestartInfo;
        return Answer(Completed(file,
                                list(file, nullptr, nullptr, nullptr, &io, information, size,
                                     NT_FILE_ID_BOTH_DIRECTORY_INFORMATION, FALSE, nullptr, restart),
                                io));
    }
    const int ntKind = QueryClass(kind);
    if (ntKind == NO_NT_CLASS)
        return Refuse(ERROR_INVALID_PARAMETER);
    NtInformationFunction query = RunTimeFunction<NtInformationFunction>(RunTimeCall::NtQueryInformationFile);
    if (!query)
        return Refuse(ERROR_PROC_NOT_FOUND);
    return Answer(query(file, &io, information, size, ntKind));
}

BOOL SetFileInformationByHandleWith(SetFileInformationByHandleFunction kernel32, HANDLE file,
                                    FILE_INFO_BY_HANDLE_CLASS kind, LPVOID information, DWORD size)
{
    if (kernel32)
        return kernel32(file, kind, information, size);
    const int ntKind = SetClass(kind);
    if (ntKind == NO_NT_CLASS)
        return Refuse(ERROR_INVALID_PARAMETER);
    NtInformationFunction set = RunTimeFunction<NtInformationFunction>(RunTimeCall::NtSetInformationFile);
    if (!set)
        return Refuse(ERROR_PROC_NOT_FOUND);
    IO_STATUS_BLOCK io = {};
    return Answer(set(file, &io, information, size, ntKind));
}

BOOL GetVolumeInformationByHandleWWith(GetVolumeInformationByHandleWFunction kernel32, HANDLE file, LPWSTR volumeName,
                                       DWORD volumeNameSize, LPDWORD serialNumber, LPDWORD maximumComponentLength,
                                       LPDWORD fileSystemFlags, LPWSTR fileSystemName, DWORD fileSystemNameSize)
{
    if (kernel32)
        return kernel32(file, volumeName, volumeNameSize, serialNumber, maximumComponentLength, fileSystemFlags,
                        fileSystemName, fileSystemNameSize);
    if (volumeName || serialNumber) {
        CVolumeAnswer<NtVolumeInformation> volume;
        if (!QueryVolume(file, NT_FILE_FS_VOLUME_INFORMATION, volume))
            return FALSE;
        if (volumeName &&
            !CopyName(volume.information.VolumeLabel, volume.information.VolumeLabelLength, volumeName, volumeNameSize))
            return FALSE;
        if (serialNumber)
            *serialNumber = volume.information.VolumeSerialNumber;
    }
    if (maximumComponentLength || fileSystemFlags || fileSystemName) {
        CVolumeAnswer<NtAttributeInformation> system;
        if (!QueryVolume(file, NT_FILE_FS_ATTRIBUTE_INFORMATION, system))
            return FALSE;
        if (fileSystemName && !CopyName(system.information.FileSystemName, system.information.FileSystemNameLength,
                                        fileSystemName, fileSystemNameSize))
            return FALSE;
        if (maximumComponentLength)
            *maximumComponentLength = static_cast<DWORD>(system.information.MaximumComponentNameLength);
        if (fileSystemFlags)
            *fileSystemFlags = system.information.FileSystemAttributes;
    }
    return TRUE;
}

int CompareStringOrdinalWith(CompareStringOrdinalFunction kernel32, LPCWCH first, int firstCount, LPCWCH second,
                             int secondCount, BOOL ignoreCase)
{
    if (kernel32)
        return kernel32(first, firstCount, second, secondCount, ignoreCase);
    UpcaseFunction upcase = ignoreCase ? RunTimeFunction<UpcaseFunction>(RunTimeCall::RtlUpcaseUnicodeChar) : nullptr;
    if (!first || !second || firstCount < -1 || secondCount < -1 || (ignoreCase && !upcase)) {
        SetLastError(ignoreCase && !upcase ? ERROR_PROC_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::size_t firstChars = firstCount < 0 ? std::wcslen(first) : static_cast<std::size_t>(firstCount);
    const std::size_t secondChars = secondCount < 0 ? std::wcslen(second) : static_cast<std::size_t>(secondCount);
    for (std::size_t i = 0; i < firstChars && i < secondChars; ++i) {
        const WCHAR a = upcase ? upcase(first[i]) : first[i];
        const WCHAR b = upcase ? upcase(second[i]) : second[i];
        if (a != b)
            return a < b ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
    }
    if (firstChars == secondChars)
        return CSTR_EQUAL;
    return firstChars < secondChars ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
}
