#include "package/payload_extraction.h"

#include <algorithm>
#include <memory>
#include <new>

#include "base/module_instance.h"
#include "base/setup_log.h"
#include "package/disk_file.h"
#include "package/payload_digest.h"
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

// Writes the payload, restoring its scrambled chunks.
HRESULT WritePayloadFile(const unsigned char* image, DWORD size, const char* outputPath)
{
    std::unique_ptr<unsigned char[]> work(new (std::nothrow) unsigned char[RESTORE_PIECE_SIZE]);
    if (!work)
        return E_OUTOFMEMORY;

    CDiskFile file;
    HRESULT result = file.Open(outputPath, CREATE_ALWAYS, GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, 0, nullptr);
    if (FAILED(result))
        return result;

    PayloadChunk chunk;
    for (uint64_t index = 0; GetPayloadChunk(size, index, &chunk); ++index) {
        // Unscrambled chunks go to the file straight from the resource image.
        const unsigned char* stored = image + chunk.offset;
        bool written = chunk.scrambled ? WriteRestoredChunk(file, stored, chunk, work.get())
                                       : WriteAll(file, stored, chunk.count);
        if (!written)
            return HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
    }
    return file.Close();
}

} // namespace

HRESULT ExtractPayload(WORD resourceId, const char* outputPath)
{
    const char* path = outputPath ? outputPath : "";
    HMODULE module = g_hInstance ? g_hInstance : GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(RT_PAYLOAD));
    if (!found) {
        LogFailure(HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND), "Payload %u is not in the program", resourceId);
        return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
    }
    HGLOBAL loaded = LoadResource(module, found);
    DWORD size = SizeofResource(module, found);
    const unsigned char* image = loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    if (!image || size == 0) {
        LogFailure(E_FAIL, "Payload %u is empty or can't be loaded", resourceId);
        return E_FAIL;
    }
    // The resource needs no release: it is part of the mapped image.
    HRESULT result = WritePayloadFile(image, size, path);
    if (FAILED(result)) {
        LogFailure(result, "Failed to write payload %u to %s", resourceId, path);
        return result;
    }
    // Read back from the disk, so that a damaged program and a bad write are
    // both caught. A file that fails the check goes at once: nothing may run it.
    result = CheckPayloadDigest(resourceId, path);
    if (FAILED(result)) {
        LogFailure(result, "Payload %u written to %s does not match its recorded digest", resourceId, path);
        DeleteFileA(path);
        return result;
    }
    LogEvent("Payload %u written to %s: %lu bytes", resourceId, path, static_cast<unsigned long>(size));
    return result;
}
