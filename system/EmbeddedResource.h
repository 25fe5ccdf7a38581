#pragma once

#include "system/Handles.h"

#include <windows.h>

#include <string>

// The read-only bytes of one resource of the installer's own executable, held
// for the life of this object. Type and name match without regard to the case
// of ASCII letters, as the system compares them.
class EmbeddedResource {
  public:
    // Raises "Resource <name> not found" when there is no such resource or its
    // data cannot be loaded.
    EmbeddedResource(const wchar_t* type, const wchar_t* name);
    EmbeddedResource(const wchar_t* type, const std::wstring& name) : EmbeddedResource(type, name.c_str()) {}

    const void* Data() const { return data_; }
    DWORD Size() const { return size_; }

  private:
    UniqueResourceData handle_;
    const void* data_ = nullptr;
    DWORD size_ = 0;
};
