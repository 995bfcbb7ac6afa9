#include "package/portable/sha256.h"

#include <cstring>

namespace {

const uint32_t ROUND_CONSTANTS[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

uint32_t RotateRight(uint32_t value, unsigned count)
{
    return (value >> count) | (value << (32 - count));
}

} // namespace

CSha256::CSha256()
{
    Reset();
}

void CSha256::Reset()
{
    static const uint32_t INITIAL[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::memcpy(m_State, INITIAL, sizeof m_State);
    m_nBlockUsed = 0;
    m_nTotal = 0;
}

void CSha256::Compress(const unsigned char* block)
{
    uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = (uint32_t(block[4 * i]) << 24) | (uint32_t(block[4 * i + 1]) << 16) |
               (uint32_t(block[4 * i + 2]) << 8) | uint32_t(block[4 * i + 3]);
    for (int i = 16; i < 64; ++i) {
        uint32_t s0 = RotateRight(w[i - 15], 7) ^ RotateRight(w[i - 15], 18) ^ (w[i - 15] >> 3);
        uint32_t s1 = RotateRight(w[i - 2], 17) ^ RotateRight(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t a = m_State[0], b = m_State[1], c = m_State[2], d = m_State[3];
    uint32_t e = m_State[4], f = m_State[5], g = m_State[6], h = m_State[7];
    for (int i = 0; i < 64; ++i) {
        uint32_t t1 = h + (RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25)) + ((e & f) ^ (~e & g)) +
                      ROUND_CONSTANTS[i] + w[i];
        uint32_t t2 = (RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    m_State[0] += a;
    m_State[1] += b;
    m_State[2] += c;
    m_State[3] += d;
    m_State[4] += e;
    m_State[5] += f;
    m_State[6] += g;
    m_State[7] += h;
}

void CSha256::Update(const void* data, std::size_t count)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    m_nTotal += count;
    while (count > 0) {
        std::size_t take = sizeof m_Block - m_nBlockUsed;
        if (take > count)
            take = count;
        std::memcpy(m_Block + m_nBlockUsed, bytes, take);
        m_nBlockUsed += take;
        bytes += take;
        count -= take;
        if (m_nBlockUsed == sizeof m_Block) {
            Compress(m_Block);
            m_nBlockUsed = 0;
        }
    }
}

void CSha256::Finish(unsigned char (&digest)[SHA256_DIGEST_SIZE])
{
    uint64_t bits = m_nTotal * 8;
    static const unsigned char PADDING[64] = {0x80};
    std::size_t padding = (m_nBlockUsed < 56 ? 56 : 120) - m_nBlockUsed;
    Update(PADDING, padding);
    unsigned char length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = static_cast<unsigned char>(bits >> (56 - 8 * i));
    Update(length, sizeof length);
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 4; ++j)
            digest[4 * i + j] = static_cast<unsigned char>(m_State[i] >> (24 - 8 * j));
    Reset();
}

std::string DigestText(const unsigned char (&digest)[SHA256_DIGEST_SIZE])
{
    static const char DIGITS[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : digest) {
        text += DIGITS[byte >> 4];
        text += DIGITS[byte & 15];
    }
    return text;
}
