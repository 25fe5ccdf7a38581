// peer_bench OURS PEER EMPTY [rounds]: the installer against its peer, the
// same payload set built as an NSIS installer (bench/Peer.nsi), and an NSIS
// installer that installs nothing, for what a process that starts and ends
// costs. Turn about, in one Wine prefix and display: the installation (ours
// from the click on the directory page's Next to the finished page on screen,
// the peer's /S less the empty one's /S), /S as whole processes, the start to
// the first page, and the peak working set of an installation in the window.
// Built and run by bench/peer.sh.

#include "bench/Timing.h"
#include "tests/gui/Driver.h"
#include "tests/win/Probe.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

const wchar_t kRoot[] = L"C:\\peer";

[[noreturn]] void Fail(const std::wstring& what) {
    std::fwprintf(stderr, L"peer_bench: %ls\n", what.c_str());
    std::exit(1);
}

// Polled every millisecond: the driver's own waits look every 20 ms, which
// would round the shorter times away.
bool Await(const std::function<bool()>& condition) {
    const double end = Now() + 120;
    while (!condition()) {
        if (Now() > end)
            return false;
        Sleep(1);
    }
    return true;
}

struct Search {
    std::function<bool(HWND)> match;
    HWND found = nullptr;
};

BOOL CALLBACK Look(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (!search->match(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND VisibleTopWindow(DWORD processId, const wchar_t* className) {
    Search search{[&](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        return owner == processId && IsWindowVisible(window) && wcscmp(name, className) == 0;
    }};
    EnumWindows(Look, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Descendant(HWND parent, std::function<bool(HWND)> match) {
    Search search{std::move(match)};
    if (parent)
        EnumChildWindows(parent, Look, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

double PeakWorkingSetKib(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
        Fail(L"no memory counters of an installer");
    return static_cast<double>(counters.PeakWorkingSetSize) / 1024;
}

struct WizardRun {
    double startUp;       // from the start of the process to its first page on screen
    double installation;  // ours: the directory page's Next to the finished page; the peer: its page to Completed
    double peakKib;
};

WizardRun Ours(const std::wstring& path, const std::wstring& dir) {
    WizardRun run{};
    const double start = Now();
    Installer ours(path);
    if (!Await([&] {
            HWND window = VisibleTopWindow(ours.ProcessId(), L"TInstallForm");
            return Descendant(window, [](HWND c) {
                       return GetDlgCtrlID(c) == WelcomeTabSheet && IsWindowVisible(c);
                   }) != nullptr;
        }))
        Fail(path + L" showed no wizard");
    run.startUp = Now() - start;

    auto turnTo = [&](ControlId page) {
        HWND next = ours.Control(NextStepBtn);
        if (!Press(next) || !Await([&] { return Visible(ours.Control(page)); }))
            Fail(L"the wizard did not turn its page");
        Settle(ours.Window());
    };
    turnTo(LisenseTabSheet);
    turnTo(DirTabSheet);
    SendMessageW(ours.Control(InstallDir), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dir.c_str()));
    HWND finished = ours.Control(OverTabSheet);
    const double click = Now();
    if (!Press(ours.Control(NextStepBtn)) || !Await([&] { return Visible(finished); }))
        Fail(L"the wizard did not reach its finished page");
    run.installation = Now() - click;
    run.peakKib = PeakWorkingSetKib(ours.Process());
    // The finished page closes without a question and runs no finish action.
    PostMessageW(ours.Window(), WM_CLOSE, 0, 0);
    if (!ours.WaitForExit())
        Fail(L"the wizard did not end");
    return run;
}

WizardRun Peer(const std::wstring& path, const std::wstring& dir) {
    WizardRun run{};
    const double start = Now();
    Installer peer(path, L"/D=" + dir);
    HWND window = nullptr;
    // Its one page, the progress of the installation, which starts at once.
    if (!Await([&] {
            window = VisibleTopWindow(peer.ProcessId(), L"#32770");
            return Descendant(window, [](HWND c) {
                       wchar_t name[64] = {};
                       GetClassNameW(c, name, 64);
                       return wcscmp(name, L"msctls_progress32") == 0 && IsWindowVisible(c);
                   }) != nullptr;
        }))
        Fail(path + L" showed no page");
    const double shown = Now();
    run.startUp = shown - start;
    // Its Next button turns into an enabled Close once the installation is done.
    HWND close = GetDlgItem(window, IDOK);
    if (!Await([&] { return Enabled(close); }))
        Fail(path + L" did not complete");
    run.installation = Now() - shown;
    run.peakKib = PeakWorkingSetKib(peer.Process());
    if (!Press(close) || !peer.WaitForExit())
        Fail(path + L" did not end");
    return run;
}

// A whole unattended process, from its start to its end.
double Silent(const std::wstring& path, const std::wstring& dir) {
    const double start = Now();
    Installer installer(path, L"/S /D=" + dir);
    if (!installer.WaitForExit(120000) || installer.ExitCode() != 0)
        Fail(path + L" /S failed");
    return Now() - start;
}

unsigned long long Bytes(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        Fail(L"cannot find " + path);
    return static_cast<unsigned long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

struct Series {
    std::vector<double> ours, peer, ratio;
    void Add(double o, double p) {
        ours.push_back(o);
        peer.push_back(p);
        ratio.push_back(o / p);
    }
    void Print(const char* what, double scale) const {
        std::printf("%-42s %10.1f %10.1f %10.3f  (%.3f to %.3f)\n", what, Median(ours) * scale, Median(peer) * scale,
                    Median(ratio), *std::min_element(ratio.begin(), ratio.end()),
                    *std::max_element(ratio.begin(), ratio.end()));
    }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fwprintf(stderr, L"usage: peer_bench OURS PEER EMPTY [rounds]\n");
        return 2;
    }
    const std::wstring ours = argv[1], peer = argv[2], empty = argv[3];
    const int rounds = std::max(argc > 4 ? _wtoi(argv[4]) : 9, 1);
    const std::wstring oursDir = std::wstring(kRoot) + L"\\ours", peerDir = std::wstring(kRoot) + L"\\peer",
                       emptyDir = std::wstring(kRoot) + L"\\empty";
    CreateDirectoryW(kRoot, nullptr);

    Series installation, silent, startUp, peak;
    std::vector<double> emptySilent, peerWindow;
    for (int round = 0; round <= rounds; ++round) {
        // Each installation goes into a folder that does not exist yet.
        auto oursWizard = [&] {
            RemoveTree(oursDir);
            return Ours(ours, oursDir);
        };
        auto peerWizard = [&] {
            RemoveTree(peerDir);
            return Peer(peer, peerDir);
        };
        auto silentRun = [&](const std::wstring& path, const std::wstring& dir) {
            RemoveTree(dir);
            return Silent(path, dir);
        };
        // Turn about, so that neither side always runs right after the other.
        WizardRun o{}, p{};
        double oS = 0, pS = 0, eS = 0;
        if (round % 2) {
            o = oursWizard();
            p = peerWizard();
            oS = silentRun(ours, oursDir);
            pS = silentRun(peer, peerDir);
            eS = silentRun(empty, emptyDir);
        } else {
            p = peerWizard();
            o = oursWizard();
            eS = silentRun(empty, emptyDir);
            pS = silentRun(peer, peerDir);
            oS = silentRun(ours, oursDir);
        }
        // Round 0 loads what every later round finds in the caches.
        if (round == 0)
            continue;
        installation.Add(o.installation, pS - eS);
        silent.Add(oS, pS);
        startUp.Add(o.startUp, p.startUp);
        peak.Add(o.peakKib, p.peakKib);
        emptySilent.push_back(eS);
        peerWindow.push_back(p.installation);
    }
    for (const std::wstring& dir : {oursDir, peerDir, emptyDir})
        RemoveTree(dir);

    const unsigned long long oursBytes = Bytes(ours), peerBytes = Bytes(peer);
    std::printf("%-42s %10s %10s %10s\n", "", "ours", "NSIS", "ours/NSIS");
    std::printf("%-42s %10llu %10llu %10.3f\n", "installer, bytes", oursBytes, peerBytes,
                static_cast<double>(oursBytes) / static_cast<double>(peerBytes));
    std::printf("median of %d rounds, turn about; ratio: the median of the rounds' own (best to worst)\n", rounds);
    installation.Print("installation, ms (NSIS: /S less empty /S)", 1e3);
    silent.Print("/S as a whole process, ms", 1e3);
    startUp.Print("start to the first page, ms", 1e3);
    peak.Print("peak working set in the window, KiB", 1);
    std::printf("empty NSIS installer: %llu bytes, /S %.1f ms; NSIS in its window, page to Completed: %.1f ms\n",
                Bytes(empty), Median(emptySilent) * 1e3, Median(peerWindow) * 1e3);
    return 0;
}
