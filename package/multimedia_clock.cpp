#include "package/multimedia_clock.h"

#include "base/system_library.h"

CMultimediaClock::CMultimediaClock() : m_hWinmm(LoadSystemLibrary("winmm.dll")), m_pTimeGetTime(nullptr)
{
    if (m_hWinmm)
        m_pTimeGetTime = ProcAddress<TimeGetTimeFn>(m_hWinmm, "timeGetTime");
}

CMultimediaClock::~CMultimediaClock()
{
    if (m_hWinmm)
        FreeLibrary(m_hWinmm);
}

DWORD CMultimediaClock::Now() const
{
    return m_pTimeGetTime ? m_pTimeGetTime() : GetTickCount();
}
