#pragma once
// The millisecond clock of the installer window search: timeGetTime of
// winmm.dll, loaded from the system folder at run time so that the program's
// import table names only DLLs Windows always takes from there.
#include <windows.h>

class CMultimediaClock {
public:
    CMultimediaClock();
    ~CMultimediaClock();
    CMultimediaClock(const CMultimediaClock&) = delete;
    CMultimediaClock& operator=(const CMultimediaClock&) = delete;

    // Milliseconds since Windows started (timeGetTime); GetTickCount when
    // winmm.dll is not available.
    DWORD Now() const;
    bool HasTimeGetTime() const { return m_pTimeGetTime != nullptr; }

private:
    typedef DWORD(WINAPI* TimeGetTimeFn)();
    HMODULE m_hWinmm;
    TimeGetTimeFn m_pTimeGetTime;
};
