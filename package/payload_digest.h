#pragma once
// The check of a written payload: the program carries, beside each payload,
// the SHA-256 of its plain bytes (a resource of type RT_PAYLOAD_DIGEST under
// the payload's id, made at build time). The bytes are hashed with the
// platform's own CryptoAPI as they are written, so a damaged medium or a
// changed program is caught before anything of the payload runs.
#include <windows.h>
#include <wincrypt.h>

#include "base/crypt_provider.h"
#include "base/unique_handle.h"

const DWORD PAYLOAD_DIGEST_SIZE = 32;

// What a written payload that does not match its recorded digest, or a
// payload without a digest, gives: CRYPT_E_HASH_VALUE.
extern const HRESULT PAYLOAD_E_DIGEST_MISMATCH;

// A SHA-256 hash (CALG_SHA_256 of the PROV_RSA_AES provider), fed in pieces.
class CPayloadHash {
public:
    HRESULT Create();
    HRESULT Add(const BYTE* data, DWORD count);
    // The digest of everything added; the hash takes no more data afterwards.
    HRESULT Finish(BYTE (&digest)[PAYLOAD_DIGEST_SIZE]);

private:
    // The hash is destroyed before the provider it belongs to.
    UniqueCryptProvider m_hProvider;
    UniqueHandle<NullHandleTraits<HCRYPTHASH, CryptDestroyHash>> m_hHash;
};

// True when the program records a digest (of the right size) for payload resourceId.
bool HasRecordedDigest(WORD resourceId);

// S_OK when digest equals the one recorded for payload resourceId;
// PAYLOAD_E_DIGEST_MISMATCH when it differs or none (or one of another size)
// is recorded.
HRESULT CheckPayloadDigest(WORD resourceId, const BYTE (&digest)[PAYLOAD_DIGEST_SIZE]);

// A digest as the log gives it: 64 lower-case hexadecimal digits.
const DWORD PAYLOAD_DIGEST_TEXT_SIZE = PAYLOAD_DIGEST_SIZE * 2 + 1;
void FormatDigest(const BYTE (&digest)[PAYLOAD_DIGEST_SIZE], char (&text)[PAYLOAD_DIGEST_TEXT_SIZE]);
// The digest recorded for payload resourceId so, or "none".
void FormatRecordedDigest(WORD resourceId, char (&text)[PAYLOAD_DIGEST_TEXT_SIZE]);
