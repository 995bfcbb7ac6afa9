#pragma once
// SHA-256 on the build machine, from OpenSSL's libcrypto: the digests the
// program records for its payloads and the ones pk24 list shows. (The
// program itself checks them with the platform's own hashing.)
#include <cstddef>
#include <string>

#include <openssl/types.h>

constexpr std::size_t SHA256_DIGEST_SIZE = 32;

class CHostSha256 {
public:
    CHostSha256();
    ~CHostSha256();
    CHostSha256(const CHostSha256&) = delete;
    CHostSha256& operator=(const CHostSha256&) = delete;

    void Update(const void* data, std::size_t count);
    // Ends the message and writes the digest; false when libcrypto failed at
    // any step since the start. The object starts over afterwards.
    bool Finish(unsigned char (&digest)[SHA256_DIGEST_SIZE]);

private:
    void Start();

    EVP_MD_CTX* m_pContext;
    bool m_bFailed = false;
};

// Lower-case hexadecimal text of a digest.
std::string DigestText(const unsigned char (&digest)[SHA256_DIGEST_SIZE]);
