#include "tests/portable/package_builder.h"

#include <algorithm>
#include <cstring>

void PutLittleEndian64(std::vector<unsigned char>& bytes, size_t offset, uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

PackageBuilder& PackageBuilder::ArchiveSize(uint64_t size)
{
    m_bSizeSet = true;
    m_nSize = size;
    return *this;
}

PackageBuilder& PackageBuilder::Magic(const std::string& magic)
{
    m_Magic = magic;
    return *this;
}

PackageBuilder& PackageBuilder::Entry(const std::string& name, const std::string& data, const std::string& tag)
{
    RawEntry(name, data.size(), data);
    std::memcpy(&m_Body[m_Body.size() - data.size() - 284 + 8], tag.data(), 4);
    return *this;
}

PackageBuilder& PackageBuilder::RawEntry(const std::string& name, uint64_t dataSize, const std::string& data)
{
    std::vector<unsigned char> header(284, 0);
    PutLittleEndian64(header, 0, dataSize);
    std::memcpy(&header[8], "DRAW", 4);
    std::memcpy(&header[20], name.data(), name.size() < 264 ? name.size() : 264);
    m_Body.insert(m_Body.end(), header.begin(), header.end());
    m_Body.insert(m_Body.end(), data.begin(), data.end());
    return *this;
}

std::vector<unsigned char> PackageBuilder::Build() const
{
    std::vector<unsigned char> bytes(24 + m_Body.size(), 0);
    PutLittleEndian64(bytes, 0, m_bSizeSet ? m_nSize : bytes.size());
    std::memcpy(&bytes[8], m_Magic.data(), m_Magic.size() < 4 ? m_Magic.size() : 4);
    std::copy(m_Body.begin(), m_Body.end(), bytes.begin() + 24);
    return bytes;
}
