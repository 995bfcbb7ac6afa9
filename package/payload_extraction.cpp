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

HRESULT WriteRestoredChunk(CDiskFile& file, CPayloadHash& hash, const unsigned char* stored, const PayloadChunk& chunk,
                           unsigned char* work)
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

// Writes the payload to the new file and checks the bytes written against
// its recorded digest.
HRESULT WriteCheckedPayload(WORD resourceId, const unsigned char* image, DWORD size, CDiskFile& writer)
{
    CPayloadHash hash;
    HRESULT result = hash.Create();
    if (FAILED(result)) {
        LogFailure(result, "Failed to hash payload %u", resourceId);
        return result;
    }
    const char* path = LogText(writer.GetPath().GetData());
    result = WritePayloadFile(image, size, writer, hash);
    if (FAILED(result)) {
        LogFailure(result, "Failed to write payload %u to %s", resourceId, path);
        return result;
    }
    BYTE digest[PAYLOAD_DIGEST_SIZE];
    result = hash.Finish(digest);
    if (FAILED(result)) {
        LogFailure(result, "Failed to hash payload %u written to %s", resourceId, path);
        return result;
    }
    result = CheckPayloadDigest(resourceId, digest);
    if (FAILED(result)) {
        // Both digests, so that support tells a damaged medium (another
        // actual digest on each try) from a wrong build (the same one).
        char expected[PAYLOAD_DIGEST_TEXT_SIZE];
        char actual[PAYLOAD_DIGEST_TEXT_SIZE];
        FormatRecordedDigest(resourceId, expected);
        FormatDigest(digest, actual);
        LogFailure(result, "Payload %u written to %s does not match its recorded digest: expected %s, actual %s",
                   resourceId, path, expected, actual);
    }
    return result;
}

} // namespace

HRESULT ExtractPayload(WORD resourceId, const HeldFolder& folder, const char* name, CDiskFile& held)
{
    held.Reset();
    HMODULE module = g_hInstance ? g_hInstance : GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(RT_PAYLOAD));
    if (!found) {
        LogFailure(HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND), "Payload %u is not in the program", resourceId);
        return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
    }
    // The resource needs no release: it is part of the mapped image.
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

    // Nobody else may write the file while it is written.
    CDiskFile writer;
    HRESULT result = writer.Create(folder, name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
    if (FAILED(result))
        return result;
    const char* path = LogText(writer.GetPath().GetData());
    result = WriteCheckedPayload(resourceId, image, size, writer);
    if (SUCCEEDED(result)) {
        result = HoldAgainstWriters(writer, held);
        if (FAILED(result))
            LogFailure(result, "Failed to hold payload %u written to %s against writers", resourceId, path);
    }
    if (FAILED(result)) {
        // The file went wrong (or another program may have written it): it
        // goes at once, so that nothing may run it.
        writer.Close();
        DeleteDiskFile(folder, name);
        return result;
    }
    LogEvent("Payload %u written to %s: %lu bytes", resourceId, path, static_cast<unsigned long>(size));
    return S_OK;
}

HRESULT ExtractPayload(WORD resourceId, const HeldFolder& folder, const char* name)
{
    CDiskFile held;
    return ExtractPayload(resourceId, folder, name, held);
}
