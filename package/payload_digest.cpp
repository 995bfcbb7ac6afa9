#include "package/payload_digest.h"

#include <wincrypt.h>

#include <cstring>
#include <memory>
#include <new>

#include "base/module_instance.h"
#include "base/unique_handle.h"
#include "package/disk_file.h"
#include "resource_ids.h"

const HRESULT PAYLOAD_E_DIGEST_MISMATCH = CRYPT_E_HASH_VALUE;

namespace {

const DWORD HASH_PIECE_SIZE = 64 * 1024;

HRESULT ResultOfLastError()
{
    DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

struct CryptProviderTraits {
    using Type = HCRYPTPROV;
    static Type Empty() { return 0; }
    static void Close(Type value) { CryptReleaseContext(value, 0); }
};

// A SHA-256 hash object of the AES provider (the one that knows SHA-256),
// released with its provider.
class CSha256Hash {
public:
    HRESULT Create()
    {
        if (!CryptAcquireContextA(m_hProvider.Put(), nullptr, nullptr, PROV_RSA_AES,
                                  CRYPT_VERIFYCONTEXT | CRYPT_SILENT)) {
            m_hProvider.Release(); // a failed call hands out no provider
            return ResultOfLastError();
        }
        if (!CryptCreateHash(m_hProvider.Get(), CALG_SHA_256, 0, 0, m_hHash.Put())) {
            m_hHash.Release(); // nor a failed call a hash
            return ResultOfLastError();
        }
        return S_OK;
    }
    HRESULT Add(const BYTE* data, DWORD count)
    {
        return CryptHashData(m_hHash.Get(), data, count, 0) ? S_OK : ResultOfLastError();
    }
    HRESULT Finish(BYTE (&digest)[PAYLOAD_DIGEST_SIZE])
    {
        DWORD size = PAYLOAD_DIGEST_SIZE;
        if (!CryptGetHashParam(m_hHash.Get(), HP_HASHVAL, digest, &size, 0))
            return ResultOfLastError();
        return size == PAYLOAD_DIGEST_SIZE ? S_OK : E_FAIL;
    }

private:
    // The hash is destroyed before the provider it belongs to.
    UniqueHandle<CryptProviderTraits> m_hProvider;
    UniqueHandle<NullHandleTraits<HCRYPTHASH, CryptDestroyHash>> m_hHash;
};

// The digest recorded for the payload, or null when there is none of the right size.
const BYTE* RecordedDigest(WORD resourceId)
{
    HMODULE module = g_hInstance ? g_hInstance : GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(RT_PAYLOAD_DIGEST));
    if (!found || SizeofResource(module, found) != PAYLOAD_DIGEST_SIZE)
        return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    return loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

} // namespace

HRESULT HashFileSha256(const char* path, BYTE (&digest)[PAYLOAD_DIGEST_SIZE])
{
    CSha256Hash hash;
    HRESULT result = hash.Create();
    if (FAILED(result))
        return result;
    CDiskFile file;
    result = file.Open(path, OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ, 0, nullptr);
    if (FAILED(result))
        return result;
    std::unique_ptr<BYTE[]> piece(new (std::nothrow) BYTE[HASH_PIECE_SIZE]);
    if (!piece)
        return E_OUTOFMEMORY;
    DWORD count = 0;
    while (SUCCEEDED(result = file.Read(piece.get(), HASH_PIECE_SIZE, &count))) {
        result = hash.Add(piece.get(), count);
        if (FAILED(result))
            break;
    }
    // Reading to the end is the one way out of the loop that is no failure.
    if (result != HRESULT_FROM_WIN32(ERROR_HANDLE_EOF))
        return result;
    return hash.Finish(digest);
}

HRESULT CheckPayloadDigest(WORD resourceId, const char* path)
{
    const BYTE* recorded = RecordedDigest(resourceId);
    if (!recorded)
        return PAYLOAD_E_DIGEST_MISMATCH;
    BYTE digest[PAYLOAD_DIGEST_SIZE];
    HRESULT result = HashFileSha256(path, digest);
    if (FAILED(result))
        return result;
    return std::memcmp(digest, recorded, PAYLOAD_DIGEST_SIZE) == 0 ? S_OK : PAYLOAD_E_DIGEST_MISMATCH;
}
