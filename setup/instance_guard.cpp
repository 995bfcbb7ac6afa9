#include "setup/instance_guard.h"

#include <utility>

SECURITY_ATTRIBUTES InheritableDefaultSecurity()
{
    SECURITY_ATTRIBUTES attributes = {};
    attributes.nLength = sizeof(attributes);
    attributes.lpSecurityDescriptor = nullptr;
    attributes.bInheritHandle = TRUE;
    return attributes;
}

bool CInstanceGuard::Acquire()
{
    SECURITY_ATTRIBUTES attributes = InheritableDefaultSecurity();
    UniqueKernelHandle mutex(CreateMutexA(&attributes, FALSE, "MUTEX_BRIXELCASTSETUP"));
    if (GetLastError() == ERROR_ALREADY_EXISTS || !mutex)
        return false;
    m_hMutex = std::move(mutex);
    return true;
}
