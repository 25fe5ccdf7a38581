#include "ui/Picture.h"

#include "payload/MemorySource.h"
#include "system/EmbeddedResource.h"
#include "system/Error.h"
#include "system/Handles.h"

#include <cstring>

Picture Picture::FromResource(const wchar_t* name) {
    const EmbeddedResource resource(MAKEINTRESOURCEW(10), name);  // RT_RCDATA
    MemorySource packed(resource.Data(), resource.Size());
    ByteBuffer image;
    DecompressStream(packed, image);
    const auto size = static_cast<DWORD>(image.size());

    // The picture object reads from a stream over movable global memory.
    UniqueHGlobal memory(GlobalAlloc(GMEM_MOVEABLE, size));
    void* target = memory ? GlobalLock(memory.get()) : nullptr;
    if (!target)
        throw Error(L"Out of memory");
    std::memcpy(target, image.data(), size);
    GlobalUnlock(memory.get());

    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory.get(), TRUE, stream.put())))
        throw Error(L"Out of memory");
    memory.release();  // the stream owns the block now

    Picture picture;
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture, picture.picture_.put_void())))
        throw Error(L"Interface not supported");
    OLE_HANDLE handle = 0;
    BITMAP bitmap{};
    if (SUCCEEDED(picture.picture_->get_Handle(&handle)) &&
        GetObjectW(reinterpret_cast<HGDIOBJ>(static_cast<UINT_PTR>(handle)), sizeof bitmap, &bitmap))
        picture.size_ = {bitmap.bmWidth, bitmap.bmHeight};
    return picture;
}

void Picture::Draw(HDC dc, int x, int y) const {
    if (!picture_)
        return;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    // The source rectangle is given bottom-up in HIMETRIC, as the picture object
    // expects for an upright image.
    picture_->Render(dc, x, y, size_.cx, size_.cy, 0, height, width, -height, nullptr);
}
