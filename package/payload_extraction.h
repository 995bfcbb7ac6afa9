#pragma once
// Writes one of the payloads the program carries in its resources (type
// 1001) to a file, byte for byte, restoring its scrambled chunks on the way,
// and checks the bytes written against the payload's recorded SHA-256.
#include <windows.h>

#include "base/handle_relative/held_folder.h"

class CDiskFile;

// S_OK when the whole payload was written to name, made new in the held
// folder, and the bytes written match its recorded digest. A name someone
// else put there first (a file, a folder, a link) gives
// HRESULT_FROM_WIN32(ERROR_FILE_EXISTS): nothing is written, and what is
// there (or what a link points to) stays as it is. Each block
// is hashed as it is written; nobody else may write the file meanwhile.
// Then held holds the file open for reading, sharing it for reading only:
// while the caller keeps it so, no other handle can write, rename or delete
// it, and a program still starts from it.
// A payload without a digest gives PAYLOAD_E_DIGEST_MISMATCH
// (payload_digest.h) and no file; bytes that do not match give it too, and
// the file is deleted. HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND) or
// E_FAIL (empty, not loadable): no file is created. A failed write gives the
// platform's failure (disk full as disk full; a short write as disk full
// too), and the partial file is deleted. Whenever the result is a failure,
// held holds nothing. The outcome goes to the setup log.
HRESULT ExtractPayload(WORD resourceId, const HeldFolder& folder, const char* name, CDiskFile& held);

// The same, with the file closed again at once.
HRESULT ExtractPayload(WORD resourceId, const HeldFolder& folder, const char* name);
