// Benchmark (not a test): what starting and waiting for the installers costs
// on this machine, with the stand-ins: a bare RunAndWait round trip, the
// companion runs (extract, run, delete), and the main run with and without
// an installer window (the window search ends as soon as the installer has).
//   installer_benchmark.exe [ROUNDS]     (default 5)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "package/child_process.h"
#include "package/companion_installers.h"
#include "package/main_installer.h"
#include "package/package_archive.h"
#include "package/payload_extraction.h"
#include "bench_clock.h"
#include "resource_ids.h"
#include "tests/package/package_calls_by_path.h"

using namespace testing_support;

namespace {

// The performance counter now, in milliseconds.
double NowMs()
{
    return Milliseconds(Counter());
}

// Median and worst of rounds runs of call, in milliseconds.
void Measure(const char* what, int rounds, const std::function<bool()>& call)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        double start = NowMs();
        if (!call()) {
            std::printf("%-52s FAILED\n", what);
            return;
        }
        times.push_back(NowMs() - start);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-52s median %8.1f ms   worst %8.1f ms\n", what, times[times.size() / 2], times.back());
}

std::string FreshFolder(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::string work = FreshFolder("bcsetup-installer-bench");
    std::string program = ProgramFolder() + "wmfdist.exe";
    SetEnvironmentVariableA("BCSETUP_SETUP_ACTION", "install");
    std::string destination = work + "Programs\\";
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Korvane\\Brixelcast", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "ProgramsPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(destination.c_str()),
                       static_cast<DWORD>(destination.size() + 1));
        RegCloseKey(key);
    }

    std::printf("%d rounds each\n", rounds);
    Measure("RunAndWait of a program that ends at once", rounds, [&] {
        std::string line = "\"" + program + "\" /Q";
        return SUCCEEDED(RunAndWait(&line[0], program.c_str()));
    });
    Measure("RunDivXSetup (extract, run, delete)", rounds, [&] { return SUCCEEDED(RunDivXSetupIn(work.c_str())); });
    Measure("RunWmfRuntimeSetup (extract, run, delete)", rounds,
            [&] { return SUCCEEDED(RunWmfRuntimeSetupIn(work.c_str())); });
    // The package and its entries are made new, never over the files of a
    // round before: each round of these gets an empty folder of its own
    // (one CreateDirectory inside the timed part).
    int round = 0;
    auto freshRoundFolder = [&] {
        std::string folder = work + "round" + std::to_string(++round) + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        return folder;
    };
    Measure("ExtractPayload + UnpackPackage of the main package", rounds, [&] {
        std::string folder = freshRoundFolder();
        std::string package = folder + "BCSetup_IS.bin";
        return SUCCEEDED(ExtractPayloadTo(IDR_PAYLOAD_MAIN, package.c_str())) &&
               SUCCEEDED(UnpackPackageInto(package.c_str(), folder.c_str()));
    });
    Measure("RunMainInstaller, installer window shown", rounds,
            [&] { return SUCCEEDED(RunMainInstallerIn(freshRoundFolder(), nullptr)); });
    SetEnvironmentVariableA("BCSETUP_SETUP_WINDOW", "none");
    Measure("RunMainInstaller, installer without a window", rounds,
            [&] { return SUCCEEDED(RunMainInstallerIn(freshRoundFolder(), nullptr)); });

    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Korvane\\Brixelcast", 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        for (const char* name : {"ProgramsPath", "Path", "CANCELED", "RequireReboot"})
            RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
    return 0;
}
