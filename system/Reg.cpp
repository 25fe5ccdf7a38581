#include "system/Reg.h"

#include "system/Error.h"
#include "system/DynamicApi.h"
#include "system/Handles.h"
#include "system/MessageText.h"
#include "system/Product.h"
#include "system/SystemError.h"
#include "system/Texts.h"

#include <cwchar>

namespace {

// The view of the registry that the key is to be opened in: the shell's own
// (64-bit) one for the keys it reads where this 32-bit program runs on 64-bit
// Windows, which would otherwise see the copies under Wow6432Node; the
// program's own for the rest.
REGSAM ViewOf(HKEY root, std::wstring_view key) {
    BOOL wow64 = FALSE;
    const auto isWow64 = Late::IsWow64Process();
    return root == HKEY_LOCAL_MACHINE && Product::InShellView(key) && isWow64 &&
                   isWow64(GetCurrentProcess(), &wow64) && wow64
               ? KEY_WOW64_64KEY
               : 0;
}

LONG Open(HKEY root, const wchar_t* keyPath, REGSAM access, HKEY& key) {
    return RegOpenKeyExW(root, keyPath, 0, access | ViewOf(root, keyPath), &key);
}

// Deletes the key, which holds no keys; where it is gone, those between it
// and the key of the product's that holds it follow where left empty.
LONG DeleteKey(HKEY root, const std::wstring& keyPath) {
    const REGSAM view = ViewOf(root, keyPath);
    const auto deleteEx = Late::RegDeleteKeyExW();
    LONG status = view && deleteEx ? deleteEx(root, keyPath.c_str(), view, 0) : RegDeleteKeyW(root, keyPath.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return status;
    const std::wstring_view holding = Product::KeyHolding(keyPath);
    if (!holding.empty()) {
        const std::wstring parent = keyPath.substr(0, keyPath.rfind(L'\\'));
        if (parent.size() > holding.size())
            RegRemoveEmptyKey(root, parent);
    }
    return ERROR_SUCCESS;
}

// The key, or none with the system's status.
struct OpenedKey {
    UniqueHKey key;
    LONG status;
};
OpenedKey OpenKey(HKEY root, const wchar_t* keyPath, bool canCreate) {
    if (*keyPath == L'\\')
        ++keyPath;
    HKEY key = nullptr;
    const LONG status = canCreate && *keyPath
                            ? RegCreateKeyExW(root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                              KEY_ALL_ACCESS | ViewOf(root, keyPath), nullptr, &key, nullptr)
                            : Open(root, keyPath, KEY_ALL_ACCESS, key);
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
    LONG status = Open(root, keyPath.c_str(), KEY_QUERY_VALUE, opened);
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
    LONG status = Open(root, keyPath.c_str(), KEY_SET_VALUE, opened);
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
    const LONG status = DeleteKey(root, keyPath);
    SetLastError(static_cast<DWORD>(status));
    return status == ERROR_SUCCESS;
}

bool RegRemoveEmptyKey(HKEY root, const std::wstring& keyPath) {
    HKEY opened = nullptr;
    // One that is gone may have left the keys above it empty; one that
    // cannot be opened stays, and is not said to be gone.
    const LONG status = Open(root, keyPath.c_str(), KEY_QUERY_VALUE, opened);
    if (status != ERROR_SUCCESS)
        return status == ERROR_FILE_NOT_FOUND && DeleteKey(root, keyPath) == ERROR_SUCCESS;
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
    if (Open(root, keyPath, KEY_QUERY_VALUE, opened) == ERROR_SUCCESS) {
        const UniqueHKey owned(opened);
        RegFlushKey(opened);
    }
}
