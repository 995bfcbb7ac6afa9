#pragma once
// Layout of a "PK24" package: a 24-byte archive header, then entries, each a
// 284-byte entry header followed by the entry's data, up to the archive size.
// All numbers are little-endian; there is no alignment, index or checksum.
#include <cstddef>
#include <cstdint>

constexpr size_t PK24_ARCHIVE_HEADER_SIZE = 24;
constexpr size_t PK24_ENTRY_HEADER_SIZE = 284;
// The name field of an entry header: at most 263 bytes and a terminator.
constexpr size_t PK24_NAME_FIELD_SIZE = 264;
constexpr size_t PK24_NAME_OFFSET = 20;
// The unpacker streams every entry through one buffer of this size.
constexpr size_t PK24_COPY_BLOCK_SIZE = 1024;

extern const char PK24_MAGIC[4];     // "PK24"
extern const char PK24_ENTRY_TAG[4]; // "DRAW", written by the packer, never checked

struct Pk24ArchiveHeader {
    uint64_t archiveSize; // the whole archive, this header included
    char magic[4];
};

struct Pk24EntryHeader {
    uint64_t dataSize;
    char tag[4];
    char name[PK24_NAME_FIELD_SIZE]; // zero-terminated inside the field when well formed
};

void DecodeArchiveHeader(const unsigned char* bytes, Pk24ArchiveHeader* header);
bool HasPk24Magic(const Pk24ArchiveHeader& header);
void EncodeArchiveHeader(uint64_t archiveSize, unsigned char* bytes);

void DecodeEntryHeader(const unsigned char* bytes, Pk24EntryHeader* header);
// name must fit the field with its terminator (at most 263 bytes).
bool EncodeEntryHeader(uint64_t dataSize, const char* name, unsigned char* bytes);

// An unsigned 64-bit size seen as the signed number the unpacker counts with.
int64_t AsSignedSize(uint64_t size);
