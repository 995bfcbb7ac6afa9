#include "tools/pk24/host_digest.h"

#include <openssl/evp.h>

CHostSha256::CHostSha256() : m_pContext(EVP_MD_CTX_new())
{
    Start();
}

CHostSha256::~CHostSha256()
{
    EVP_MD_CTX_free(m_pContext);
}

void CHostSha256::Start()
{
    m_bFailed = !m_pContext || EVP_DigestInit_ex(m_pContext, EVP_sha256(), nullptr) != 1;
}

void CHostSha256::Update(const void* data, std::size_t count)
{
    if (!m_bFailed && count != 0)
        m_bFailed = EVP_DigestUpdate(m_pContext, data, count) != 1;
}

bool CHostSha256::Finish(unsigned char (&digest)[SHA256_DIGEST_SIZE])
{
    unsigned int size = 0;
    bool done = !m_bFailed && EVP_DigestFinal_ex(m_pContext, digest, &size) == 1 && size == SHA256_DIGEST_SIZE;
    Start();
    return done;
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
