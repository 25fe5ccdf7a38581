#include "system/RegistryUndo.h"

#include "system/Handles.h"

void RegistryUndo::Save(HKEY root, const wchar_t* key, const wchar_t* name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        // The key goes again, with what was written into it.
        values_.push_back({root, key, nullptr, REG_NONE, {}, false});
        return;
    }
    const UniqueHKey owned(opened);
    Value value{root, key, name, REG_NONE, {}, false};
    DWORD size = 0;
    if (RegQueryValueExW(opened, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.existed = RegQueryValueExW(opened, name, nullptr, &value.type, value.data.data(), &size) == ERROR_SUCCESS;
        value.data.resize(size);
    }
    values_.push_back(std::move(value));
}

void RegistryUndo::Restore() noexcept {
    for (auto value = values_.rbegin(); value != values_.rend(); ++value) {
        if (!value->name) {
            RegDeleteKeyW(value->root, value->key);
            continue;
        }
        HKEY opened = nullptr;
        if (RegOpenKeyExW(value->root, value->key, 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS)
            continue;
        const UniqueHKey owned(opened);
        if (value->existed)
            RegSetValueExW(opened, value->name, 0, value->type, value->data.data(),
                           static_cast<DWORD>(value->data.size()));
        else
            RegDeleteValueW(opened, value->name);
    }
    values_.clear();
}
