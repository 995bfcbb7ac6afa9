#pragma once
// The check of a written payload: the program carries, beside each payload,
// the SHA-256 of its plain bytes (a resource of type RT_PAYLOAD_DIGEST under
// the payload's id, made at build time). The written file is read back and
// hashed with the platform's own CryptoAPI, so a damaged medium or a changed
// program is caught before anything of the payload runs.
#include <windows.h>

const DWORD PAYLOAD_DIGEST_SIZE = 32;

// What a written payload that does not match its recorded digest, or a
// payload without a digest, gives: CRYPT_E_HASH_VALUE.
extern const HRESULT PAYLOAD_E_DIGEST_MISMATCH;

// The SHA-256 of the file's content (CALG_SHA_256 of the PROV_RSA_AES provider).
HRESULT HashFileSha256(const char* path, BYTE (&digest)[PAYLOAD_DIGEST_SIZE]);

// S_OK when the file's SHA-256 equals the digest recorded for the payload
// resourceId; PAYLOAD_E_DIGEST_MISMATCH when it differs or none (or one of
// another size) is recorded; the failure of reading or hashing the file otherwise.
HRESULT CheckPayloadDigest(WORD resourceId, const char* path);
