#include "system/EmbeddedResource.h"

#include "system/Error.h"

EmbeddedResource::EmbeddedResource(const wchar_t* type, const std::wstring& name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, name.c_str(), type);
    if (info)
        handle_.reset(LoadResource(module, info));
    if (handle_)
        data_ = LockResource(handle_.get());
    if (!data_)
        throw Error(L"Resource " + name + L" not found");
    size_ = SizeofResource(module, info);
}
