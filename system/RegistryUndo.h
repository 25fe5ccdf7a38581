#pragma once

#include <windows.h>

#include <vector>

// Registry values as they were before the installation wrote them: unless
// dismissed once the installation has succeeded, they are put back when this
// object goes, and keys that did not exist are removed again. Keys and names
// are the installer's own constant texts.
class RegistryUndo {
  public:
    RegistryUndo() = default;
    RegistryUndo(const RegistryUndo&) = delete;
    RegistryUndo& operator=(const RegistryUndo&) = delete;
    ~RegistryUndo() { Restore(); }

    // Notes the value as it is now, before it is written.
    void Save(HKEY root, const wchar_t* key, const wchar_t* name);
    void Dismiss() { values_.clear(); }
    void Restore() noexcept;

  private:
    struct Value {
        HKEY root;
        const wchar_t* key;
        const wchar_t* name;  // null: the key did not exist
        DWORD type;
        std::vector<BYTE> data;
        bool existed;
    };
    std::vector<Value> values_;
};
