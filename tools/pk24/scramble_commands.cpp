// pk24 scramble / unscramble: a payload file into the form the setup's
// resources store, and back. Streams, so any size works in little memory.
// scramble also writes the payload's SHA-256 (of the plain bytes, as the
// setup will write them) when asked: the program carries it beside the
// payload and checks the written file against it.
#include <algorithm>
#include <vector>

#include "package/portable/payload_scrambling.h"
#include "tools/pk24/commands.h"
#include "tools/pk24/host_digest.h"
#include "tools/pk24/host_file.h"

namespace {

const size_t PIECE_SIZE = 64 * 1024;

std::string Transform(CHostFile& input, CHostFile& output, uint64_t size, bool restore, CHostSha256& plainDigest)
{
    std::vector<unsigned char> piece(PIECE_SIZE);
    PayloadChunk chunk;
    for (uint64_t index = 0; GetPayloadChunk(size, index, &chunk); ++index) {
        unsigned char previous = chunk.seed;
        for (uint32_t done = 0; done < chunk.count;) {
            size_t count = std::min<size_t>(PIECE_SIZE, chunk.count - done);
            if (input.Read(piece.data(), count) != count)
                return input.Failed() ? SystemError(input.Path())
                                      : input.Path() + ": the file changed while it was read";
            if (!restore) // the digest is of the plain bytes
                plainDigest.Update(piece.data(), count);
            if (chunk.scrambled)
                previous = restore ? RestorePayloadBytes(piece.data(), piece.data(), count, previous)
                                   : ScramblePayloadBytes(piece.data(), piece.data(), count, previous);
            if (!output.Write(piece.data(), count))
                return SystemError(output.Path());
            done += static_cast<uint32_t>(count);
        }
    }
    return "";
}

// Writes the 32 bytes of the digest as the file at path.
std::string WriteDigest(const std::string& path, CHostSha256& digest)
{
    unsigned char bytes[SHA256_DIGEST_SIZE];
    if (!digest.Finish(bytes))
        return path + ": SHA-256 failed (libcrypto)";
    CHostFile output;
    if (!output.Open(path, "wb") || !output.Write(bytes, sizeof bytes) || !output.Close()) {
        std::remove(path.c_str());
        return SystemError(path);
    }
    return "";
}

} // namespace

int ScrambleCommand(const Arguments& arguments, bool restore)
{
    if (arguments.size() != 2 && (restore || arguments.size() != 3))
        return Misuse(restore ? "unscramble needs IN and OUT"
                              : "scramble needs IN and OUT, and takes an optional DIGEST");
    uint64_t size = 0;
    if (!GetFileSize(arguments[0], &size))
        return Fail(arguments[0] + ": not a readable file");
    if (size > 0xFFFFFFFFull)
        return Fail(arguments[0] + ": a payload resource holds at most 4 GiB");
    CHostFile input, output;
    if (!input.Open(arguments[0], "rb"))
        return Fail(SystemError(arguments[0]));
    if (!output.Open(arguments[1], "wb"))
        return Fail(SystemError(arguments[1]));
    CHostSha256 plainDigest;
    std::string problem = Transform(input, output, size, restore, plainDigest);
    if (!output.Close() && problem.empty())
        problem = SystemError(arguments[1]);
    if (problem.empty() && arguments.size() == 3)
        problem = WriteDigest(arguments[2], plainDigest);
    if (!problem.empty()) {
        std::remove(arguments[1].c_str());
        return Fail(problem);
    }
    return 0;
}
