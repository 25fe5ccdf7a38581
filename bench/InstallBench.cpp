// install_bench [rounds]: times the whole installation sequence of the
// product's full-size payload set against the physical limit measured in the
// same run, writing the same fifteen plain files directly after a bare zlib
// inflate of the same streams, and reports the peak working set of an
// installation above the idle wizard. Built by bench/install.sh.

#include "app/InstallMain.h"
#include "system/ComApartment.h"
#include "system/EmbeddedResource.h"
#include "system/Error.h"
#include "system/Files.h"
#include "tests/win/Probe.h"

#include <psapi.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <vector>

namespace {

const wchar_t kRoot[] = L"C:\\ZarvoBench";
constexpr double kMiB = 1 << 20;

double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

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

struct Run {
    double seconds;
    SIZE_T idle, peak;
};

// One installation through the wizard, as the user starts it on the directory
// page; only the sequence itself is timed and measured.
Run Install(Application& application, const std::wstring& dir) {
    TInstallForm form(application);
    form.Create();
    form.Show();
    form.Window().SetText(InstallDir, dir);
    form.NextStepBtnClick();
    form.NextStepBtnClick();
    application.ProcessMessages();
    ResetPeak();
    Run run{0, Memory().WorkingSetSize, 0};
    const double start = Now();
    form.NextStepBtnClick();
    run.seconds = Now() - start;
    run.peak = Memory().PeakWorkingSetSize;
    form.Destroy();
    InstallMain::ReleaseInstallerState();
    return run;
}

// The same bytes to the same disk with nothing else: inflate each stream with
// bare zlib and write the plain file.
double PhysicalLimit(const std::wstring& dir) {
    CreateDirectoryW(dir.c_str(), nullptr);
    std::vector<unsigned char> plain(4 << 20);
    const double start = Now();
    for (const wchar_t* payload : PayloadNames) {
        const EmbeddedResource container(PayloadResourceType(payload).c_str(), payload);
        const auto* bytes = static_cast<const unsigned char*>(container.Data());
        uLongf size = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uLongf>(bytes[3]) << 24;
        if (uncompress(plain.data(), &size, bytes + 4, container.Size() - 4) != Z_OK)
            throw Error(L"uncompress failed");
        WriteWholeFile(dir + L"\\" + PayloadFileName(payload), plain.data(), size);
    }
    return Now() - start;
}

int Bench(int rounds) {
    ComApartment com;
    Application application;
    RemoveTree(kRoot);
    CreateDirectoryW(kRoot, nullptr);

    std::size_t largest = 0, total = 0;
    for (const wchar_t* payload : PayloadNames) {
        const EmbeddedResource container(PayloadResourceType(payload).c_str(), payload);
        const auto* bytes = static_cast<const unsigned char*>(container.Data());
        const std::size_t size = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::size_t>(bytes[3]) << 24;
        largest = std::max(largest, size);
        total += size;
    }

    // A first installation loads every library the sequence uses, so that the
    // rounds measure the installation and not the system's first touches.
    Install(application, std::wstring(kRoot) + L"\\warm");
    std::vector<double> install, limit;
    SIZE_T growth = 0;
    for (int round = 1; round <= rounds; ++round) {
        const Run run = Install(application, std::wstring(kRoot) + L"\\install" + std::to_wstring(round));
        install.push_back(run.seconds);
        growth = std::max<SIZE_T>(growth, run.peak > run.idle ? run.peak - run.idle : 0);
        limit.push_back(PhysicalLimit(std::wstring(kRoot) + L"\\limit" + std::to_wstring(round)));
    }
    RemoveTree(kRoot);

    std::printf("payload set: 15 payloads, %zu plain bytes, largest %zu\n", total, largest);
    std::printf("%d rounds            installation   physical limit   ratio\n", rounds);
    const double bestInstall = *std::min_element(install.begin(), install.end());
    const double bestLimit = *std::min_element(limit.begin(), limit.end());
    std::printf("  best           %9.1f ms %13.1f ms %9.3f\n", bestInstall * 1e3, bestLimit * 1e3,
                bestInstall / bestLimit);
    std::printf("  median         %9.1f ms %13.1f ms %9.3f\n", Median(install) * 1e3, Median(limit) * 1e3,
                Median(install) / Median(limit));
    std::printf("  throughput     %9.1f MiB/s %10.1f MiB/s   target: ratio <= 1.3\n", total / kMiB / Median(install),
                total / kMiB / Median(limit));
    std::printf(
        "largest peak working set above the idle wizard: %zu bytes = %.3f of largest plain + 1 MiB;"
        " target <= 1\n",
        static_cast<size_t>(growth), static_cast<double>(growth) / (static_cast<double>(largest) + kMiB));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? _wtoi(argv[1]) : 9;
    try {
        return Bench(std::max(rounds, 1));
    } catch (const Error& error) {
        std::fwprintf(stderr, L"install_bench: %ls\n", error.Message().c_str());
        return 1;
    }
}
