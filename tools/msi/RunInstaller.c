// The package's custom action: runs the installer that the package keeps in a
// folder of its own, unattended, as the Windows Installer's service does its
// deferred work (the system's account), and hands its result to the package.
// The installer is a program of its own, with its own plan, log and undo; the
// package only carries it, so that Group Policy and Intune can deploy it.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <stdlib.h>
#include <wchar.h>

// The action's data, formatted by the package (CustomActionData), fields
// separated by '|', which no path or value the installer takes can hold:
//   the installer's path | its first switch (/quiet or /uninstall /quiet) |
//   the package's log (MsiLogFileLocation, empty without one) | the temporary
//   folder | /DesktopShortcut= value | /StartMenuShortcut= value | folder.
// The folder comes last, as /D= does: whatever it holds goes to the installer,
// which judges it.
enum { kExe, kSwitch, kMsiLog, kTemp, kDesktop, kStartMenu, kFolder, kFields };

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

    // The installer is run with the system's rights: only the package's own
    // folder, named in full, will do; a bare name would be looked for in the
    // current folder, which anyone may have prepared.
    const wchar_t* exe = field[kExe];
    if (!(exe[0] && exe[1] == L':' && exe[2] == L'\\')) {
        Log(install, L"ZarvoSetup: the package names no full path of the installer");
        free(data);
        return ERROR_INSTALL_FAILURE;
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
    free(line);
    free(log);
    free(data);
    return result;
}
