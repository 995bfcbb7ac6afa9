#include "setup/windows_family.h"

#include <windows.h>

int GetWindowsFamily()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version); // 148 bytes
#ifdef _MSC_VER
#pragma warning(suppress : 4996) // the family is all we need of the version
#endif
    if (!GetVersionExA(&version))
        return WINFAMILY_95;
    switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32_NT: return version.dwMajorVersion <= 4 ? WINFAMILY_NT4 : WINFAMILY_NT5;
    case VER_PLATFORM_WIN32_WINDOWS: {
        const DWORD build = version.dwBuildNumber & 0xFFFF;
        if (build <= 1353)
            return WINFAMILY_95;
        return build < 3000 ? WINFAMILY_98 : WINFAMILY_ME;
    }
    default: return WINFAMILY_95;
    }
}
