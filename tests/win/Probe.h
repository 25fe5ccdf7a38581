#pragma once

#include "system/ComPtr.h"
#include "system/Handles.h"

#include <shlobj.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Looks at what an installation left behind: files, registry values, shortcut
// files and processes, through the system's own interfaces.

// The bound of every wait for a state in the tests. A step that takes a
// fraction of a second here takes seconds where 32-bit code is emulated on a
// loaded machine; the bound is reached only when the state never comes.
constexpr DWORD kPatience = 60000;
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kPatience);

std::vector<unsigned char> ReadBytes(const std::wstring& path);
// The file's bytes in a string, as a log's text is compared.
std::string ReadText(const std::wstring& path);
// How often the part stands in the text.
std::size_t Occurrences(const std::string& text, const std::string& part);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool Exists(const std::wstring& path);
// A payload container of those plain bytes: the size, then a zlib stream.
std::string Container(const std::string& plain);
std::wstring SpecialFolder(int csidl);
// Removes a directory tree (files first); missing is fine.
void RemoveTree(const std::wstring& path);
// Makes a folder with every missing parent, by its path, as an ordinary
// program does; true when it is there.
bool MakeFolders(const std::wstring& path);

struct RegValue {
    DWORD type = REG_NONE;
    std::wstring text;
    bool exists = false;
};
// Reads in the installer's own (32-bit) view of the registry.
// The view that a test reads a machine key in: the shell's own (64-bit) one
// for the browser's registration, which 64-bit Windows reads there.
REGSAM ViewOf(HKEY root, const std::wstring& key);
RegValue ReadRegValue(HKEY root, const std::wstring& key, const std::wstring& name);
bool RegKeyExists(HKEY root, const std::wstring& key);
void DeleteRegTree(HKEY root, const std::wstring& key);

struct ShortcutInfo {
    bool exists = false;
    std::wstring target, workingDirectory, description, arguments;
};
ShortcutInfo ReadShortcut(const std::wstring& path);

// The access list of a file or folder in the system's text form (SDDL); empty
// when it cannot be read.
std::wstring AccessList(const std::wstring& path);
// Opens the folder to every account, as an ordinary account could have
// prepared it (Wine keeps this as the folder's mode); true when it could.
bool OpenToEveryone(const std::wstring& folder);

// An environment variable set for the length of a scope; the system reads
// it afresh at each call.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const wchar_t* name, const std::wstring& value);
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment();

  private:
    const wchar_t* name_;
    std::wstring old_;
    bool had_;
};

// Starts a copy of an executable under another name and path; ended and
// waited for when the object goes.
class RunningProgram {
  public:
    explicit RunningProgram(const std::wstring& path);
    explicit RunningProgram(UniqueHandle process) : process_(std::move(process)) {}
    RunningProgram(RunningProgram&&) = default;
    ~RunningProgram();
    bool Running() const;
    HANDLE Handle() const { return process_.get(); }

  private:
    UniqueHandle process_;
};

// The tests' own browser (tests/win/TestBrowser.c) copied to `path` and
// started in `mode` ("obey", "refuse", "hang", "nowindow", "parent", "helper"), once it is ready.
RunningProgram StartTestBrowser(const std::wstring& path, const wchar_t* mode);

// The host's path of a Windows path under Wine; empty elsewhere.
std::wstring HostPath(const std::wstring& path);
// Runs a program of the host's /bin, which Wine starts like its own, until the
// path exists or not as asked. Wine cannot wait for a host program to end: its
// process handle is signalled at once.
bool RunHost(const wchar_t* program, const std::wstring& arguments, const std::wstring& path, bool exists);

// A symbolic link to a file or folder for the length of a scope; a target
// without a drive or share is relative to the link's folder. Wine answers
// CreateSymbolicLinkW with success and makes nothing, and its own deletes
// follow a link to its target: there the host's ln makes the link and the
// host's rm removes it.
class SymbolicLink {
  public:
    SymbolicLink(std::wstring link, const std::wstring& target);
    SymbolicLink(const SymbolicLink&) = delete;
    SymbolicLink& operator=(const SymbolicLink&) = delete;
    ~SymbolicLink();
    bool Made() const { return made_; }

  private:
    std::wstring link_;
    bool made_ = false;
};
