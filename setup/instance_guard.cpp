#include "setup/instance_guard.h"

SECURITY_ATTRIBUTES InheritableDefaultSecurity()
{
    SECURITY_ATTRIBUTES attributes = {};
    attributes.nLength = sizeof(attributes);
    attributes.lpSecurityDescriptor = nullptr;
    attributes.bInheritHandle = TRUE;
    return attributes;
}

CInstanceGuard::~CInstanceGuard()
{
    if (m_hMutex)
        CloseHandle(m_hMutex);
}

bool CInstanceGuard::Acquire()
{
    SECURITY_ATTRIBUTES attributes = InheritableDefaultSecurity();
    HANDLE mutex = CreateMutexA(&attributes, FALSE, "MUTEX_BRIXELCASTSETUP");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        if (mutex)
            CloseHandle(mutex);
        return false;
    }
    if (!mutex)
        return false;
    m_hMutex = mutex;
    return true;
}
