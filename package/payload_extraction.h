#pragma once
// Writes one of the payloads the program carries in its resources (type
// 1001) to a file, byte for byte, restoring its scrambled chunks on the way,
// and checks the written file against the payload's recorded SHA-256.
#include <windows.h>

// S_OK when the whole payload was written to outputPath (an existing file
// is replaced) and matches its recorded digest. A file that does not match,
// or a payload without a digest, gives PAYLOAD_E_DIGEST_MISMATCH
// (payload_digest.h), and the file is deleted.
// HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND) or E_FAIL (empty, not
// loadable): no file is created. A failed write gives its failure (a short
// one HRESULT_FROM_WIN32(ERROR_WRITE_FAULT)) and leaves the partial file.
// The outcome goes to the setup log.
HRESULT ExtractPayload(WORD resourceId, const char* outputPath);
