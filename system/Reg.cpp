#include "system/Reg.h"

#include "system/Error.h"
#include "system/Handles.h"
#include "system/MessageText.h"
#include "system/SystemError.h"
#include "system/Texts.h"

#include <cwchar>

namespace {

// The key, or none with the system's status.
struct OpenedKey {
    UniqueHKey key;
    LONG status;
};
OpenedKey OpenKey(HKEY root, const wchar_t* keyPath, bool canCreate) {
    if (*keyPath == L'\\')
        ++keyPath;
    HKEY key = nullptr;
    const LONG status = canCreate && *keyPath ? RegCreateKeyExW(root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                                KEY_ALL_ACCESS, nullptr, &key, nullptr)
                                              : RegOpenKeyExW(root, keyPath, 0, KEY_ALL_ACCESS, &key);
    return {status == ERROR_SUCCESS ? UniqueHKey(key) : UniqueHKey(), status};
}

// The value's text into `data`; gives the query's status, ERROR_FILE_NOT_FOUND
// where the key is missing too, and sets `text` where the value holds text.
LONG ReadValue(HKEY root,
               const wchar_t* keyPath,
               bool canCreate,
               const wchar_t* valueName,
               std::wstring& data,
               bool& text) {
    const UniqueHKey key = OpenKey(root, keyPath, canCreate).key;
    DWORD size = 0;
    if (!key || RegQueryValueExW(key.get(), valueName, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return ERROR_FILE_NOT_FOUND;
    // One spare code unit, so that data without its terminating NUL still ends.
    data.assign(size / sizeof(wchar_t) + 2, L'\0');
    DWORD type = REG_NONE;
    const LONG status =
        RegQueryValueExW(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    text = type == REG_SZ || type == REG_EXPAND_SZ;
    data.resize(text ? wcslen(data.c_str()) : 0);
    return status;
}

}  // namespace

std::wstring RegReadString(HKEY root, const wchar_t* keyPath, bool canCreate, const wchar_t* valueName) {
    std::wstring data;
    bool text = false;
    const LONG status = ReadValue(root, keyPath, canCreate, valueName, data, text);
    if (status == ERROR_FILE_NOT_FOUND)
        return {};
    if (status != ERROR_SUCCESS)
        Raise(FormatText(kCannotGetData, {valueName}), status);
    if (!text)
        Raise(FormatText(kInvalidDataType, {valueName}));
    return data;
}

std::wstring RegReadHint(HKEY root, const wchar_t* keyPath, const wchar_t* valueName) {
    std::wstring data;
    bool text = false;
    return ReadValue(root, keyPath, false, valueName, data, text) == ERROR_SUCCESS ? data : std::wstring();
}

void RegWriteValue(HKEY root,
                   const wchar_t* keyPath,
                   bool canCreate,
                   const wchar_t* valueName,
                   DWORD type,
                   const void* data,
                   DWORD size) {
    // A value that is not stored is a failure, whether its key could not be
    // had (a policy, a security product, a full registry) or the value not set.
    const OpenedKey key = OpenKey(root, keyPath, canCreate);
    if (!key.key)
        Raise(FormatText(kCannotCreateKey, {keyPath, SystemErrorText(key.status)}), key.status);
    const LONG status = RegSetValueExW(key.key.get(), valueName, 0, type, static_cast<const BYTE*>(data), size);
    if (status != ERROR_SUCCESS)
        Raise(FormatText(kCannotSetData, {valueName}), status);
}

void RegWriteString(HKEY root, const wchar_t* keyPath, bool canCreate, const wchar_t* valueName, const wchar_t* value) {
    RegWriteValue(root, keyPath, canCreate, valueName, REG_SZ, value,
                  static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
}

RegValueState RegReadState(HKEY root, const std::wstring& keyPath, const std::wstring& valueName) {
    RegValueState state;
    HKEY opened = nullptr;
    LONG status = RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_QUERY_VALUE, &opened);
    state.keyExists = status != ERROR_FILE_NOT_FOUND;
    if (!state.keyExists)
        return state;
    if (status != ERROR_SUCCESS)
        Raise(FormatText(kCannotOpenKey, {keyPath, SystemErrorText(status)}), status);
    const UniqueHKey owned(opened);
    for (DWORD size = 256;;) {
        state.data.resize(size);
        status = RegQueryValueExW(opened, valueName.c_str(), nullptr, &state.type, state.data.data(), &size);
        if (status == ERROR_FILE_NOT_FOUND) {
            state.data.clear();
            return state;
        }
        if (status == ERROR_SUCCESS) {
            state.data.resize(size);
            state.exists = true;
            return state;
        }
        if (status != ERROR_MORE_DATA)
            Raise(FormatText(kCannotGetData, {valueName}), status);
    }
}

void RegPutState(HKEY root,
                 const std::wstring& keyPath,
                 const std::wstring& valueName,
                 bool exists,
                 DWORD type,
                 const std::vector<unsigned char>& data) {
    HKEY opened = nullptr;
    LONG status = RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_SET_VALUE, &opened);
    if (status == ERROR_SUCCESS) {
        const UniqueHKey owned(opened);
        status = exists
                     ? RegSetValueExW(opened, valueName.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()))
                     : RegDeleteValueW(opened, valueName.c_str());
    }
    if (status != ERROR_SUCCESS && !(status == ERROR_FILE_NOT_FOUND && !exists))
        Raise(FormatText(kCannotSetData, {valueName}), status);
}

bool RegRemoveKey(HKEY root, const std::wstring& keyPath) {
    const LONG status = RegDeleteKeyW(root, keyPath.c_str());
    SetLastError(static_cast<DWORD>(status));
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool RegRemoveEmptyKey(HKEY root, const std::wstring& keyPath) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return true;
    DWORD keys = 1, values = 1;
    {
        const UniqueHKey owned(opened);
        RegQueryInfoKeyW(opened, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                         nullptr);
    }
    return keys == 0 && values == 0 && RegRemoveKey(root, keyPath);
}

void RegFlush(HKEY root, const wchar_t* keyPath) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, keyPath, 0, KEY_QUERY_VALUE, &opened) == ERROR_SUCCESS) {
        const UniqueHKey owned(opened);
        RegFlushKey(opened);
    }
}
