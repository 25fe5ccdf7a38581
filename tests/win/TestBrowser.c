/* The browser as the tests of closing it need it: copied into the install
   folder under a program's name and started with one word, it behaves as
   that word says when the installer asks it to close:
     obey      says yes, saves (writes "saved" to its own path + ".saved")
               when told that its session ends, and ends;
     refuse    says no, and keeps its window when asked to close it;
     hang      has a window but takes no message;
     nowindow  has no window at all.
   Once it is ready it signals the event "ZarvoTestBrowser<its process id>". */
#include <windows.h>

#include <stdio.h>

static enum { Obey, Refuse, Hang, NoWindow } mode;

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

static LRESULT CALLBACK BrowserProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_QUERYENDSESSION:
            return mode != Refuse;
        case WM_ENDSESSION:
            if (wParam && mode == Obey) {
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
    static const wchar_t* const kModes[] = {L"obey", L"refuse", L"hang", L"nowindow"};
    for (int i = 0; i < 4; ++i)
        if (lstrcmpiW(commandLine, kModes[i]) == 0)
            mode = i;
    if (mode == NoWindow) {
        Ready();
        Sleep(INFINITE);
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
