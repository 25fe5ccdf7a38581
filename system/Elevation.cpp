#include "system/Elevation.h"

#include "system/Handles.h"

bool ElevatedBesideLimitedUser() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    const UniqueHandle owned(token);
    constexpr auto kTokenElevationType = static_cast<TOKEN_INFORMATION_CLASS>(18);
    constexpr DWORD kTokenElevationTypeFull = 2;
    DWORD type = 0;
    DWORD size = 0;
    return GetTokenInformation(token, kTokenElevationType, &type, sizeof type, &size) &&
           type == kTokenElevationTypeFull;
}
