#pragma once
// Result codes of the package code, with the values of the platform's HRESULT
// convention so that they flow up unchanged through the Win32 side. Negative
// means failure.
#include <cstdint>

typedef int32_t PackageResult;

constexpr PackageResult PACKAGE_OK = 0;
// The file is not a "PK24" archive, or an entry is malformed or hostile.
constexpr PackageResult PACKAGE_E_FAIL = static_cast<PackageResult>(0x80004005u);
// A read of a non-zero count delivered no byte: the file ended too soon.
constexpr PackageResult PACKAGE_E_END_OF_FILE = static_cast<PackageResult>(0x80070026u);
// A write stored fewer bytes than it was given.
constexpr PackageResult PACKAGE_E_DISK_FULL = static_cast<PackageResult>(0x80070070u);
constexpr PackageResult PACKAGE_E_OUTOFMEMORY = static_cast<PackageResult>(0x8007000Eu);

inline bool PackageFailed(PackageResult result)
{
    return result < 0;
}
