// Benchmark (not a test): how fast the setup writes its main payload out of
// its resources and unpacks it, beside a plain CopyFileA of the same bytes on
// the same machine, and whether memory stays flat as packages grow.
//   package_benchmark.exe [BIG_PACKAGE_MB]     (default 1024)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "package/package_archive.h"
#include "package/payload_digest.h"
#include "package/payload_extraction.h"
#include "package/portable/pk24_format.h"
#include "bench_clock.h"
#include "resource_ids.h"
#include "tests/package/package_calls_by_path.h"

using namespace testing_support;

namespace {

const int ROUNDS = 9;

// The performance counter now, in seconds.
double Seconds()
{
    return Milliseconds(Counter()) / 1000.0;
}

double PeakWorkingSetMb()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize / 1048576.0;
}

double FileMb(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<double>(data.nFileSizeHigh) * 4294967296.0 + data.nFileSizeLow) / 1048576.0;
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

void EmptyFolder(const std::string& folder)
{
    for (const std::string& name : FilesIn(folder))
        DeleteFileA((folder + name).c_str());
}

// Best of ROUNDS runs of step, in seconds, each after prepare (not timed);
// false from step ends everything.
template <typename Prepare, typename Step> double Best(Prepare prepare, Step step)
{
    double best = 1e30;
    for (int round = 0; round < ROUNDS; ++round) {
        prepare();
        double start = Seconds();
        if (!step()) {
            std::printf("benchmark step failed (error %lu)\n", GetLastError());
            std::exit(1);
        }
        double elapsed = Seconds() - start;
        best = elapsed < best ? elapsed : best;
    }
    return best;
}

template <typename Step> double Best(Step step)
{
    return Best([] {}, step);
}

// A package of entryCount entries of entryMb MiB each, written directly.
bool WriteSyntheticPackage(const std::string& path, unsigned entryCount, unsigned entryMb)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const uint64_t entryBytes = static_cast<uint64_t>(entryMb) * 1048576;
    std::vector<unsigned char> block(1048576, 0xA5);
    unsigned char header[PK24_ENTRY_HEADER_SIZE];
    DWORD written = 0;
    EncodeArchiveHeader(PK24_ARCHIVE_HEADER_SIZE + entryCount * (PK24_ENTRY_HEADER_SIZE + entryBytes), header);
    bool ok = WriteFile(file, header, PK24_ARCHIVE_HEADER_SIZE, &written, nullptr) != FALSE;
    for (unsigned entry = 0; ok && entry < entryCount; ++entry) {
        EncodeEntryHeader(entryBytes, ("part" + std::to_string(entry) + ".bin").c_str(), header);
        ok = WriteFile(file, header, PK24_ENTRY_HEADER_SIZE, &written, nullptr) != FALSE;
        for (unsigned mb = 0; ok && mb < entryMb; ++mb)
            ok = WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) != FALSE;
    }
    CloseHandle(file);
    return ok;
}

void Row(const char* what, double mb, double seconds, double copySeconds)
{
    std::printf("%-34s %8.1f MiB/s   CopyFileA %8.1f MiB/s   ratio %.2f\n", what, mb / seconds, mb / copySeconds,
                copySeconds / seconds);
}

} // namespace

int main(int argc, char** argv)
{
    unsigned bigMb = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 1024;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string work = std::string(temp) + "bcbench\\";
    std::string unpacked = work + "unpacked\\", copied = work + "copied\\";
    CreateDirectoryA(work.c_str(), nullptr);
    CreateDirectoryA(unpacked.c_str(), nullptr);
    CreateDirectoryA(copied.c_str(), nullptr);

    // Memory first, before the payload's pages are touched: a small package,
    // then a big one, unpacked by the same process.
    std::string small = work + "small.pk24", big = work + "big.pk24";
    WriteSyntheticPackage(small, 1, 1);
    double baseline = PeakWorkingSetMb();
    UnpackPackageInto(small.c_str(), unpacked.c_str());
    double afterSmall = PeakWorkingSetMb();
    EmptyFolder(unpacked);
    unsigned bigEntries = bigMb >= 128 ? bigMb / 128 : 1;
    if (!WriteSyntheticPackage(big, bigEntries, bigMb / bigEntries))
        return std::printf("could not write the %u MB package\n", bigMb), 1;
    double bigStart = Seconds();
    HRESULT bigResult = UnpackPackageInto(big.c_str(), unpacked.c_str());
    double bigSeconds = Seconds() - bigStart;
    double afterBig = PeakWorkingSetMb();
    EmptyFolder(unpacked);
    DeleteFileA(big.c_str());
    DeleteFileA(small.c_str());

    // Speed on the package shaped like the product's.
    std::string archive = work + "BCSetup_IS.bin", archiveCopy = work + "BCSetup_IS.copy";
    // The payload's file and the entries are made new, never written over:
    // each round starts without those of the round before.
    double extract = Best([&] { DeleteFileA(archive.c_str()); },
                          [&] { return SUCCEEDED(ExtractPayloadTo(IDR_PAYLOAD_MAIN, archive.c_str())); });
    double archiveMb = FileMb(archive);
    double copyArchive = Best([&] { return CopyFileA(archive.c_str(), archiveCopy.c_str(), FALSE) != FALSE; });
    double unpack = Best([&] { EmptyFolder(unpacked); },
                         [&] { return SUCCEEDED(UnpackPackageInto(archive.c_str(), unpacked.c_str())); });
    std::vector<std::string> entries = FilesIn(unpacked);
    double entriesMb = 0;
    for (const std::string& name : entries)
        entriesMb += FileMb(unpacked + name);
    double copyEntries = Best([&] {
        for (const std::string& name : entries)
            if (!CopyFileA((unpacked + name).c_str(), (copied + name).c_str(), FALSE))
                return false;
        return true;
    });

    double afterExtraction = PeakWorkingSetMb(); // before the copy in memory below

    // The check's own cost: the platform's SHA-256 over the same bytes in
    // memory, the most an extraction that checks them can reach.
    std::vector<BYTE> bytes(static_cast<size_t>(archiveMb * 1048576 + 0.5));
    HANDLE file = CreateFileA(archive.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD got = 0;
    bool read = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size();
    CloseHandle(file);
    double hash = Best([&] {
        CPayloadHash sha256;
        BYTE digest[PAYLOAD_DIGEST_SIZE];
        if (!read || FAILED(sha256.Create()))
            return false;
        for (size_t done = 0; done < bytes.size(); done += 1048576) {
            DWORD count = static_cast<DWORD>(bytes.size() - done < 1048576 ? bytes.size() - done : 1048576);
            if (FAILED(sha256.Add(bytes.data() + done, count)))
                return false;
        }
        return SUCCEEDED(sha256.Finish(digest));
    });

    std::printf("package: %.2f MiB in %u entries\n", archiveMb, static_cast<unsigned>(entries.size()));
    Row("extract payload 207 (ExtractPayload)", archiveMb, extract, copyArchive);
    Row("  its SHA-256 alone (CryptoAPI)", archiveMb, hash, copyArchive);
    Row("unpack package (UnpackPackage)", entriesMb, unpack, copyEntries);
    std::printf("peak working set: %.1f MiB at start, %.1f MiB after a 1 MiB package, %.1f MiB after a %u MiB "
                "package (%.1f MiB/s, result 0x%08lX)\n",
                baseline, afterSmall, afterBig, bigMb, bigMb / bigSeconds, static_cast<unsigned long>(bigResult));
    std::printf("peak working set after extraction (the payload's image pages included): %.1f MiB\n", afterExtraction);

    // Shows that the figure above is live: 64 MB touched must show up in it.
    std::vector<char> touched(64 * 1048576, 1);
    std::printf("sanity check: after touching 64 MiB more the peak working set is %.1f MiB\n",
                PeakWorkingSetMb() + 0 * touched[touched.size() - 1]);

    EmptyFolder(unpacked);
    EmptyFolder(copied);
    RemoveDirectoryA(unpacked.c_str());
    RemoveDirectoryA(copied.c_str());
    EmptyFolder(work);
    RemoveDirectoryA(work.c_str());
    return 0;
}
