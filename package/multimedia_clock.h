#pragma once
// The millisecond clock of the installer window search: timeGetTime of
// winmm.dll, loaded from the system folder at run time so that the program's
// import table names only DLLs Windows always takes from there.
#include <windows.h>

#include "base/unique_handle.h"

class CMultimediaClock {
public:
    CMultimediaClock();

    // Milliseconds since Windows started (timeGetTime); GetTickCount when
    // winmm.dll is not available.
    DWORD Now() const;

private:
    typedef DWORD(WINAPI* TimeGetTimeFn)();
    UniqueModule m_hWinmm;
    TimeGetTimeFn m_pTimeGetTime;
};
