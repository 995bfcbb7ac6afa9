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

const HRESULT RESULT_SHORT_WRITE = HRESULT_FROM_WIN32(ERROR_DISK_FULL);

// Writes the bytes and adds them to the hash: each block is hashed once, as
// it goes to the file, so the digest is that of the bytes written.
HRESULT WriteAndHash(CDiskFile& file, CPayloadHash& hash, const unsigned char* bytes, DWORD count)
{
    DWORD written = 0;
    HRESULT result = file.Write(bytes, count, &written);
    if (FAILED(result))
        return result;
    if (written != count)
        return RESULT_SHORT_WRITE; // a file cut short must not pass for a complete one
    return hash.Add(bytes, count);
}

HRESULT WriteRestoredChunk(CDiskFile& file, CPayloadHash& hash, const unsigned char* stored,
                           const PayloadChunk& chunk, unsigned char* work)
{
    unsigned char previous = chunk.seed;
    for (DWORD done = 0; done < chunk.count;) {
        DWORD count = std::min(RESTORE_PIECE_SIZE, chunk.count - done);
        previous = RestorePayloadBytes(stored + done, work, count, previous);
        HRESULT result = WriteAndHash(file, hash, work, count);
        if (FAILED(result))
            return result;
        done += count;
    }
    return S_OK;
}

// Writes the payload to the open file, restoring its scrambled chunks.
HRESULT WritePayloadFile(const unsigned char* image, DWORD size, CDiskFile& file, CPayloadHash& hash)
{
    std::unique_ptr<unsigned char[]> work(new (std::nothrow) unsigned char[RESTORE_PIECE_SIZE]);
    if (!work)
        return E_OUTOFMEMORY;
    PayloadChunk chunk;
    for (uint64_t index = 0; GetPayloadChunk(size, index, &chunk); ++index) {
        // Unscrambled chunks go to the file straight from the resource image.
        const unsigned char* stored = image + chunk.offset;
        HRESULT result = chunk.scrambled ? WriteRestoredChunk(file, hash, stored, chunk, work.get())
                                         : WriteAndHash(file, hash, stored, chunk.count);
        if (FAILED(result))
            return result;
    }
    return S_OK;
}

// Goes from the writing handle to one that only reads and lets nobody
// write, without opening the file by its path again: a bridge that shares
// writing is opened from the writing handle (a handle that refuses writers
// can't be opened while a writer is open), the writer is closed, and the
// hold is opened from the bridge. None of them shares deletion, so the file
// can't be renamed or replaced meanwhile; a program that opened it for
// writing in between makes the hold fail.
HRESULT HoldAgainstWriters(CDiskFile& writer, CDiskFile& held)
{
    CDiskFile bridge;
    HRESULT result = bridge.Reopen(writer, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (FAILED(result))
        return result;
    result = writer.Close();
    if (FAILED(result))
        return result;
    return held.Reopen(bridge, GENERIC_READ, FILE_SHARE_READ);
}

// The file went wrong: it goes at once, so that nothing may run it.
void Discard(CDiskFile& writer, const char* path)
{
    writer.Close();
    DeleteFileA(path);
}

} // namespace

HRESULT ExtractPayload(WORD resourceId, const char* outputPath, CDiskFile& held)
{
    held.Reset();
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
    if (!HasRecordedDigest(resourceId)) {
        LogFailure(PAYLOAD_E_DIGEST_MISMATCH, "Payload %u has no recorded digest", resourceId);
        return PAYLOAD_E_DIGEST_MISMATCH;
    }
    CPayloadHash hash;
    HRESULT result = hash.Create();
    if (FAILED(result)) {
        LogFailure(result, "Failed to hash payload %u", resourceId);
        return result;
    }

    // The resource needs no release: it is part of the mapped image.
    CDiskFile writer;
    result = writer.Open(path, CREATE_ALWAYS, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, 0, nullptr);
    if (FAILED(result)) {
        LogFailure(result, "Failed to create %s for payload %u", path, resourceId);
        return result;
    }
    result = WritePayloadFile(image, size, writer, hash);
    if (FAILED(result)) {
        Discard(writer, path);
        LogFailure(result, "Failed to write payload %u to %s", resourceId, path);
        return result;
    }
    BYTE digest[PAYLOAD_DIGEST_SIZE];
    result = hash.Finish(digest);
    if (FAILED(result)) {
        Discard(writer, path);
        LogFailure(result, "Failed to hash payload %u written to %s", resourceId, path);
        return result;
    }
    result = CheckPayloadDigest(resourceId, digest);
    if (FAILED(result)) {
        Discard(writer, path);
        // Both digests, so that support tells a damaged medium (another
        // actual digest on each try) from a wrong build (the same one).
        char expected[PAYLOAD_DIGEST_TEXT_SIZE];
        char actual[PAYLOAD_DIGEST_TEXT_SIZE];
        FormatRecordedDigest(resourceId, expected);
        FormatDigest(digest, actual);
        LogFailure(result, "Payload %u written to %s does not match its recorded digest: expected %s, actual %s",
                   resourceId, path, expected, actual);
        return result;
    }
    result = HoldAgainstWriters(writer, held);
    if (FAILED(result)) {
        Discard(writer, path); // another program may have written it
        LogFailure(result, "Failed to hold payload %u written to %s against writers", resourceId, path);
        return result;
    }
    LogEvent("Payload %u written to %s: %lu bytes", resourceId, path, static_cast<unsigned long>(size));
    return S_OK;
}

HRESULT ExtractPayload(WORD resourceId, const char* outputPath)
{
    CDiskFile held;
    return ExtractPayload(resourceId, outputPath, held);
}
