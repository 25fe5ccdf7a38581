#include "system/SetupLock.h"

#include <sddl.h>

#include <algorithm>
#include <iterator>

SetupLock::SetupLock() {
    // The Windows folder that every session shares, not the private one that
    // a terminal server may give each user.
    constexpr wchar_t kName[] = L"\\ZarvoSetup.lock";
    wchar_t path[MAX_PATH + std::size(kName)] = {};
    UINT length = GetSystemWindowsDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    // A drive's root ends in its backslash already.
    if (path[length - 1] == L'\\')
        --length;
    std::copy(std::begin(kName), std::end(kName), path + length);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FA;;;BA)(A;;FA;;;SY)", SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return;
    const UniqueLocalMemory owned(descriptor);
    SECURITY_ATTRIBUTES security{sizeof security, descriptor, FALSE};
    file_.reset(CreateFileW(path, DELETE, 0, &security, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    heldElsewhere_ = !file_ && GetLastError() == ERROR_SHARING_VIOLATION;
}
