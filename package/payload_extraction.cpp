#include "package/payload_extraction.h"

#include <algorithm>
#include <memory>
#include <new>

#include "base/module_instance.h"
#include "package/disk_file.h"
#include "package/portable/payload_scrambling.h"
#include "resource_ids.h"

namespace {

// Scrambled chunks are restored through a working copy of this size, so the
// memory needed stays the same however large the payload is.
const DWORD RESTORE_PIECE_SIZE = 64 * 1024;

bool WriteAll(CDiskFile& file, const void* bytes, DWORD count)
{
    DWORD written = 0;
    return SUCCEEDED(file.Write(bytes, count, &written)) && written == count;
}

bool WriteRestoredChunk(CDiskFile& file, const unsigned char* stored, const PayloadChunk& chunk,
                        unsigned char* work)
{
    unsigned char previous = chunk.seed;
    for (DWORD done = 0; done < chunk.count;) {
        DWORD count = std::min(RESTORE_PIECE_SIZE, chunk.count - done);
        previous = RestorePayloadBytes(stored + done, work, count, previous);
        if (!WriteAll(file, work, count))
            return false;
        done += count;
    }
    return true;
}

} // namespace

bool ExtractPayload(WORD resourceId, const char* outputPath)
{
    HMODULE module = g_hInstance ? g_hInstance : GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(RT_PAYLOAD));
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    DWORD size = SizeofResource(module, found);
    const unsigned char* image = loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    if (!image || size == 0)
        return false;

    std::unique_ptr<unsigned char[]> work(new (std::nothrow) unsigned char[RESTORE_PIECE_SIZE]);
    if (!work)
        return false;

    CDiskFile file;
    if (FAILED(file.Open(outputPath, CREATE_ALWAYS, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         0, nullptr)))
        return false;

    PayloadChunk chunk;
    for (uint64_t index = 0; GetPayloadChunk(size, index, &chunk); ++index) {
        // Unscrambled chunks go to the file straight from the resource image.
        const unsigned char* stored = image + chunk.offset;
        bool written = chunk.scrambled ? WriteRestoredChunk(file, stored, chunk, work.get())
                                       : WriteAll(file, stored, chunk.count);
        if (!written)
            return false;
    }
    // The resource needs no release: it is part of the mapped image.
    return SUCCEEDED(file.Close());
}
