#include "base/event_handle.h"

CEventHandle::CEventHandle(const char* label) : m_pszLabel(label), m_hEvent(nullptr)
{
}

CEventHandle::~CEventHandle()
{
    Close();
}

bool CEventHandle::CreateIfAbsent(bool manualReset)
{
    if (!m_hEvent)
        m_hEvent = CreateEventA(nullptr, manualReset ? TRUE : FALSE, FALSE, nullptr);
    return m_hEvent != nullptr;
}

void CEventHandle::Close()
{
    if (m_hEvent) {
        CloseHandle(m_hEvent);
        m_hEvent = nullptr;
    }
}

bool CEventHandle::Set() const
{
    return m_hEvent && SetEvent(m_hEvent);
}

bool CEventHandle::Reset() const
{
    return m_hEvent && ResetEvent(m_hEvent);
}

bool CEventHandle::IsSignalled() const
{
    return m_hEvent && WaitForSingleObject(m_hEvent, 0) == WAIT_OBJECT_0;
}

DWORD CEventHandle::Wait(DWORD milliseconds) const
{
    return m_hEvent ? WaitForSingleObject(m_hEvent, milliseconds) : WAIT_FAILED;
}
