#include "package/portable/pk24_format.h"

#include <cstring>

const char PK24_MAGIC[4] = {'P', 'K', '2', '4'};
const char PK24_ENTRY_TAG[4] = {'D', 'R', 'A', 'W'};

namespace {

uint64_t ReadLittleEndian64(const unsigned char* bytes)
{
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

void WriteLittleEndian64(uint64_t value, unsigned char* bytes)
{
    for (int i = 0; i < 8; ++i, value >>= 8)
        bytes[i] = static_cast<unsigned char>(value & 0xFF);
}

} // namespace

void DecodeArchiveHeader(const unsigned char* bytes, Pk24ArchiveHeader* header)
{
    header->archiveSize = ReadLittleEndian64(bytes);
    std::memcpy(header->magic, bytes + 8, 4);
}

bool HasPk24Magic(const Pk24ArchiveHeader& header)
{
    return std::memcmp(header.magic, PK24_MAGIC, 4) == 0;
}

void EncodeArchiveHeader(uint64_t archiveSize, unsigned char* bytes)
{
    std::memset(bytes, 0, PK24_ARCHIVE_HEADER_SIZE);
    WriteLittleEndian64(archiveSize, bytes);
    std::memcpy(bytes + 8, PK24_MAGIC, 4);
}

void DecodeEntryHeader(const unsigned char* bytes, Pk24EntryHeader* header)
{
    header->dataSize = ReadLittleEndian64(bytes);
    std::memcpy(header->tag, bytes + 8, 4);
    std::memcpy(header->name, bytes + PK24_NAME_OFFSET, PK24_NAME_FIELD_SIZE);
}

bool EncodeEntryHeader(uint64_t dataSize, const char* name, unsigned char* bytes)
{
    size_t length = std::strlen(name);
    if (length >= PK24_NAME_FIELD_SIZE)
        return false;
    std::memset(bytes, 0, PK24_ENTRY_HEADER_SIZE);
    WriteLittleEndian64(dataSize, bytes);
    std::memcpy(bytes + 8, PK24_ENTRY_TAG, 4);
    std::memcpy(bytes + PK24_NAME_OFFSET, name, length);
    return true;
}

int64_t AsSignedSize(uint64_t size)
{
    int64_t value;
    std::memcpy(&value, &size, sizeof value); // two's complement, without relying on the conversion rule
    return value;
}
