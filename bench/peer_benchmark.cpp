// Benchmark (not a test): the setup against an NSIS installer doing the same
// work, run alternately in shuffled order; the probe times the setup's own
// steps. Each program's start to exit, start to setup.exe (the stand-in
// stamps its start) and peak memory as the platform reports it.
//   peer_benchmark.exe ROUNDS WORK_FOLDER BCSETUP BCSETUP_TINY NSIS NSIS_TINY PROBE
// (the last five are command lines; the TINY ones carry 1 KiB padding files)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench_clock.h"

namespace {

enum { BCSETUP, BCSETUP_TINY, NSIS, NSIS_TINY, PROBE, PROGRAMS };
const int RUN_TIME_OUT_MS = 60000;
const char* const NAMES[PROGRAMS] = {"BCSetup", "BCSetup, 1 KiB padding", "NSIS", "NSIS, 1 KiB padding", "probe"};

struct Figures {
    std::vector<double> exitMs, setupMs, workingSetMb, privateMb;
};

struct Stats {
    double median, low, high;
};

Stats Of(std::vector<double> values)
{
    if (values.empty())
        return {0, 0, 0};
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

// a[i] - b[i] for each round both have.
std::vector<double> RoundDifferences(const std::vector<double>& a, const std::vector<double>& b)
{
    std::vector<double> differences;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        differences.push_back(a[i] - b[i]);
    return differences;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path.c_str());
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text;
}

// Runs one command line to its end; false when it can't start or fails.
bool RunOnce(const std::string& commandLine, const std::string& work, Figures& figures,
             std::map<std::string, std::vector<double>>* phases)
{
    std::string stamp = work + "setup-started.txt", phaseFile = work + "phases.txt";
    DeleteFileA(stamp.c_str());
    DeleteFileA(phaseFile.c_str());
    SetEnvironmentVariableA("BCSETUP_SETUP_STARTED", stamp.c_str());
    SetEnvironmentVariableA("BCSETUP_PROBE_PHASES", phaseFile.c_str());
    std::string line = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LONGLONG start = Counter();
    SetEnvironmentVariableA("BCSETUP_PROBE_STARTED", std::to_string(start).c_str());
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    // The peaks only grow: the last answer before the end holds them.
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    PROCESS_MEMORY_COUNTERS_EX last = {};
    const LONGLONG giveUp = start + static_cast<LONGLONG>(RUN_TIME_OUT_MS / Milliseconds(1));
    while (WaitForSingleObject(process.hProcess, 10) == WAIT_TIMEOUT) {
        if (Counter() > giveUp) {
            std::printf("%s did not end within %d s\n", commandLine.c_str(), RUN_TIME_OUT_MS / 1000);
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
            return false;
        }
        memory.cb = sizeof memory;
        // A process still being made answers with zeros.
        if (K32GetProcessMemoryInfo(process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                    sizeof memory) &&
            memory.PeakWorkingSetSize != 0)
            last = memory;
    }
    LONGLONG end = Counter();
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    if (exitCode != 0) {
        std::printf("%s ended with exit code %lu\n", commandLine.c_str(), exitCode);
        return false;
    }
    figures.exitMs.push_back(Milliseconds(end - start));
    std::string started = ReadText(stamp);
    if (!started.empty())
        figures.setupMs.push_back(Milliseconds(std::strtoll(started.c_str(), nullptr, 10) - start));
    if (last.cb != 0) { // a process that ended before the first answer adds no peaks
        figures.workingSetMb.push_back(last.PeakWorkingSetSize / 1048576.0);
        figures.privateMb.push_back(last.PeakPagefileUsage / 1048576.0);
    }
    if (phases) {
        std::ifstream in(phaseFile.c_str());
        std::string text;
        while (std::getline(in, text)) {
            size_t space = text.find_last_of(' ');
            if (space != std::string::npos)
                (*phases)[text.substr(0, space)].push_back(std::atof(text.c_str() + space + 1));
        }
    }
    return true;
}

void Row(const char* what, const std::vector<double>& ours, const std::vector<double>& theirs, const char* unit)
{
    Stats a = Of(ours), b = Of(theirs);
    std::printf("%-30s %8.1f %-3s (%7.1f-%7.1f)  NSIS %7.1f (%7.1f-%7.1f)  ratio %5.2f\n", what, a.median, unit, a.low,
                a.high, b.median, b.low, b.high, b.median > 0 ? a.median / b.median : 0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 + PROGRAMS) {
        std::printf("usage: peer_benchmark ROUNDS WORK_FOLDER BCSETUP BCSETUP_TINY NSIS NSIS_TINY PROBE\n");
        return 2;
    }
    int rounds = std::max(1, std::atoi(argv[1]));
    std::string work = argv[2];
    std::vector<Figures> figures(PROGRAMS);
    std::map<std::string, std::vector<double>> phases;
    std::vector<int> order = {BCSETUP, BCSETUP_TINY, NSIS, NSIS_TINY, PROBE};
    std::mt19937 shuffle(16);
    for (int round = 0; round < rounds; ++round) {
        std::shuffle(order.begin(), order.end(), shuffle);
        for (int program : order) {
            if (!RunOnce(argv[3 + program], work, figures[program], program == PROBE ? &phases : nullptr)) {
                std::printf("%s failed in round %d\n", NAMES[program], round + 1);
                return 1;
            }
        }
    }

    std::printf("%d rounds, shuffled; medians (minimum-maximum)\n", rounds);
    const Figures &ours = figures[BCSETUP], &theirs = figures[NSIS];
    Row("start -> exit", ours.exitMs, theirs.exitMs, "ms");
    Row("start -> setup.exe", ours.setupMs, theirs.setupMs, "ms");
    // Full minus tiny within each round, where both ran on the same machine
    // load: the median of those differences holds still far better than
    // the difference of two medians.
    Stats oursCost = Of(RoundDifferences(ours.exitMs, figures[BCSETUP_TINY].exitMs));
    Stats theirCost = Of(RoundDifferences(theirs.exitMs, figures[NSIS_TINY].exitMs));
    std::printf("%-30s %8.1f ms  (%7.1f-%7.1f)  NSIS %7.1f (%7.1f-%7.1f)  ratio %5.2f\n", "payload cost, per round",
                oursCost.median, oursCost.low, oursCost.high, theirCost.median, theirCost.low, theirCost.high,
                theirCost.median > 0 ? oursCost.median / theirCost.median : 0);
    Stats extraction = Of(phases["extraction"]), unpacking = Of(phases["unpacking"]);
    std::printf("%-30s %8.1f ms  (the probe: extraction %.1f + unpacking %.1f)\n", "payload cost, from the phases",
                extraction.median + unpacking.median, extraction.median, unpacking.median);
    Row("peak working set", ours.workingSetMb, theirs.workingSetMb, "MiB");
    Row("peak private bytes", ours.privateMb, theirs.privateMb, "MiB");
    std::printf("BCSetup's phases (the probe, same code and payloads):\n");
    const char* const steps[] = {"process start", "DirectX detection", "extraction",  "unpacking",
                                 "setup.exe",     "DivXPro.exe",       "wmfdist.exe", "removal"};
    for (const char* step : steps) {
        Stats s = Of(phases[step]);
        std::printf("  %-28s %8.1f ms (%7.1f-%7.1f)\n", step, s.median, s.low, s.high);
    }
    Figures& probe = figures[PROBE];
    Stats setup = Of(ours.setupMs), detection = Of(phases["DirectX detection"]);
    std::printf("start -> setup.exe without the DirectX detection: %.1f ms, ratio to NSIS %.2f\n",
                setup.median - detection.median, (setup.median - detection.median) / Of(theirs.setupMs).median);
    Stats privateBefore = Of(phases["peak private before DirectX"]);
    std::printf("probe peak working set / private: %.1f / %.1f MiB; before the DirectX detection %.1f / %.1f MiB "
                "(private ratio to NSIS %.2f)\n",
                Of(probe.workingSetMb).median, Of(probe.privateMb).median,
                Of(phases["peak working set before DirectX"]).median, privateBefore.median,
                privateBefore.median / Of(theirs.privateMb).median);
    return 0;
}
