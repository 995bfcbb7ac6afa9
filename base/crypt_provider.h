#pragma once
// The owner of a CryptoAPI provider handle (CryptAcquireContext's), released
// with CryptReleaseContext when it goes.
#include <windows.h>
#include <wincrypt.h>

#include "base/unique_handle.h"

struct CryptProviderTraits {
    using Type = HCRYPTPROV;
    static constexpr Type Empty() { return 0; }
    static void Close(Type value) { CryptReleaseContext(value, 0); }
};
using UniqueCryptProvider = UniqueHandle<CryptProviderTraits>;
