// Benchmark probe (not a test): the steps of one setup run, timed one by one
// with the setup's own code and payloads, for the peer benchmark. It
// writes "phase milliseconds" lines to the file named by BCSETUP_PROBE_PHASES;
// BCSETUP_PROBE_STARTED holds the performance counter at which the benchmark
// created this process.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "dxver/dx_version.h"
#include "package/companion_installers.h"
#include "package/main_installer.h"
#include "package/package_archive.h"
#include "package/payload_extraction.h"
#include "resource_ids.h"
#include "setup/work_folder.h"

#include "bench_clock.h"
#include "tests/package/package_calls_by_path.h"

using namespace testing_support;

namespace {

std::string Environment(const char* name)
{
    char value[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? value : "";
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    LONGLONG entry = Counter();
    std::string started = Environment("BCSETUP_PROBE_STARTED");
    FILE* out = std::fopen(Environment("BCSETUP_PROBE_PHASES").c_str(), "w");
    if (!out || started.empty())
        return 2;
    std::fprintf(out, "process start %.1f\n", Milliseconds(entry - std::strtoll(started.c_str(), nullptr, 10)));

    LONGLONG mark = Counter();
    auto phase = [&](const char* name, double less = 0) {
        LONGLONG now = Counter();
        double spent = Milliseconds(now - mark) - less;
        std::fprintf(out, "%s %.1f\n", name, spent);
        mark = Counter();
        return spent;
    };
    char temp[SETUP_PATH_SIZE];
    GetWorkFolderParent(temp);
    CWorkFolder workFolder;
    if (FAILED(workFolder.Create(temp)) || !workFolder.Confirm())
        return 3;
    // Extraction and unpacking are timed on their own in a folder of the
    // work folder (the files are made new, never over others); the main
    // run then writes and unpacks the package again in the work folder.
    const std::string phases = std::string(workFolder.GetPath()) + "phases\\";
    CreateDirectoryA(phases.c_str(), nullptr);
    mark = Counter();
    std::string package = phases + "BCSetup_IS.bin";
    bool ok = SUCCEEDED(ExtractPayloadTo(IDR_PAYLOAD_MAIN, package.c_str()));
    double extraction = phase("extraction");
    ok = ok && SUCCEEDED(UnpackPackageInto(package.c_str(), phases));
    double unpacking = phase("unpacking");
    // Only the rest of the main run is the installer's.
    ok = ok && SUCCEEDED(RunMainInstaller(workFolder.GetHeld(), nullptr));
    phase("setup.exe", extraction + unpacking);
    ok = ok && SUCCEEDED(RunDivXSetup(workFolder.GetHeld()));
    phase("DivXPro.exe");
    ok = ok && SUCCEEDED(RunWmfRuntimeSetup(workFolder.GetHeld()));
    phase("wmfdist.exe");
    workFolder.Remove();
    phase("removal");
    // The DirectX detection comes last here, so the peaks before it are the
    // setup's own without the diagnostic provider.
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    std::fprintf(out, "peak working set before DirectX %.1f\n", memory.PeakWorkingSetSize / 1048576.0);
    std::fprintf(out, "peak private before DirectX %.1f\n", memory.PeakPagefileUsage / 1048576.0);
    mark = Counter();
    DWORD version = 0;
    char text[16];
    GetDXVersion(&version, text, sizeof text);
    phase("DirectX detection");
    std::fclose(out);
    return ok ? 0 : 1;
}
