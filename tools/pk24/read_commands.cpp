// pk24 list and pk24 unpack: both read through the setup's own package reader.
#include <cinttypes>
#include <filesystem>
#include <system_error>

#include "package/portable/pk24_reader.h"
#include "tools/pk24/commands.h"
#include "tools/pk24/host_digest.h"
#include "tools/pk24/host_file.h"

namespace {

class CHostArchiveSource : public CArchiveSource {
public:
    explicit CHostArchiveSource(CHostFile& file) : m_File(file) {}
    virtual ~CHostArchiveSource() = default;

    PackageResult Read(void* buffer, uint32_t count, uint32_t* delivered) override
    {
        *delivered = static_cast<uint32_t>(m_File.Read(buffer, count));
        if (m_File.Failed())
            return PACKAGE_E_FAIL;
        return (count != 0 && *delivered == 0) ? PACKAGE_E_END_OF_FILE : PACKAGE_OK;
    }

private:
    CHostFile& m_File;
};

// The digest as text; empty when libcrypto failed.
std::string FinishDigest(CHostSha256& digest)
{
    unsigned char bytes[SHA256_DIGEST_SIZE];
    return digest.Finish(bytes) ? DigestText(bytes) : std::string();
}

// Prints the entries with their digests; writes nothing.
class CListingSink : public CEntrySink {
public:
    virtual ~CListingSink() = default;
    PackageResult CreateEntry(const char* name) override
    {
        m_strName = name;
        m_nSize = 0;
        return PACKAGE_OK;
    }
    PackageResult WriteEntry(const void* data, uint32_t count, uint32_t* written) override
    {
        m_Digest.Update(data, count);
        m_nSize += count;
        *written = count;
        return PACKAGE_OK;
    }
    void CloseEntry() override
    {
        std::string digest = FinishDigest(m_Digest);
        m_bDigestFailed = m_bDigestFailed || digest.empty();
        std::printf("%12" PRIu64 "  %s  %s\n", m_nSize, digest.c_str(), m_strName.c_str());
        m_nTotal += m_nSize;
        ++m_nEntries;
    }
    uint64_t m_nTotal = 0;
    unsigned m_nEntries = 0;
    bool m_bDigestFailed = false;

private:
    std::string m_strName;
    uint64_t m_nSize = 0;
    CHostSha256 m_Digest;
};

// The SHA-256 of the whole file, as text; empty when it can't be read.
std::string FileDigest(const std::string& path)
{
    CHostFile file;
    if (!file.Open(path, "rb"))
        return "";
    CHostSha256 digest;
    unsigned char piece[64 * 1024];
    for (size_t count; (count = file.Read(piece, sizeof piece)) != 0;)
        digest.Update(piece, count);
    return file.Failed() ? "" : FinishDigest(digest);
}

class CFolderSink : public CEntrySink {
public:
    explicit CFolderSink(const std::string& folder) : m_strFolder(folder) {}
    virtual ~CFolderSink() = default;
    PackageResult CreateEntry(const char* name) override
    {
        m_strFailed.clear();
        std::string path = (std::filesystem::path(m_strFolder) / name).string();
        if (m_Output.Open(path, "wb"))
            return PACKAGE_OK;
        m_strFailed = SystemError(path);
        return PACKAGE_E_FAIL;
    }
    PackageResult WriteEntry(const void* data, uint32_t count, uint32_t* written) override
    {
        *written = m_Output.Write(data, count) ? count : 0;
        if (*written != count)
            m_strFailed = SystemError(m_Output.Path());
        return PACKAGE_OK;
    }
    void CloseEntry() override
    {
        if (!m_Output.Close() && m_strFailed.empty())
            m_strFailed = SystemError(m_Output.Path());
    }
    std::string m_strFailed;

private:
    std::string m_strFolder;
    CHostFile m_Output;
};

const char* Explain(PackageResult result)
{
    switch (result) {
    case PACKAGE_E_FAIL: return "not a PK24 package, or an entry with a bad name or size";
    case PACKAGE_E_END_OF_FILE: return "the file ends before the sizes in its headers are met";
    case PACKAGE_E_DISK_FULL: return "a write came up short (disk full?)";
    default: return "read failed";
    }
}

int Report(PackageResult result, const std::string& archive)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(result));
    return Fail(archive + ": " + Explain(result) + " (" + code + ")");
}

// Reads the package at path into sink; the exit code. A problem the sink
// met (sinkProblem) is told before the reader's result.
int ReadArchive(const std::string& path, CEntrySink& sink, LeadBytePredicate isLeadByte,
                const std::string* sinkProblem = nullptr)
{
    CHostFile file;
    if (!file.Open(path, "rb"))
        return Fail(SystemError(path));
    CHostArchiveSource source(file);
    PackageResult result = ReadPackage(source, sink, isLeadByte);
    if (sinkProblem && !sinkProblem->empty())
        return Fail(*sinkProblem);
    return PackageFailed(result) ? Report(result, path) : 0;
}

} // namespace

int ListCommand(const Arguments& arguments, LeadBytePredicate isLeadByte)
{
    if (arguments.size() != 1)
        return Misuse("list needs one ARCHIVE");
    CListingSink sink;
    int exitCode = ReadArchive(arguments[0], sink, isLeadByte);
    if (exitCode != 0)
        return exitCode;
    std::string packageDigest = FileDigest(arguments[0]);
    if (packageDigest.empty() || sink.m_bDigestFailed)
        return Fail(arguments[0] + ": its SHA-256 could not be worked out (read or libcrypto failed)");
    std::printf("%12" PRIu64 "  %s  (%u entries)\n", sink.m_nTotal, packageDigest.c_str(), sink.m_nEntries);
    return 0;
}

int UnpackCommand(const Arguments& arguments, LeadBytePredicate isLeadByte)
{
    if (arguments.size() != 2)
        return Misuse("unpack needs an ARCHIVE and a FOLDER");
    std::error_code error;
    std::filesystem::create_directories(arguments[1], error);
    if (error)
        return Fail(arguments[1] + ": " + error.message());
    CFolderSink sink(arguments[1]);
    return ReadArchive(arguments[0], sink, isLeadByte, &sink.m_strFailed);
}
