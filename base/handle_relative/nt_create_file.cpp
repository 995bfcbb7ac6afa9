#include "base/handle_relative/nt_create_file.h"

#include <winternl.h>

#include "base/last_error.h"
#include "base/run_time_calls.h"

namespace {

typedef NTSTATUS(NTAPI* NtCreateFileFunction)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK,
                                              PLARGE_INTEGER, ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
typedef ULONG(NTAPI* NtStatusToErrorFunction)(NTSTATUS);

} // namespace

DWORD NtStatusToWin32Error(NTSTATUS status)
{
    NtStatusToErrorFunction toError = RunTimeFunction<NtStatusToErrorFunction>(RunTimeCall::RtlNtStatusToDosError);
    return toError ? toError(status) : ERROR_GEN_FAILURE;
}

HRESULT NtCreateFileIn(HANDLE folder, const wchar_t* name, ULONG nameChars, ACCESS_MASK access, ULONG share,
                       ULONG disposition, ULONG options, PSECURITY_DESCRIPTOR descriptor, UniqueFileHandle& opened)
{
    opened.Reset();
    if (!folder || folder == INVALID_HANDLE_VALUE || (!name && nameChars != 0) || nameChars > 255)
        return E_INVALIDARG;
    NtCreateFileFunction createFile = RunTimeFunction<NtCreateFileFunction>(RunTimeCall::NtCreateFile);
    if (!createFile)
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

    UNICODE_STRING text;
    text.Buffer = const_cast<wchar_t*>(name);
    text.Length = static_cast<USHORT>(nameChars * sizeof(wchar_t));
    text.MaximumLength = text.Length;
    OBJECT_ATTRIBUTES attributes = {};
    attributes.Length = sizeof attributes;
    attributes.RootDirectory = folder;
    attributes.ObjectName = &text;
    attributes.Attributes = OBJ_CASE_INSENSITIVE;
    attributes.SecurityDescriptor = descriptor;
    IO_STATUS_BLOCK status = {};
    HANDLE handle = nullptr;
    NTSTATUS result = createFile(&handle, access | SYNCHRONIZE, &attributes, &status, nullptr, FILE_ATTRIBUTE_NORMAL,
                                 share, disposition, options | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (result < 0)
        return Win32ErrorResult(NtStatusToWin32Error(result));
    opened.Reset(handle);
    return S_OK;
}
