// install_bench [rounds] [--upgrade] [--raw]: times each phase of a whole
// installation of the product's full-size payload set, into a new folder or
// (--upgrade) over the last one, and sets it against the floor measured in the
// same run: the same required work done with the simplest direct calls (the
// rights of the folders on the way, the room on both disks, a look for an
// earlier run's names, the same directories, one process snapshot, a look at
// each destination, the same fifteen files through the same temporary copies,
// inflated, written beside their places and renamed, the same five shortcut
// files, the same twenty-one registry values read and written, a marker made
// and removed). It also reports the peak working set of an installation above
// the idle wizard. With --raw it prints each round's figures instead, for
// bench/install.sh to set two builds side by side. Built by bench/install.sh.
//
// The installation's phases are told apart from outside the installer: this
// program patches its own import table, so that the installer's calls to the
// system pass through timing hooks that say which phase the time belongs to.
// The hooks know the installers of this round and of the last one, so that
// the same benchmark measures both.

#include "app/InstallMain.h"
#include "bench/InstallFloor.h"
#include "system/ComApartment.h"
#include "system/EmbeddedResource.h"
#include "system/Error.h"
#include "tests/win/Probe.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <utility>
#include <vector>

namespace {

const wchar_t kRoot[] = L"C:\\ZarvoBench";
constexpr double kMiB = 1 << 20;

// What the hooks need to know about the installation being timed; null while
// nothing is timed, when the hooks only pass calls on.
struct Watch {
    Timeline timeline;
    HWND status = nullptr;
    bool pumping = false;
    // From the first payload's status text to the shortcuts' one.
    bool payloads = false;
    Phase afterPump = Interface;
    // The run's folder of temporary copies, and the copy being read back.
    HANDLE scratch = nullptr;
    HANDLE copy = nullptr;

    Phase Now() const { return timeline.Current(); }
    void EnterFrom(Phase from, Phase to) {
        if (timeline.Current() == from)
            timeline.Enter(to);
    }
};
Watch* watch = nullptr;

// Replaces this executable's import of one function; returns the original,
// or null when nothing here imports it (so nothing here calls it).
void* PatchImport(const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name; ++dll) {
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) ||
                std::strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData)->Name, function))
                continue;
            DWORD protection;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
            void* original = reinterpret_cast<void*>(slot->u1.Function);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
            return original;
        }
    }
    return nullptr;
}

template <typename Function>
void Patch(Function& original, const char* name, Function hook) {
    original = reinterpret_cast<Function>(PatchImport(name, reinterpret_cast<void*>(hook)));
}

// A call to the window system: its time is the interface's, then the time is
// the surrounding phase's again.
template <int Id, typename Function>
struct InterfaceCall;

template <int Id, typename Result, typename... Args>
struct InterfaceCall<Id, Result(WINAPI*)(Args...)> {
    static inline Result(WINAPI* original)(Args...) = nullptr;
    static Result WINAPI Hook(Args... args) {
        if (!watch || watch->pumping)
            return original(args...);
        const Phase outer = watch->timeline.Enter(Interface);
        const Result result = original(args...);
        watch->timeline.Enter(outer);
        return result;
    }
    static void Install(const char* name) { Patch(original, name, &Hook); }
};

// The status texts name the phases that follow them; the two texts of each
// payload name what follows its pump. Labels take their texts through the
// default window procedure, the other controls through SetWindowTextW.
template <typename Call>
auto TimedText(HWND window, LPCWSTR text, Call call) {
    if (!watch)
        return call();
    Phase outer = watch->timeline.Enter(Interface);
    const auto result = call();
    if (window == watch->status) {
        const std::wstring status = text;
        for (auto [prefix, phase] : {std::pair{L"正在创建目录", Directories},
                                     {L"正在检查使用情况", ProcessScan},
                                     {L"正在创建快捷方式", Shortcuts},
                                     {L"正在更新系统键值", Registration},
                                     {L"正在删除生成的临时文件", Finish}})
            if (status.rfind(prefix, 0) == 0) {
                outer = phase;
                watch->payloads = false;
            }
        if (status.rfind(L"正在抽取", 0) == 0) {
            watch->afterPump = TemporaryCopies;
            watch->payloads = true;
        } else if (status.rfind(L"正在解压缩", 0) == 0) {
            watch->afterPump = Decompression;
        } else {
            watch->afterPump = outer;
        }
    }
    watch->timeline.Enter(outer);
    return result;
}

decltype(&SetWindowTextW) setWindowText;
BOOL WINAPI SetWindowTextHook(HWND window, LPCWSTR text) {
    return TimedText(window, text, [&] { return setWindowText(window, text); });
}

decltype(&DefWindowProcW) defWindowProc;
LRESULT WINAPI DefWindowProcHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_SETTEXT)
        return defWindowProc(window, message, wParam, lParam);
    return TimedText(window, reinterpret_cast<LPCWSTR>(lParam),
                     [&] { return defWindowProc(window, message, wParam, lParam); });
}

// A pump runs from its first look at the queue to the look that finds it empty.
decltype(&PeekMessageW) peekMessage;
BOOL WINAPI PeekMessageHook(LPMSG message, HWND window, UINT first, UINT last, UINT remove) {
    if (watch && !watch->pumping) {
        watch->pumping = true;
        watch->timeline.Enter(Pumps);
    }
    const BOOL result = peekMessage(message, window, first, last, remove);
    if (watch && !result) {
        watch->pumping = false;
        watch->timeline.Enter(watch->afterPump);
    }
    return result;
}

// The payloads' phases by what is opened below the held folders: the run's
// folder of temporary copies and each copy in it, or anything else, which
// belongs to a destination. Before them, a folder opened to be made where
// needed ends the look for an earlier run's names.
decltype(&NtCreateFile) ntCreateFile;
NTSTATUS NTAPI NtCreateFileHook(PHANDLE handle,
                                ACCESS_MASK access,
                                POBJECT_ATTRIBUTES attributes,
                                PIO_STATUS_BLOCK status,
                                PLARGE_INTEGER allocation,
                                ULONG fileAttributes,
                                ULONG share,
                                ULONG disposition,
                                ULONG options,
                                PVOID extended,
                                ULONG extendedLength) {
    bool scratch = false, copy = false;
    if (watch && watch->payloads) {
        scratch = (options & FILE_DIRECTORY_FILE) && disposition == FILE_CREATE;
        copy = watch->scratch && attributes->RootDirectory == watch->scratch;
        watch->timeline.Enter(scratch || copy ? TemporaryCopies : DestinationWrites);
    } else if (watch && (options & FILE_DIRECTORY_FILE) && disposition == FILE_OPEN_IF) {
        watch->EnterFrom(EarlierRun, Directories);
    }
    const NTSTATUS result = ntCreateFile(handle, access, attributes, status, allocation, fileAttributes, share,
                                         disposition, options, extended, extendedLength);
    if (scratch && NT_SUCCESS(result))
        watch->scratch = *handle;
    if (copy && NT_SUCCESS(result))
        watch->copy = *handle;
    return result;
}

// Deleting a copy (the last round's installer) or the folder of copies, and
// giving a file its name.
decltype(&NtSetInformationFile) ntSetInformationFile;
NTSTATUS NTAPI NtSetInformationFileHook(HANDLE file,
                                        PIO_STATUS_BLOCK status,
                                        PVOID information,
                                        ULONG length,
                                        FILE_INFORMATION_CLASS kind) {
    if (watch && kind == FileDispositionInformation && watch->payloads)
        watch->timeline.Enter(TemporaryCopies);
    else if (watch && kind == FileRenameInformation)
        watch->timeline.Enter(Renames);
    return ntSetInformationFile(file, status, information, length, kind);
}

// A copy made to go when it is closed goes here.
decltype(&CloseHandle) closeHandle;
BOOL WINAPI CloseHandleHook(HANDLE handle) {
    if (watch && handle == watch->copy) {
        watch->copy = nullptr;
        watch->timeline.Enter(TemporaryCopies);
    }
    return closeHandle(handle);
}

// The payloads' sizes are looked up for the free-space check before anything
// is made, and each payload's container before it is installed.
decltype(&FindResourceW) findResource;
HRSRC WINAPI FindResourceHook(HMODULE module, LPCWSTR name, LPCWSTR type) {
    if (watch) {
        const Phase now = watch->Now();
        if (now == DirectoryCheck)
            watch->timeline.Enter(FreeSpace);
        else if (now == ProcessScan || now == Holds || watch->payloads)
            watch->timeline.Enter(Resources);
    }
    return findResource(module, name, type);
}

decltype(&GetDiskFreeSpaceExW) getDiskFreeSpace;
BOOL WINAPI GetDiskFreeSpaceHook(LPCWSTR root, PULARGE_INTEGER free, PULARGE_INTEGER total, PULARGE_INTEGER all) {
    if (!watch)
        return getDiskFreeSpace(root, free, total, all);
    watch->timeline.Enter(FreeSpace);
    const BOOL result = getDiskFreeSpace(root, free, total, all);
    watch->timeline.Enter(DirectoryCheck);
    return result;
}

// The run's tag, made before it looks for an earlier run's names.
decltype(&CoCreateGuid) coCreateGuid;
HRESULT WINAPI CoCreateGuidHook(GUID* id) {
    if (watch)
        watch->EnterFrom(Directories, EarlierRun);
    return coCreateGuid(id);
}

// Each destination is reached through a second hold of the install folder.
decltype(&DuplicateHandle) duplicateHandle;
BOOL WINAPI DuplicateHandleHook(HANDLE sourceProcess,
                                HANDLE source,
                                HANDLE targetProcess,
                                LPHANDLE target,
                                DWORD access,
                                BOOL inherit,
                                DWORD options) {
    if (watch)
        watch->EnterFrom(ProcessScan, Holds);
    return duplicateHandle(sourceProcess, source, targetProcess, target, access, inherit, options);
}

// Each value is read before it is written: opened to be read, created to be
// written.
decltype(&RegOpenKeyExW) regOpenKey;
LSTATUS WINAPI RegOpenKeyHook(HKEY root, LPCWSTR key, DWORD options, REGSAM access, PHKEY opened) {
    if (watch)
        watch->EnterFrom(Registration, RegistryReads);
    return regOpenKey(root, key, options, access, opened);
}

decltype(&RegCreateKeyExW) regCreateKey;
LSTATUS WINAPI RegCreateKeyHook(HKEY root,
                                LPCWSTR key,
                                DWORD reserved,
                                LPWSTR className,
                                DWORD options,
                                REGSAM access,
                                const LPSECURITY_ATTRIBUTES security,
                                PHKEY created,
                                LPDWORD disposition) {
    if (watch)
        watch->EnterFrom(RegistryReads, Registration);
    return regCreateKey(root, key, reserved, className, options, access, security, created, disposition);
}

void InstallHooks() {
    Patch(setWindowText, "SetWindowTextW", &SetWindowTextHook);
    Patch(defWindowProc, "DefWindowProcW", &DefWindowProcHook);
    Patch(peekMessage, "PeekMessageW", &PeekMessageHook);
    Patch(ntCreateFile, "NtCreateFile", &NtCreateFileHook);
    Patch(ntSetInformationFile, "NtSetInformationFile", &NtSetInformationFileHook);
    Patch(closeHandle, "CloseHandle", &CloseHandleHook);
    Patch(findResource, "FindResourceW", &FindResourceHook);
    Patch(getDiskFreeSpace, "GetDiskFreeSpaceExW", &GetDiskFreeSpaceHook);
    Patch(coCreateGuid, "CoCreateGuid", &CoCreateGuidHook);
    Patch(duplicateHandle, "DuplicateHandle", &DuplicateHandleHook);
    Patch(regOpenKey, "RegOpenKeyExW", &RegOpenKeyHook);
    Patch(regCreateKey, "RegCreateKeyExW", &RegCreateKeyHook);
    InterfaceCall<0, decltype(&SendMessageW)>::Install("SendMessageW");
    InterfaceCall<1, decltype(&ShowWindow)>::Install("ShowWindow");
    InterfaceCall<2, decltype(&EnableWindow)>::Install("EnableWindow");
    InterfaceCall<3, decltype(&SetWindowPos)>::Install("SetWindowPos");
    InterfaceCall<4, decltype(&RedrawWindow)>::Install("RedrawWindow");
    InterfaceCall<5, decltype(&GetWindowTextW)>::Install("GetWindowTextW");
    InterfaceCall<6, decltype(&GetWindowTextLengthW)>::Install("GetWindowTextLengthW");
    InterfaceCall<7, decltype(&GetDC)>::Install("GetDC");
    InterfaceCall<8, decltype(&ReleaseDC)>::Install("ReleaseDC");
    InterfaceCall<9, decltype(&GetTextExtentPoint32W)>::Install("GetTextExtentPoint32W");
    InterfaceCall<10, decltype(&GetTextMetricsW)>::Install("GetTextMetricsW");
    InterfaceCall<11, decltype(&SetFocus)>::Install("SetFocus");
    InterfaceCall<12, decltype(&InvalidateRect)>::Install("InvalidateRect");
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
    watch = &timed;
    const double start = Now();
    form.NextStepBtnClick();
    application.ProcessMessages();  // until the finished page is drawn
    run.total = Now() - start;
    run.phases = timed.timeline.Spent();
    watch = nullptr;
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
    InstallHooks();
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
