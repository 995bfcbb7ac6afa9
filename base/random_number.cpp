#include "base/random_number.h"

#include "base/crypt_provider.h"

bool NewRandomNumber(unsigned* number)
{
    UniqueCryptProvider provider;
    if (!CryptAcquireContextA(provider.Put(), nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT | CRYPT_SILENT)) {
        provider.Release(); // a failed call hands out no provider
        return false;
    }
    unsigned made = 0;
    if (!CryptGenRandom(provider.Get(), sizeof(made), reinterpret_cast<BYTE*>(&made)))
        return false;
    *number = made;
    return true;
}
