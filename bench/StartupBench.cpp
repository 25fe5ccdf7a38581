// startup_bench CHECKED UNCHECKED [rounds]: what the payload check costs at
// start. Times two builds of the installer with the product's full-size
// payload set, the real one and one whose check is linked out, from the start
// of the process to the wizard window on screen with all its controls, turn
// about, and sets the one against the other round by round. It also times the
// check alone in this process, on the same payloads, against the start-up
// without it. Built and run by bench/startup.sh.

#include "bench/Timing.h"
#include "payload/Integrity.h"
#include "tests/gui/Driver.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Seconds from the start of the process to its wizard on screen; the process
// is ended afterwards.
double StartUp(const std::wstring& path) {
    const double start = Now();
    Installer installer(path);
    if (!installer.Window()) {
        std::fwprintf(stderr, L"startup_bench: %ls showed no wizard\n", path.c_str());
        std::exit(1);
    }
    return Now() - start;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: startup_bench CHECKED UNCHECKED [rounds]\n");
        return 2;
    }
    const std::wstring checked = argv[1], unchecked = argv[2];
    const int rounds = std::max(argc > 3 ? _wtoi(argv[3]) : 15, 1);

    // A first start of each loads what both use.
    StartUp(checked);
    StartUp(unchecked);
    std::vector<double> with, without, ratios;
    for (int round = 1; round <= rounds; ++round) {
        // Turn about, so that neither side always runs right after the other.
        if (round % 2)
            without.push_back(StartUp(unchecked));
        with.push_back(StartUp(checked));
        if (!(round % 2))
            without.push_back(StartUp(unchecked));
        ratios.push_back(with.back() / without.back());
    }
    std::vector<double> check;
    for (int round = 0; round < 25; ++round) {
        const double start = Now();
        if (!PayloadsIntact()) {
            std::fwprintf(stderr, L"startup_bench: the payloads embedded here fail the check\n");
            return 1;
        }
        check.push_back(Now() - start);
    }

    std::printf("start-up to the wizard on screen, median of %d rounds: with the check %.1f ms, without %.1f ms\n",
                rounds, Median(with) * 1e3, Median(without) * 1e3);
    std::printf("  with / without, each round: median %.3f, best %.3f, worst %.3f\n", Median(ratios),
                *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()));
    // The first check reads the payloads in as the installer's start does; the
    // later ones find them in memory.
    std::printf(
        "the check alone, in this process: first %.2f ms = %.4f of the start-up without it, then median %.2f ms\n",
        check.front() * 1e3, check.front() / Median(without), Median(check) * 1e3);
    return 0;
}
