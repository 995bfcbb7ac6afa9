#include "package/multimedia_clock.h"

#include "base/system_library.h"

CMultimediaClock::CMultimediaClock() : m_hWinmm(LoadSystemLibrary("winmm.dll")), m_pTimeGetTime(nullptr)
{
    if (m_hWinmm)
        m_pTimeGetTime = ProcAddress<TimeGetTimeFn>(m_hWinmm.Get(), "timeGetTime");
}

DWORD CMultimediaClock::Now() const
{
    return m_pTimeGetTime ? m_pTimeGetTime() : GetTickCount();
}
