#pragma once
// Builds "PK24" packages in memory for the tests, byte by byte as the format
// lays them out, so that damaged and hostile ones are as easy to make as good ones.
#include <cstdint>
#include <string>
#include <vector>

class PackageBuilder {
public:
    // The archive size field; by default the real length of what was built.
    PackageBuilder& ArchiveSize(uint64_t size);
    PackageBuilder& Magic(const std::string& magic);
    PackageBuilder& Entry(const std::string& name, const std::string& data, const std::string& tag = "DRAW");
    // An entry whose header claims dataSize bytes, followed by data as given.
    PackageBuilder& RawEntry(const std::string& name, uint64_t dataSize, const std::string& data);
    std::vector<unsigned char> Build() const;

private:
    std::vector<unsigned char> m_Body;
    std::string m_Magic = "PK24";
    bool m_bSizeSet = false;
    uint64_t m_nSize = 0;
};

void PutLittleEndian64(std::vector<unsigned char>& bytes, size_t offset, uint64_t value);
