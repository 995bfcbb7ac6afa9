#include "base/event_handle.h"

bool CEventHandle::CreateIfAbsent(bool manualReset)
{
    if (!m_hEvent)
        m_hEvent.Reset(CreateEventA(nullptr, manualReset ? TRUE : FALSE, FALSE, nullptr));
    return m_hEvent.IsValid();
}

bool CEventHandle::Set() const
{
    return m_hEvent && SetEvent(m_hEvent.Get());
}

bool CEventHandle::Reset() const
{
    return m_hEvent && ResetEvent(m_hEvent.Get());
}

bool CEventHandle::IsSignalled() const
{
    return m_hEvent && WaitForSingleObject(m_hEvent.Get(), 0) == WAIT_OBJECT_0;
}

DWORD CEventHandle::Wait(DWORD milliseconds) const
{
    return m_hEvent ? WaitForSingleObject(m_hEvent.Get(), milliseconds) : WAIT_FAILED;
}
