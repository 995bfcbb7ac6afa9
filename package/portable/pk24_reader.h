#pragma once
// The one reader of "PK24" packages, shared by the setup's unpacker, the pk24
// host tool and the fuzzer. It reads through a source and hands each entry to
// a sink, streaming the data through one buffer of 1024 bytes, so memory use
// does not grow with the package. The archive and entry sizes drive the
// loop; the end of the file is never looked for.
#include <cstdint>

#include "package/portable/entry_name.h"
#include "package/portable/package_result.h"

class CArchiveSource {
public:
    // Reads up to count bytes. A read of a non-zero count that delivers no
    // byte returns PACKAGE_E_END_OF_FILE; fewer bytes than asked is success.
    virtual PackageResult Read(void* buffer, uint32_t count, uint32_t* delivered) = 0;

protected:
    ~CArchiveSource() = default;
};

class CEntrySink {
public:
    // Makes the output for one entry (an existing one is replaced). On
    // failure nothing stays open.
    virtual PackageResult CreateEntry(const char* name) = 0;
    // Writes to the entry made last; *written receives the bytes taken.
    virtual PackageResult WriteEntry(const void* data, uint32_t count, uint32_t* written) = 0;
    // Called once all of an entry's data was written: a sink that holds
    // bytes back stores them now, and reports a failure to do so.
    virtual PackageResult FinishEntry() { return PACKAGE_OK; }
    // Ends the entry made last; a failed close is not reported.
    virtual void CloseEntry() = 0;

protected:
    ~CEntrySink() = default;
};

// PACKAGE_OK when every entry up to the archive size was handed on;
// PACKAGE_E_FAIL for a file that is not a "PK24" archive, an entry whose
// name is not a bare file name or whose data size is negative as a signed
// 64-bit number (nothing is created for that entry); PACKAGE_E_END_OF_FILE
// when the file ends inside a header or inside an entry's data;
// PACKAGE_E_DISK_FULL when a write stores fewer bytes than given; otherwise
// the failing call's code. Entries handed on before a failure stay.
PackageResult ReadPackage(CArchiveSource& source, CEntrySink& sink, LeadBytePredicate isLeadByte);
