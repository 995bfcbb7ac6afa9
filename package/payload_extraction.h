#pragma once
// Writes one of the payloads the program carries in its resources (type
// 1001) to a file, byte for byte, restoring its scrambled chunks on the way.
#include <windows.h>

// True when the whole payload was written to outputPath. A resource the
// program doesn't hold, or an empty one, creates no file; an existing file is
// replaced; a write that fails or comes up short gives false and leaves the
// partial file.
bool ExtractPayload(WORD resourceId, const char* outputPath);
