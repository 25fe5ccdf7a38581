// install_bench [rounds] [--upgrade] [--raw]: times each phase of a whole
// installation of the product's full-size payload set, into a new folder or
// (--upgrade) over the last one, and sets it against the floor measured in the
// same run: the same required work done with the simplest direct calls (the
// rights of the folders on the way, the room on both disks, a look for an
// earlier run's names, the same directories, one process snapshot, a look at
// each destination, the same fifteen files through the same temporary copies,
// inflated, written beside their places and renamed, with the kept copy of
// the installer, the same five shortcut files, the product's registry values
// read and written, a marker made and removed). It also reports the peak working set of an installation above
// the idle wizard. With --raw it prints each round's figures instead, for
// bench/install.sh to set two builds side by side. Built by bench/install.sh.
// The phases are told apart by the hooks of bench/InstallHooks.h.

#include "app/InstallMain.h"
#include "bench/InstallFloor.h"
#include "bench/InstallHooks.h"
#include "system/ComApartment.h"
#include "system/EmbeddedResource.h"
#include "system/Error.h"
#include "tests/win/Probe.h"

#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

const wchar_t kRoot[] = L"C:\\ZarvoBench";
constexpr double kMiB = 1 << 20;

using install_hooks::Watch;

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

// Under Wine the working-set figures are the Linux process's resident sizes,
// and writing 5 to its clear_refs starts the peak afresh from the current size.
void ResetPeak() {
    if (FILE* file = _wfopen(L"Z:\\proc\\self\\clear_refs", L"w")) {
        std::fputs("5", file);
        std::fclose(file);
    }
}

struct Installation : Round {
    SIZE_T idle = 0, peak = 0;
    SIZE_T Growth() const { return peak > idle ? peak - idle : 0; }
};

// One installation through the wizard, as the user starts it on the directory
// page; only the click that runs the sequence, up to the finished page drawn,
// is timed and measured.
Installation Install(Application& application, const std::wstring& dir) {
    TInstallForm form(application);
    form.Create();
    form.Show();
    form.Window().SetText(InstallDir, dir.c_str());
    while (form.Window().ActivePage() != DirTabSheet)
        form.NextStepBtnClick();
    application.ProcessMessages();
    ResetPeak();
    Installation run;
    run.idle = Memory().WorkingSetSize;
    Watch timed;
    timed.status = form.Window().Control(StatusLabel);
    install_hooks::watch = &timed;
    const double start = Now();
    form.NextStepBtnClick();
    application.ProcessMessages();  // until the finished page is drawn
    run.total = Now() - start;
    run.phases = timed.timeline.Spent();
    install_hooks::watch = nullptr;
    run.peak = Memory().PeakWorkingSetSize;
    form.Destroy();
    InstallMain::ReleaseInstallerState();
    return run;
}

// One round a line: the installation's time and phases and its growth of the
// working set, then the floor's time and phases, in milliseconds and bytes.
void PrintRaw(const std::vector<Installation>& install, const std::vector<Round>& floor) {
    std::printf("phases");
    for (const char* name : kPhaseNames)
        std::printf("\t%s", name);
    std::printf("\n");
    for (std::size_t i = 0; i < install.size(); ++i) {
        std::printf("round\t%.3f", install[i].total * 1e3);
        for (double spent : install[i].phases)
            std::printf("\t%.3f", spent * 1e3);
        std::printf("\t%zu\t%.3f", static_cast<size_t>(install[i].Growth()), floor[i].total * 1e3);
        for (double spent : floor[i].phases)
            std::printf("\t%.3f", spent * 1e3);
        std::printf("\n");
    }
}

void PrintTable(int rounds, const std::vector<Installation>& install, const std::vector<Round>& floor) {
    std::printf("median of %d rounds, ms                      installation      floor    ratio\n", rounds);
    auto row = [](const char* name, double mine, double least) {
        if (least > 0)
            std::printf("  %-42s %12.2f %10.2f %8.2f\n", name, mine * 1e3, least * 1e3, mine / least);
        else
            std::printf("  %-42s %12.2f %10s %8s\n", name, mine * 1e3, "-", "-");
    };
    for (int phase = 0; phase < kPhaseCount; ++phase) {
        std::vector<double> mine, least;
        for (const Installation& run : install)
            mine.push_back(run.phases[phase]);
        for (const Round& run : floor)
            least.push_back(run.phases[phase]);
        row(kPhaseNames[phase], Median(mine), Median(least));
    }
    std::vector<double> mine, least, ratios;
    for (std::size_t i = 0; i < install.size(); ++i) {
        mine.push_back(install[i].total);
        least.push_back(floor[i].total);
        ratios.push_back(install[i].total / floor[i].total);
    }
    row("whole installation", Median(mine), Median(least));
    std::printf("  rounds (installation/floor, ms):");
    for (std::size_t i = 0; i < install.size(); ++i)
        std::printf(" %.0f/%.0f", install[i].total * 1e3, floor[i].total * 1e3);
    std::printf("\n");
    std::printf("  installation / floor, each round: median %.2f, best %.2f, worst %.2f   target: <= 1.3\n",
                Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()));
}

int Bench(int rounds, bool upgrade, bool raw) {
    ComApartment com;
    Application application;
    RemoveTree(kRoot);
    CreateDirectoryW(kRoot, nullptr);

    std::size_t largest = 0, total = 0;
    for (const wchar_t* payload : PayloadNames) {
        const EmbeddedResource container(PayloadResourceType(payload).c_str(), payload);
        largest = std::max(largest, PlainSize(container));
        total += PlainSize(container);
    }
    install_hooks::InstallHooks();
    FloorTools tools;
    wchar_t tempPath[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, tempPath);
    std::wstring tempDir = tempPath;
    tempDir.pop_back();

    // Each side's files go as soon as it has been measured: data left behind
    // would be written back to disk while a later round is timed. An upgrade
    // replaces what the side's last round installed.
    const std::wstring installDir = std::wstring(kRoot) + L"\\install", floorDir = std::wstring(kRoot) + L"\\floor";
    auto installOnce = [&] {
        const Installation run = Install(application, installDir);
        if (!upgrade)
            RemoveTree(installDir);
        return run;
    };
    auto floorOnce = [&] {
        const Round run = Floor(tools, kRoot, floorDir, tempDir);
        if (!upgrade)
            RemoveTree(floorDir);
        return run;
    };
    // A first installation and a first floor load every library that they use,
    // so that the rounds measure the work and not the system's first touches.
    installOnce();
    floorOnce();
    std::vector<Installation> install;
    std::vector<Round> floor;
    SIZE_T growth = 0;
    for (int round = 1; round <= rounds; ++round) {
        // Turn about, so that neither side always runs right after the other.
        if (round % 2)
            floor.push_back(floorOnce());
        install.push_back(installOnce());
        if (!(round % 2))
            floor.push_back(floorOnce());
        growth = std::max(growth, install.back().Growth());
    }
    RemoveTree(kRoot);
    if (raw) {
        PrintRaw(install, floor);
        return 0;
    }
    std::printf("payload set: 15 payloads, %zu plain bytes, largest %zu\n", total, largest);
    PrintTable(rounds, install, floor);
    std::printf(
        "largest peak working set above the idle wizard: %zu bytes = %.3f of largest plain + 1 MiB;"
        " target <= 1\n",
        static_cast<size_t>(growth), static_cast<double>(growth) / (static_cast<double>(largest) + kMiB));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int rounds = 9;
    bool upgrade = false, raw = false;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--upgrade") == 0)
            upgrade = true;
        else if (std::wcscmp(argv[i], L"--raw") == 0)
            raw = true;
        else
            rounds = _wtoi(argv[i]);
    }
    try {
        return Bench(std::max(rounds, 1), upgrade, raw);
    } catch (const Error& error) {
        std::fwprintf(stderr, L"install_bench: %ls\n", error.Message().c_str());
        return 1;
    }
}
