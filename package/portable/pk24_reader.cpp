#include "package/portable/pk24_reader.h"

#include "package/portable/pk24_format.h"

namespace {

// Reads until count bytes are in or the file ends; *delivered tells how many
// came. The end of the file is not a failure here: the caller judges it.
PackageResult ReadWhole(CArchiveSource& source, unsigned char* buffer, uint32_t count, uint32_t* delivered)
{
    *delivered = 0;
    while (*delivered < count) {
        uint32_t got = 0;
        PackageResult result = source.Read(buffer + *delivered, count - *delivered, &got);
        if (result == PACKAGE_E_END_OF_FILE || (!PackageFailed(result) && got == 0))
            break;
        if (PackageFailed(result))
            return result;
        *delivered += got;
    }
    return PACKAGE_OK;
}

PackageResult CopyEntryData(CArchiveSource& source, CEntrySink& sink, int64_t count)
{
    unsigned char block[PK24_COPY_BLOCK_SIZE];
    while (count > 0) {
        uint32_t ask = count < static_cast<int64_t>(sizeof block) ? static_cast<uint32_t>(count)
                                                                  : static_cast<uint32_t>(sizeof block);
        uint32_t got = 0;
        PackageResult result = source.Read(block, ask, &got);
        if (PackageFailed(result))
            return result;
        if (got == 0)
            return PACKAGE_E_END_OF_FILE;
        uint32_t written = 0;
        result = sink.WriteEntry(block, got, &written);
        if (PackageFailed(result))
            return result;
        // A file cut short must not pass for a complete one.
        if (written != got)
            return PACKAGE_E_DISK_FULL;
        count -= got;
    }
    return PACKAGE_OK;
}

} // namespace

PackageResult ReadPackage(CArchiveSource& source, CEntrySink& sink, LeadBytePredicate isLeadByte)
{
    unsigned char bytes[PK24_ENTRY_HEADER_SIZE] = {};
    uint32_t delivered = 0;
    PackageResult result = ReadWhole(source, bytes, PK24_ARCHIVE_HEADER_SIZE, &delivered);
    if (PackageFailed(result))
        return result;
    if (delivered == 0)
        return PACKAGE_E_END_OF_FILE;
    Pk24ArchiveHeader archive;
    DecodeArchiveHeader(bytes, &archive);
    if (!HasPk24Magic(archive))
        return PACKAGE_E_FAIL;
    if (delivered < PK24_ARCHIVE_HEADER_SIZE)
        return PACKAGE_E_END_OF_FILE;

    // Signed on purpose: a size field below 24 (also one that is negative as
    // a signed number) leaves nothing to unpack. Compared before subtracting,
    // so that the most negative sizes don't overflow.
    const int64_t headerSize = static_cast<int64_t>(PK24_ARCHIVE_HEADER_SIZE);
    int64_t archiveSize = AsSignedSize(archive.archiveSize);
    int64_t remaining = archiveSize > headerSize ? archiveSize - headerSize : 0;
    while (remaining > 0) {
        for (unsigned char& byte : bytes)
            byte = 0;
        result = ReadWhole(source, bytes, PK24_ENTRY_HEADER_SIZE, &delivered);
        if (PackageFailed(result))
            return result;
        if (delivered < PK24_ENTRY_HEADER_SIZE)
            return PACKAGE_E_END_OF_FILE;
        remaining -= static_cast<int64_t>(PK24_ENTRY_HEADER_SIZE);

        Pk24EntryHeader entry;
        DecodeEntryHeader(bytes, &entry);
        int64_t dataSize = AsSignedSize(entry.dataSize);
        if (dataSize < 0 || !IsBareEntryName(entry.name, PK24_NAME_FIELD_SIZE, isLeadByte))
            return PACKAGE_E_FAIL;

        result = sink.CreateEntry(entry.name);
        if (PackageFailed(result))
            return result;
        result = CopyEntryData(source, sink, dataSize);
        if (!PackageFailed(result))
            result = sink.FinishEntry();
        sink.CloseEntry();
        if (PackageFailed(result))
            return result;
        // The copy succeeded, so the file really held dataSize bytes; the
        // comparison keeps the subtraction from overflowing all the same.
        remaining = dataSize >= remaining ? 0 : remaining - dataSize;
    }
    return PACKAGE_OK;
}
