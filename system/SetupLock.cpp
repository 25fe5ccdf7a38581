#include "system/SetupLock.h"

#include <sddl.h>

#include <string>

SetupLock::SetupLock() {
    // The Windows folder that every session shares, not the private one that
    // a terminal server may give each user.
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    std::wstring path(folder, length);
    if (path.back() != L'\\')
        path += L'\\';
    path += L"ZarvoSetup.lock";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FA;;;BA)(A;;FA;;;SY)", SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return;
    const UniqueLocalMemory owned(descriptor);
    SECURITY_ATTRIBUTES security{sizeof security, descriptor, FALSE};
    file_.reset(CreateFileW(path.c_str(), DELETE, 0, &security, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    heldElsewhere_ = !file_ && GetLastError() == ERROR_SHARING_VIOLATION;
}
