#include "package/payload_digest.h"

#include <wincrypt.h>

#include <cstring>

#include "base/last_error.h"
#include "base/module_instance.h"
#include "resource_ids.h"

const HRESULT PAYLOAD_E_DIGEST_MISMATCH = CRYPT_E_HASH_VALUE;

namespace {

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

HRESULT CPayloadHash::Create()
{
    m_hHash.Reset();
    // The AES provider is the one that knows SHA-256.
    if (!CryptAcquireContextA(m_hProvider.Put(), nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT | CRYPT_SILENT)) {
        HRESULT result = LastErrorResult();
        m_hProvider.Release(); // a failed call hands out no provider
        return result;
    }
    if (!CryptCreateHash(m_hProvider.Get(), CALG_SHA_256, 0, 0, m_hHash.Put())) {
        HRESULT result = LastErrorResult();
        m_hHash.Release(); // nor a failed call a hash
        return result;
    }
    return S_OK;
}

HRESULT CPayloadHash::Add(const BYTE* data, DWORD count)
{
    if (!m_hHash)
        return E_UNEXPECTED;
    return CryptHashData(m_hHash.Get(), data, count, 0) ? S_OK : LastErrorResult();
}

HRESULT CPayloadHash::Finish(BYTE (&digest)[PAYLOAD_DIGEST_SIZE])
{
    if (!m_hHash)
        return E_UNEXPECTED;
    DWORD size = PAYLOAD_DIGEST_SIZE;
    if (!CryptGetHashParam(m_hHash.Get(), HP_HASHVAL, digest, &size, 0))
        return LastErrorResult();
    return size == PAYLOAD_DIGEST_SIZE ? S_OK : E_FAIL;
}

bool HasRecordedDigest(WORD resourceId)
{
    return RecordedDigest(resourceId) != nullptr;
}

HRESULT CheckPayloadDigest(WORD resourceId, const BYTE (&digest)[PAYLOAD_DIGEST_SIZE])
{
    const BYTE* recorded = RecordedDigest(resourceId);
    if (!recorded)
        return PAYLOAD_E_DIGEST_MISMATCH;
    return std::memcmp(digest, recorded, PAYLOAD_DIGEST_SIZE) == 0 ? S_OK : PAYLOAD_E_DIGEST_MISMATCH;
}

namespace {
void FormatBytes(const BYTE* digest, char (&text)[PAYLOAD_DIGEST_TEXT_SIZE])
{
    const char hex[] = "0123456789abcdef";
    for (DWORD i = 0; i < PAYLOAD_DIGEST_SIZE; ++i) {
        text[2 * i] = hex[digest[i] >> 4];
        text[2 * i + 1] = hex[digest[i] & 0x0F];
    }
    text[2 * PAYLOAD_DIGEST_SIZE] = 0;
}
} // namespace

void FormatDigest(const BYTE (&digest)[PAYLOAD_DIGEST_SIZE], char (&text)[PAYLOAD_DIGEST_TEXT_SIZE])
{
    FormatBytes(digest, text);
}

void FormatRecordedDigest(WORD resourceId, char (&text)[PAYLOAD_DIGEST_TEXT_SIZE])
{
    const BYTE* recorded = RecordedDigest(resourceId);
    if (recorded) {
        FormatBytes(recorded, text);
        return;
    }
    const char none[] = "none";
    for (DWORD i = 0; i < sizeof none; ++i)
        text[i] = none[i];
}
