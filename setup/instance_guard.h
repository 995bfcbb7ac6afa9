#pragma once
// The single-instance guard: the named mutex "MUTEX_BRIXELCASTSETUP", held
// from the guard step until WinMain returns.
#include <windows.h>

class CInstanceGuard {
public:
    CInstanceGuard() = default;
    ~CInstanceGuard();
    CInstanceGuard(const CInstanceGuard&) = delete;
    CInstanceGuard& operator=(const CInstanceGuard&) = delete;

    // False when another copy of the setup holds the mutex or it can't be made.
    bool Acquire();

private:
    HANDLE m_hMutex = nullptr;
};

// Security attributes with the default descriptor and an inheritable handle.
SECURITY_ATTRIBUTES InheritableDefaultSecurity();
