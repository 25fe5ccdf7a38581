#include "system/EmbeddedResource.h"

#include "system/Error.h"
#include "system/MessageText.h"
#include "system/Texts.h"

EmbeddedResource::EmbeddedResource(const wchar_t* type, const wchar_t* name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, name, type);
    if (info)
        handle_.reset(LoadResource(module, info));
    if (handle_)
        data_ = LockResource(handle_.get());
    if (!data_)
        Raise(FormatText(kResourceNotFound, {name}));
    size_ = SizeofResource(module, info);
}
