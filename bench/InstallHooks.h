#pragma once

// The installation's phases are told apart from outside the installer: the
// benchmark patches its own import table, so that the installer's calls to the
// system pass through timing hooks that say which phase the time belongs to.
// The hooks know the installers of this round and of the last one, so that
// the same benchmark measures both. A header, so that bench/install.sh can
// build it into an earlier tree's benchmark.

#include "bench/InstallPhases.h"

#include <objbase.h>
#include <windows.h>
#include <winternl.h>

#include <cstring>
#include <string>
#include <utility>

namespace install_hooks {

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
inline Watch* watch = nullptr;

// Replaces this executable's import of one function; returns the original,
// or null when nothing here imports it (so nothing here calls it).
inline void* PatchImport(const char* function, void* replacement) {
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
inline void Patch(Function& original, const char* name, Function hook) {
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
inline auto TimedText(HWND window, LPCWSTR text, Call call) {
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

inline decltype(&SetWindowTextW) setWindowText = nullptr;
inline BOOL WINAPI SetWindowTextHook(HWND window, LPCWSTR text) {
    return TimedText(window, text, [&] { return setWindowText(window, text); });
}

inline decltype(&DefWindowProcW) defWindowProc = nullptr;
inline LRESULT WINAPI DefWindowProcHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_SETTEXT)
        return defWindowProc(window, message, wParam, lParam);
    return TimedText(window, reinterpret_cast<LPCWSTR>(lParam),
                     [&] { return defWindowProc(window, message, wParam, lParam); });
}

// A pump runs from its first look at the queue to the look that finds it empty.
inline decltype(&PeekMessageW) peekMessage = nullptr;
inline BOOL WINAPI PeekMessageHook(LPMSG message, HWND window, UINT first, UINT last, UINT remove) {
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
inline decltype(&NtCreateFile) ntCreateFile = nullptr;
inline NTSTATUS NTAPI NtCreateFileHook(PHANDLE handle,
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
inline decltype(&NtSetInformationFile) ntSetInformationFile = nullptr;
inline NTSTATUS NTAPI NtSetInformationFileHook(HANDLE file,
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
inline decltype(&CloseHandle) closeHandle = nullptr;
inline BOOL WINAPI CloseHandleHook(HANDLE handle) {
    if (watch && handle == watch->copy) {
        watch->copy = nullptr;
        watch->timeline.Enter(TemporaryCopies);
    }
    return closeHandle(handle);
}

// The payloads' sizes are looked up for the free-space check before anything
// is made, and each payload's container before it is installed.
inline decltype(&FindResourceW) findResource = nullptr;
inline HRSRC WINAPI FindResourceHook(HMODULE module, LPCWSTR name, LPCWSTR type) {
    if (watch) {
        const Phase now = watch->Now();
        if (now == DirectoryCheck)
            watch->timeline.Enter(FreeSpace);
        else if (now == ProcessScan || now == Holds || watch->payloads)
            watch->timeline.Enter(Resources);
    }
    return findResource(module, name, type);
}

inline decltype(&GetDiskFreeSpaceExW) getDiskFreeSpace = nullptr;
inline BOOL WINAPI GetDiskFreeSpaceHook(LPCWSTR root,
                                        PULARGE_INTEGER free,
                                        PULARGE_INTEGER total,
                                        PULARGE_INTEGER all) {
    if (!watch)
        return getDiskFreeSpace(root, free, total, all);
    watch->timeline.Enter(FreeSpace);
    const BOOL result = getDiskFreeSpace(root, free, total, all);
    watch->timeline.Enter(DirectoryCheck);
    return result;
}

// The run's tag, made before it looks for an earlier run's names.
inline decltype(&CoCreateGuid) coCreateGuid = nullptr;
inline HRESULT WINAPI CoCreateGuidHook(GUID* id) {
    if (watch)
        watch->EnterFrom(Directories, EarlierRun);
    return coCreateGuid(id);
}

// Each destination is reached through a second hold of the install folder.
inline decltype(&DuplicateHandle) duplicateHandle = nullptr;
inline BOOL WINAPI DuplicateHandleHook(HANDLE sourceProcess,
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
inline decltype(&RegOpenKeyExW) regOpenKey = nullptr;
inline LSTATUS WINAPI RegOpenKeyHook(HKEY root, LPCWSTR key, DWORD options, REGSAM access, PHKEY opened) {
    if (watch)
        watch->EnterFrom(Registration, RegistryReads);
    return regOpenKey(root, key, options, access, opened);
}

inline decltype(&RegCreateKeyExW) regCreateKey = nullptr;
inline LSTATUS WINAPI RegCreateKeyHook(HKEY root,
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

inline void InstallHooks() {
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

}  // namespace install_hooks
