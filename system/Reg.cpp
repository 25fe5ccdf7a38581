#include "system/Reg.h"

#include "system/Error.h"
#include "system/Handles.h"

#include <vector>

namespace {

UniqueHKey OpenKey(HKEY root, std::wstring keyPath, bool canCreate) {
    if (!keyPath.empty() && keyPath.front() == L'\\')
        keyPath.erase(0, 1);
    HKEY key = nullptr;
    LONG status;
    if (canCreate && !keyPath.empty())
        status = RegCreateKeyExW(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                 &key, nullptr);
    else
        status = RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_ALL_ACCESS, &key);
    return status == ERROR_SUCCESS ? UniqueHKey(key) : UniqueHKey();
}

std::wstring Quoted(const std::wstring& valueName) {
    return L"'" + valueName + L"'";
}

void WriteValue(HKEY root,
                const std::wstring& keyPath,
                bool canCreate,
                const std::wstring& valueName,
                DWORD type,
                const void* data,
                DWORD size) {
    UniqueHKey key = OpenKey(root, keyPath, canCreate);
    if (!key)
        return;
    if (RegSetValueExW(key.get(), valueName.c_str(), 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        throw Error(L"Failed to set data for " + Quoted(valueName));
}

void WriteText(HKEY root,
               const std::wstring& keyPath,
               bool canCreate,
               const std::wstring& valueName,
               const std::wstring& value,
               DWORD type) {
    WriteValue(root, keyPath, canCreate, valueName, type, value.c_str(),
               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

std::wstring RegReadString(HKEY root, const std::wstring& keyPath, bool canCreate, const std::wstring& valueName) {
    UniqueHKey key = OpenKey(root, keyPath, canCreate);
    if (!key)
        return {};
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return {};
    // One spare code unit, so that data without its terminating NUL still ends.
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
    DWORD type = 0;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        throw Error(L"Failed to get data for " + Quoted(valueName));
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw Error(L"Invalid data type for " + Quoted(valueName));
    return std::wstring(data.data());
}

void RegWriteString(HKEY root,
                    const std::wstring& keyPath,
                    bool canCreate,
                    const std::wstring& valueName,
                    const std::wstring& value) {
    WriteText(root, keyPath, canCreate, valueName, value, REG_SZ);
}

void RegWriteExpandString(HKEY root,
                          const std::wstring& keyPath,
                          bool canCreate,
                          const std::wstring& valueName,
                          const std::wstring& value) {
    WriteText(root, keyPath, canCreate, valueName, value, REG_EXPAND_SZ);
}

void RegWriteDword(HKEY root, const std::wstring& keyPath, bool canCreate, const std::wstring& valueName, DWORD value) {
    WriteValue(root, keyPath, canCreate, valueName, REG_DWORD, &value, sizeof value);
}
