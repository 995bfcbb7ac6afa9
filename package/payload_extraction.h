#pragma once
// Writes one of the payloads the program carries in its resources (type
// 1001) to a file, byte for byte, restoring its scrambled chunks on the way,
// and checks the written file against the payload's recorded SHA-256.
#include <windows.h>

// S_OK when the whole payload was written and matches its recorded digest.
// A file that does not match, or a payload without a digest, gives
// PAYLOAD_E_DIGEST_MISMATCH (payload_digest.h), and the file is deleted.
// HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND) or E_FAIL (empty, not
// loadable): no file is created. A failed write gives its failure and leaves
// the partial file.
HRESULT WritePayload(WORD resourceId, const char* outputPath);

// True when the whole payload was written to outputPath and passed its
// check (WritePayload). A resource the program doesn't hold, or an empty one,
// creates no file; an existing file is replaced; a write that fails or comes
// up short gives false and leaves the partial file.
bool ExtractPayload(WORD resourceId, const char* outputPath);
