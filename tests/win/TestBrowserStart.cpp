#include "tests/win/Probe.h"

#include <stdexcept>

// Apart from the rest of the probe: only the tests' own library knows where
// the build put the browser, not the benchmarks that share the probe.
RunningProgram StartTestBrowser(const std::wstring& path, const wchar_t* mode) {
    // A second copy may run from the same file.
    if (!CopyFileW(ZARVO_TEST_BROWSER, path.c_str(), TRUE) && GetLastError() != ERROR_FILE_EXISTS)
        throw std::runtime_error("cannot copy the test browser");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + path + L"\" " + mode;
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &info))
        throw std::runtime_error("cannot start the test browser");
    RunningProgram program{UniqueHandle(info.hProcess)};
    const UniqueHandle ready(
        CreateEventW(nullptr, TRUE, FALSE, (L"ZarvoTestBrowser" + std::to_wstring(info.dwProcessId)).c_str()));
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    const HANDLE either[] = {ready.get(), info.hProcess};
    if (WaitForMultipleObjects(2, either, FALSE, 10000) != WAIT_OBJECT_0)
        throw std::runtime_error("the test browser did not get ready");
    return program;
}
