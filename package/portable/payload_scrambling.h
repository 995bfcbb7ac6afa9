#pragma once
// How a payload is stored in the program's resources. A payload is cut into
// chunks of 100,000 bytes, or of 1,000,000 bytes when it is 3,000,000 bytes
// or larger; the last chunk holds the remainder. Chunks 1 and 2 are stored
// scrambled: each stored byte is the plain byte XOR the plain byte before it
// in the same chunk, the first one XOR the chunk's fixed seed. Everything
// else is stored as it is.
#include <cstddef>
#include <cstdint>

constexpr uint32_t PAYLOAD_SMALL_CHUNK_SIZE = 100000;
constexpr uint32_t PAYLOAD_LARGE_CHUNK_SIZE = 1000000;
constexpr uint64_t PAYLOAD_LARGE_FROM_SIZE = 3000000;
constexpr unsigned char PAYLOAD_CHUNK1_SEED = 0x6B;
constexpr unsigned char PAYLOAD_CHUNK2_SEED = 0xD2;

uint32_t PayloadChunkSize(uint64_t payloadSize);

struct PayloadChunk {
    uint64_t offset;
    uint32_t count;
    bool scrambled;
    unsigned char seed; // meaningful when scrambled
};

// Chunk number index of a payload of payloadSize bytes; false past the end.
bool GetPayloadChunk(uint64_t payloadSize, uint64_t index, PayloadChunk* chunk);

// Both work in place as well (out == in). previous is the seed for the first
// byte of a chunk, or the value returned for the bytes before, so a chunk can
// be done in pieces. Each returns the plain byte last seen.
unsigned char RestorePayloadBytes(const unsigned char* stored, unsigned char* plain, size_t count,
                                  unsigned char previous);
unsigned char ScramblePayloadBytes(const unsigned char* plain, unsigned char* stored, size_t count,
                                   unsigned char previous);
