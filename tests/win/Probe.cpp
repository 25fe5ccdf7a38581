#include "tests/win/Probe.h"

#include <aclapi.h>
#include <sddl.h>
#include <shlwapi.h>
#include <zlib.h>

#include <cstdio>
#include <stdexcept>

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

std::vector<unsigned char> ReadBytes(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        throw std::runtime_error("cannot read a file");
    bytes.resize(GetFileSize(file.get(), nullptr));
    DWORD read = 0;
    if (!bytes.empty())
        ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

std::string ReadText(const std::wstring& path) {
    const std::vector<unsigned char> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        throw std::runtime_error("cannot write a file");
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Container(const std::string& plain) {
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(plain.data()),
             static_cast<uLong>(plain.size()));
    packed.resize(size);
    const auto n = static_cast<uint32_t>(plain.size());
    return std::string{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                       static_cast<char>(n >> 24)} +
           packed;
}

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
    return path;
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    if (!RemoveDirectoryW(path.c_str()))
        DeleteFileW(path.c_str());
}

bool MakeFolders(const std::wstring& path) {
    SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Vista's, which the headers for older systems do not declare; Wine has it.
extern "C" LONG WINAPI RegDeleteTreeW(HKEY key, const wchar_t* subKey);

REGSAM ViewOf(HKEY root, const std::wstring& key) {
    for (const wchar_t* shell : {L"SOFTWARE\\Clients\\", L"SOFTWARE\\Classes\\", L"SOFTWARE\\RegisteredApplications"})
        if (root == HKEY_LOCAL_MACHINE && key.compare(0, wcslen(shell), shell) == 0)
            return KEY_WOW64_64KEY;
    return 0;
}

RegValue ReadRegValue(HKEY root, const std::wstring& key, const std::wstring& name) {
    RegValue value;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | ViewOf(root, key), &opened) != ERROR_SUCCESS)
        return value;
    UniqueHKey owned(opened);
    DWORD size = 0;
    if (RegQueryValueExW(opened, name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return value;
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    value.exists = RegQueryValueExW(opened, name.c_str(), nullptr, &value.type, reinterpret_cast<BYTE*>(data.data()),
                                    &size) == ERROR_SUCCESS;
    value.text.assign(data.data(), size / sizeof(wchar_t));
    return value;
}

bool RegKeyExists(HKEY root, const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | ViewOf(root, key), &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

void DeleteRegTree(HKEY root, const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_ALL_ACCESS | ViewOf(root, key), &opened) != ERROR_SUCCESS)
        return;
    RegDeleteTreeW(opened, nullptr);
    RegCloseKey(opened);
    RegDeleteKeyExW(root, key.c_str(), ViewOf(root, key), 0);
}

ShortcutInfo ReadShortcut(const std::wstring& path) {
    ShortcutInfo info;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        throw std::runtime_error("no shell-link object");
    ComPtr<IPersistFile> file;
    link.As(IID_IPersistFile, file);
    if (FAILED(file->Load(path.c_str(), STGM_READ)))
        return info;
    info.exists = true;
    // The target comes back through its item-ID list: the text form mangles
    // characters outside the ANSI code page.
    LPITEMIDLIST list = nullptr;
    wchar_t text[MAX_PATH * 2] = {};
    if (SUCCEEDED(link->GetIDList(&list)) && list) {
        SHGetPathFromIDListW(list, text);
        CoTaskMemFree(list);
    }
    info.target = text;
    text[0] = L'\0';
    link->GetWorkingDirectory(text, MAX_PATH);
    info.workingDirectory = text;
    text[0] = L'\0';
    link->GetDescription(text, MAX_PATH * 2);
    info.description = text;
    text[0] = L'\0';
    link->GetArguments(text, MAX_PATH);
    info.arguments = text;
    return info;
}

RunningProgram::RunningProgram(const std::wstring& path) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        throw std::runtime_error("cannot start a program");
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    WaitForInputIdle(info.hProcess, kPatience);
}

RunningProgram::~RunningProgram() {
    if (process_ && Running()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), kPatience);
    }
}

bool RunningProgram::Running() const {
    return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::wstring HostPath(const std::wstring& path) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = toUnix ? toUnix(path.c_str()) : nullptr;
    if (!unix)
        return std::wstring();
    wchar_t wide[MAX_PATH * 2] = {};
    MultiByteToWideChar(CP_UTF8, 0, unix, -1, wide, MAX_PATH * 2);
    HeapFree(GetProcessHeap(), 0, unix);
    return wide;
}

bool RunHost(const wchar_t* program, const std::wstring& arguments, const std::wstring& path, bool exists) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = std::wstring(program) + L" " + arguments;
    const std::wstring file = std::wstring(L"Z:\\bin\\") + program;
    if (!CreateProcessW(file.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return WaitUntil([&] { return Exists(path) == exists; });
}

SymbolicLink::SymbolicLink(std::wstring link, const std::wstring& target) : link_(std::move(link)) {
    using CreateLink = BOOLEAN(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
    const auto createLink = reinterpret_cast<CreateLink>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CreateSymbolicLinkW")));
    // A target without a drive or share is relative to the link's folder.
    const bool relative = target.find(L':') == std::wstring::npos && target.compare(0, 2, L"\\\\") != 0;
    const std::wstring resolved = relative ? link_.substr(0, link_.rfind(L'\\') + 1) + target : target;
    const DWORD directory = (GetFileAttributesW(resolved.c_str()) & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
    const std::wstring hostLink = HostPath(link_), hostTarget = relative ? target : HostPath(target);
    if (hostLink.empty())
        made_ = createLink && createLink(link_.c_str(), target.c_str(), directory) && Exists(link_);
    else
        made_ = RunHost(L"ln", L"-s \"" + hostTarget + L"\" \"" + hostLink + L"\"", link_, true);
}

SymbolicLink::~SymbolicLink() {
    const std::wstring hostLink = HostPath(link_);
    if (!hostLink.empty())
        RunHost(L"rm", L"-f \"" + hostLink + L"\"", link_, false);
    else if (!RemoveDirectoryW(link_.c_str()))
        DeleteFileW(link_.c_str());
}

std::wstring AccessList(const std::wstring& path) {
    PSECURITY_DESCRIPTOR security = nullptr;
    PACL acl = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &acl, nullptr,
                              &security) != ERROR_SUCCESS)
        return std::wstring();
    const UniqueLocalMemory owned(security);
    wchar_t* text = nullptr;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(security, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                              &text, nullptr))
        return std::wstring();
    const std::wstring list(text);
    LocalFree(text);
    return list;
}

bool OpenToEveryone(const std::wstring& folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return false;
    const UniqueLocalMemory owned(descriptor);
    BOOL present = FALSE, defaulted = FALSE;
    PACL list = nullptr;
    GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted);
    return SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                 nullptr, nullptr, list, nullptr) == ERROR_SUCCESS;
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* name, const std::wstring& value) : name_(name) {
    std::vector<wchar_t> old(32768);
    const DWORD length = GetEnvironmentVariableW(name, old.data(), static_cast<DWORD>(old.size()));
    had_ = length > 0;
    old_.assign(old.data(), length);
    SetEnvironmentVariableW(name, value.c_str());
}

ScopedEnvironment::~ScopedEnvironment() {
    SetEnvironmentVariableW(name_, had_ ? old_.c_str() : nullptr);
}
