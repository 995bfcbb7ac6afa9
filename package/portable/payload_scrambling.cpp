#include "package/portable/payload_scrambling.h"

uint32_t PayloadChunkSize(uint64_t payloadSize)
{
    return payloadSize >= PAYLOAD_LARGE_FROM_SIZE ? PAYLOAD_LARGE_CHUNK_SIZE : PAYLOAD_SMALL_CHUNK_SIZE;
}

bool GetPayloadChunk(uint64_t payloadSize, uint64_t index, PayloadChunk* chunk)
{
    uint64_t size = PayloadChunkSize(payloadSize);
    uint64_t chunkCount = (payloadSize + size - 1) / size;
    if (index >= chunkCount)
        return false;
    chunk->offset = index * size;
    uint64_t left = payloadSize - chunk->offset;
    chunk->count = static_cast<uint32_t>(left < size ? left : size);
    chunk->scrambled = index == 1 || index == 2;
    chunk->seed = index == 1 ? PAYLOAD_CHUNK1_SEED : index == 2 ? PAYLOAD_CHUNK2_SEED : 0;
    return true;
}

unsigned char RestorePayloadBytes(const unsigned char* stored, unsigned char* plain, size_t count,
                                  unsigned char previous)
{
    for (size_t i = 0; i < count; ++i) {
        previous = static_cast<unsigned char>(stored[i] ^ previous);
        plain[i] = previous;
    }
    return previous;
}

unsigned char ScramblePayloadBytes(const unsigned char* plain, unsigned char* stored, size_t count,
                                   unsigned char previous)
{
    for (size_t i = 0; i < count; ++i) {
        unsigned char byte = plain[i];
        stored[i] = static_cast<unsigned char>(byte ^ previous);
        previous = byte;
    }
    return previous;
}
