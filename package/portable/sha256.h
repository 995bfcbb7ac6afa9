#pragma once
// SHA-256 for the build machine's tools: the digests the program records for
// its payloads are made with it (the program itself checks them with the
// platform's own hashing).
#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::size_t SHA256_DIGEST_SIZE = 32;

class CSha256 {
public:
    CSha256();
    void Update(const void* data, std::size_t count);
    // Ends the message and writes the digest; the object starts over afterwards.
    void Finish(unsigned char (&digest)[SHA256_DIGEST_SIZE]);

private:
    void Reset();
    void Compress(const unsigned char* block);

    uint32_t m_State[8];
    unsigned char m_Block[64];
    std::size_t m_nBlockUsed;
    uint64_t m_nTotal;
};

// Lower-case hexadecimal text of a digest.
std::string DigestText(const unsigned char (&digest)[SHA256_DIGEST_SIZE]);
