// The package's custom action: runs the installer that the package keeps in a
// folder of its own, unattended, as the Windows Installer's service does its
// deferred work (the system's account), and hands its result to the package.
// The installer is a program of its own, with its own plan, log and undo; the
// package only carries it, so that Group Policy and Intune can deploy it.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include "KeptInstaller.h"

#include <stdlib.h>
#include <wchar.h>

// The action's data, formatted by the package (CustomActionData), fields
// separated by '|', which no path or value the installer takes can hold:
//   the installer's path | its first switch (/quiet or /uninstall /quiet) |
//   the package's log (MsiLogFileLocation, empty without one) | the temporary
//   folder | /DesktopShortcut= value | /StartMenuShortcut= value | folder.
// The folder comes last, as /D= does; the installer judges what it names.
enum { kExe, kSwitch, kMsiLog, kTemp, kDesktop, kStartMenu, kFolder, kFields };
static const wchar_t* const kFieldNames[kFields] = {L"installer's path", L"switches",         L"log",
                                                    L"temporary folder", L"DESKTOP_SHORTCUT", L"START_MENU_SHORTCUT",
                                                    L"INSTALLDIR"};

static void Log(MSIHANDLE install, const wchar_t* text) {
    // The text goes in a field, never in the template, where '[' would format.
    MSIHANDLE record = MsiCreateRecord(1);
    MsiRecordSetStringW(record, 0, L"[1]");
    MsiRecordSetStringW(record, 1, text);
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
    MsiCloseHandle(record);
}

static wchar_t* Property(MSIHANDLE install, const wchar_t* name) {
    DWORD length = 0;
    wchar_t none[1];
    if (MsiGetPropertyW(install, name, none, &length) != ERROR_MORE_DATA)
        length = 0;
    wchar_t* value = calloc(++length, sizeof(wchar_t));
    if (value && MsiGetPropertyW(install, name, value, &length) != ERROR_SUCCESS)
        value[0] = 0;
    return value;
}

// The installer's log: beside the package's log where it writes one
// (install.log gives install-ZarvoSetup.log), else in the temporary folder.
static void LogPath(wchar_t* out, size_t size, const wchar_t* msiLog, const wchar_t* temp) {
    if (!*msiLog) {
        _snwprintf(out, size, L"%lsZarvoSetup.log", temp);
        return;
    }
    const wchar_t* name = wcsrchr(msiLog, L'\\');
    const wchar_t* dot = wcsrchr(name ? name : msiLog, L'.');
    int stem = (int)(dot ? (size_t)(dot - msiLog) : wcslen(msiLog));
    _snwprintf(out, size, L"%.*ls-ZarvoSetup.log", stem, msiLog);
}

// Whether a field may go into the installer's command line as it is: the
// line quotes the paths and puts the folder last, so a quote, a line break,
// a tab or a bar (which would be another field) could make it say something
// else, and a path the system cannot take is refused before anything runs.
static BOOL Acceptable(int index, const wchar_t* text) {
    if (index == kDesktop || index == kStartMenu)
        return !*text || _wcsicmp(text, L"true") == 0 || _wcsicmp(text, L"false") == 0;
    return wcslen(text) < (index == kSwitch ? 64 : MAX_PATH) && !wcspbrk(text, L"\"\r\n\t|");
}

// Whether the installer's removal has nothing left to do: the kept installer
// gone (a removal by the entry's QuietUninstallString takes it away) and the
// product no longer installed, which its entry, where the installer writes it
// (this 32-bit DLL's own view), would say with the folder. Both lie where only
// the administrators and the system may change them; a name or an entry that
// cannot be read counts as there.
static BOOL NothingToRemove(const wchar_t* exe) {
    if (GetFileAttributesW(exe) != INVALID_FILE_ATTRIBUTES)
        return FALSE;
    const DWORD missing = GetLastError();
    if (missing != ERROR_FILE_NOT_FOUND && missing != ERROR_PATH_NOT_FOUND)
        return FALSE;
    HKEY key = NULL;
    LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zarvo",
                                0, KEY_QUERY_VALUE, &key);
    if (status == ERROR_SUCCESS) {
        status = RegQueryValueExW(key, L"InstallLocation", NULL, NULL, NULL, NULL);
        RegCloseKey(key);
    }
    return status == ERROR_FILE_NOT_FOUND;
}

static UINT Refuse(MSIHANDLE install, const wchar_t* format, const wchar_t* what, const wchar_t* value) {
    const size_t size = wcslen(format) + wcslen(what) + wcslen(value) + 1;
    wchar_t* text = calloc(size, sizeof(wchar_t));
    if (text) {
        _snwprintf(text, size, format, what, value);
        Log(install, text);
        free(text);
    }
    return ERROR_INSTALL_FAILURE;
}

__declspec(dllexport) UINT __stdcall RunInstaller(MSIHANDLE install) {
    wchar_t* data = Property(install, L"CustomActionData");
    if (!data)
        return ERROR_INSTALL_FAILURE;
    // Room for every field with the switches' names and quotes around them.
    const size_t size = wcslen(data) + 256;
    wchar_t* field[kFields] = {0};
    wchar_t* rest = data;
    for (int i = 0; i < kFields; ++i) {
        field[i] = rest;
        wchar_t* bar = i + 1 < kFields ? wcschr(rest, L'|') : NULL;
        if (bar) {
            *bar = 0;
            rest = bar + 1;
        } else {
            rest += wcslen(rest);
        }
    }

    for (int i = 0; i < kFields; ++i) {
        if (!Acceptable(i, field[i])) {
            const UINT refused =
                Refuse(install, L"ZarvoSetup: the package's %ls is refused: %ls", kFieldNames[i], field[i]);
            free(data);
            return refused;
        }
    }
    // The installer is run with the system's rights: only the package's own
    // folder, named in full, will do; a bare name would be looked for in the
    // current folder, which anyone may have prepared.
    const wchar_t* exe = field[kExe];
    const wchar_t* why = L"the package names no full path of it";
    HANDLE held = exe[0] && exe[1] == L':' && exe[2] == L'\\' ? HoldKeptInstaller(exe, &why) : INVALID_HANDLE_VALUE;
    if (held == INVALID_HANDLE_VALUE && wcsncmp(field[kSwitch], L"/uninstall", 10) == 0 && NothingToRemove(exe)) {
        Log(install, L"ZarvoSetup: the kept installer is gone and the product is not installed: nothing to remove");
        free(data);
        return ERROR_SUCCESS;
    }
    if (held == INVALID_HANDLE_VALUE) {
        const UINT refused = Refuse(install, L"ZarvoSetup: %ls is not run: %ls", L"the kept installer", why);
        free(data);
        return refused;
    }

    wchar_t* log = calloc(size, sizeof(wchar_t));
    wchar_t* line = calloc(2 * size, sizeof(wchar_t));
    UINT result = ERROR_INSTALL_FAILURE;
    if (log && line) {
        LogPath(log, size, field[kMsiLog], field[kTemp]);
        int length = _snwprintf(line, 2 * size, L"\"%ls\" %ls /LOG=\"%ls\"", exe, field[kSwitch], log);
        if (*field[kDesktop])
            length += _snwprintf(line + length, 2 * size - length, L" /DesktopShortcut=%ls", field[kDesktop]);
        if (*field[kStartMenu])
            length += _snwprintf(line + length, 2 * size - length, L" /StartMenuShortcut=%ls", field[kStartMenu]);
        if (*field[kFolder])
            _snwprintf(line + length, 2 * size - length, L" /D=%ls", field[kFolder]);

        // Started by its path alone, never found along a search path.
        STARTUPINFOW startup = {0};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process;
        DWORD code = 0;
        wchar_t said[80];
        if (CreateProcessW(exe, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
            WaitForSingleObject(process.hProcess, INFINITE);
            GetExitCodeProcess(process.hProcess, &code);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
            _snwprintf(said, 80, L"ended with exit code %lu", code);
            // The user's cancel stays a cancel; anything else than success
            // fails the package, which then undoes its own part.
            result = code == 0                        ? ERROR_SUCCESS
                     : code == ERROR_INSTALL_USEREXIT ? ERROR_INSTALL_USEREXIT
                                                      : ERROR_INSTALL_FAILURE;
        } else {
            _snwprintf(said, 80, L"could not be started (error %lu)", GetLastError());
        }
        size_t textSize = wcslen(line) + 200;
        wchar_t* text = calloc(textSize, sizeof(wchar_t));
        if (text) {
            _snwprintf(text, textSize, L"ZarvoSetup: %ls %ls", line, said);
            Log(install, text);
            free(text);
        }
    }
    CloseHandle(held);
    free(line);
    free(log);
    free(data);
    return result;
}
