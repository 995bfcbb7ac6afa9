#pragma once
// The single-instance guard: the named mutex "MUTEX_BRIXELCASTSETUP", held
// from the guard step until WinMain returns.
#include <windows.h>

#include "base/unique_handle.h"

class CInstanceGuard {
public:
    // False when another copy of the setup holds the mutex or it can't be made.
    bool Acquire();

private:
    UniqueKernelHandle m_hMutex;
};

// Security attributes with the default descriptor and an inheritable handle.
SECURITY_ATTRIBUTES InheritableDefaultSecurity();
