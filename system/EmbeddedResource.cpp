#include "system/EmbeddedResource.h"

#include "system/Error.h"
#include "system/MessageText.h"

EmbeddedResource::EmbeddedResource(const wchar_t* type, const wchar_t* name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, name, type);
    if (info)
        handle_.reset(LoadResource(module, info));
    if (handle_)
        data_ = LockResource(handle_.get());
    if (!data_)
        Raise(FormatText(L"Resource %1 not found", {name}));
    size_ = SizeofResource(module, info);
}
