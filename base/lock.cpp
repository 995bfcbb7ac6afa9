#include "base/lock.h"

CLock::CLock()
{
    InitializeCriticalSection(&m_Section);
}

CLock::~CLock()
{
    DeleteCriticalSection(&m_Section);
}

void CLock::Lock()
{
    EnterCriticalSection(&m_Section);
}

void CLock::Unlock()
{
    LeaveCriticalSection(&m_Section);
}

bool CLock::TryLock()
{
    return TryEnterCriticalSection(&m_Section) != FALSE;
}

void CLock::Renew()
{
    DeleteCriticalSection(&m_Section);
    InitializeCriticalSection(&m_Section);
}
