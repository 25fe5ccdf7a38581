/* The browser as the tests of closing it need it: copied into the install
   folder under a program's name and started with one word, it behaves as
   that word says when the installer asks it to close:
     obey      says yes, saves (writes "saved" to its own path + ".saved")
               when told that its session ends, and ends;
     refuse    says no, and keeps its window when asked to close it;
     hang      has a window but takes no message;
     nowindow  has no window at all;
     parent    as obey, but first tells its helper to save, when told that its
               session ends, and waits for it, as a browser of several
               processes does;
     helper    has no window, and saves and ends when its parent tells it;
     respawn   as obey, but starts a new copy of itself (which obeys) from its
               own file before it ends.
   Once it is ready it signals the event "ZarvoTestBrowser<its process id>". */
#include <windows.h>

#include <stdio.h>

static enum { Obey, Refuse, Hang, NoWindow, Parent, Helper, Respawn } mode;

static void Save(void) {
    wchar_t path[MAX_PATH + 8];
    DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
    lstrcpyW(path + length, L".saved");
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    WriteFile(file, "saved", 5, &written, NULL);
    FlushFileBuffers(file);
    CloseHandle(file);
}

// The helper's two events: told to save, and saved.
static HANDLE HelperEvent(const wchar_t* name) {
    return CreateEventW(NULL, TRUE, FALSE, name);
}

static LRESULT CALLBACK BrowserProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_QUERYENDSESSION:
            return mode != Refuse;
        case WM_ENDSESSION:
            if (wParam && mode == Respawn) {
                wchar_t path[MAX_PATH];
                wchar_t line[MAX_PATH + 16];
                GetModuleFileNameW(NULL, path, MAX_PATH);
                swprintf(line, MAX_PATH + 16, L"\"%ls\" obey", path);
                STARTUPINFOW startup = {0};
                startup.cb = sizeof startup;
                PROCESS_INFORMATION started;
                // It ends once the new copy is ready, as one that hands over does.
                if (CreateProcessW(path, line, NULL, NULL, FALSE, CREATE_SUSPENDED, NULL, NULL, &startup, &started)) {
                    wchar_t name[40];
                    swprintf(name, 40, L"ZarvoTestBrowser%lu", started.dwProcessId);
                    HANDLE ready = CreateEventW(NULL, TRUE, FALSE, name);
                    ResumeThread(started.hThread);
                    WaitForSingleObject(ready, 10000);
                    CloseHandle(ready);
                    CloseHandle(started.hThread);
                    CloseHandle(started.hProcess);
                }
                DestroyWindow(window);
            }
            if (wParam && (mode == Obey || mode == Parent)) {
                if (mode == Parent) {
                    HANDLE save = HelperEvent(L"ZarvoTestHelperSave");
                    HANDLE saved = HelperEvent(L"ZarvoTestHelperSaved");
                    SetEvent(save);
                    WaitForSingleObject(saved, 10000);
                    CloseHandle(save);
                    CloseHandle(saved);
                }
                Save();
                DestroyWindow(window);
            }
            return 0;
        case WM_CLOSE:
            if (mode == Refuse)
                return 0;
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

static void Ready(void) {
    wchar_t name[40];
    swprintf(name, 40, L"ZarvoTestBrowser%lu", GetCurrentProcessId());
    HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
    SetEvent(event);
    CloseHandle(event);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
    (void)previous;
    (void)show;
    static const wchar_t* const kModes[] = {L"obey", L"refuse", L"hang", L"nowindow", L"parent", L"helper", L"respawn"};
    for (int i = 0; i < 7; ++i)
        if (lstrcmpiW(commandLine, kModes[i]) == 0)
            mode = i;
    if (mode == NoWindow) {
        Ready();
        Sleep(INFINITE);
    }
    if (mode == Helper) {
        HANDLE save = HelperEvent(L"ZarvoTestHelperSave");
        HANDLE saved = HelperEvent(L"ZarvoTestHelperSaved");
        Ready();
        WaitForSingleObject(save, INFINITE);
        // Its part of the session takes a moment to write.
        Sleep(300);
        Save();
        SetEvent(saved);
        return 0;
    }
    WNDCLASSW windowClass = {0};
    windowClass.lpfnWndProc = BrowserProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"ZarvoTestBrowser";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"ZarvoTestBrowser", commandLine, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL,
                                instance, NULL);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    Ready();
    if (mode == Hang)
        Sleep(INFINITE);
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
