#include "ui/Picture.h"

#include "payload/MemorySource.h"
#include "system/ComPtr.h"
#include "system/EmbeddedResource.h"
#include "system/Error.h"
#include "system/Texts.h"

#include <olectl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// 32 bits a pixel, the top row first.
BITMAPINFO Format(SIZE size) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return info;
}

// A bitmap of that format whose pixels the program writes directly.
UniqueGdiObject MakeBitmap(SIZE size, std::uint32_t*& pixels) {
    const BITMAPINFO info = Format(size);
    void* bits = nullptr;
    UniqueGdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        Raise(kOutOfMemory);
    pixels = static_cast<std::uint32_t*>(bits);
    return bitmap;
}

// Calls f(source pixel, weight) for each source pixel that target pixel `at`
// covers along one axis; the weights add up to `source`.
template <typename Each>
void Cover(int source, int target, int at, Each f) {
    const int from = at * source, to = from + source;
    for (int s = from / target; s < source && s * target < to; ++s)
        f(s, std::min(to, (s + 1) * target) - std::max(from, s * target));
}

// Each target pixel the mean of the area of the source that it covers.
void Resample(const std::uint32_t* source, SIZE from, std::uint32_t* target, SIZE to) {
    const std::uint32_t area = static_cast<std::uint32_t>(from.cx) * from.cy;
    for (int y = 0; y < to.cy; ++y)
        for (int x = 0; x < to.cx; ++x) {
            std::uint32_t sums[3] = {};
            Cover(from.cy, to.cy, y, [&](int sy, int height) {
                Cover(from.cx, to.cx, x, [&](int sx, int width) {
                    const std::uint32_t pixel = source[sy * from.cx + sx];
                    for (int c = 0; c < 3; ++c)
                        sums[c] += height * width * ((pixel >> (8 * c)) & 0xFF);
                });
            });
            std::uint32_t pixel = 0;
            for (int c = 0; c < 3; ++c)
                pixel |= (sums[c] + area / 2) / area << (8 * c);
            target[y * to.cx + x] = pixel;
        }
}

ComPtr<IPicture> Decode(const wchar_t* name) {
    const EmbeddedResource resource(MAKEINTRESOURCEW(10), name);  // RT_RCDATA
    MemorySource packed(resource.Data(), resource.Size());
    ByteBuffer image;
    DecompressStream(packed, image);
    const auto size = static_cast<ULONG>(image.size());

    // The picture object reads from a stream, here one over memory of its own.
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) ||
        FAILED(stream->Write(image.data(), size, nullptr)) || FAILED(stream->Seek({}, STREAM_SEEK_SET, nullptr)))
        Raise(kOutOfMemory);

    ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture, picture.put_void())))
        Raise(kInterfaceNotSupported);
    return picture;
}

}  // namespace

Picture Picture::FromResource(const wchar_t* name, SIZE size) {
    const ComPtr<IPicture> decoded = Decode(name);
    OLE_HANDLE handle = 0;
    BITMAP native{};
    if (FAILED(decoded->get_Handle(&handle)) ||
        !GetObjectW(reinterpret_cast<HGDIOBJ>(static_cast<UINT_PTR>(handle)), sizeof native, &native))
        Raise(kInterfaceNotSupported);
    const SIZE nativeSize{native.bmWidth, native.bmHeight};

    Picture picture;
    picture.size_ = size;
    std::uint32_t* fitted = nullptr;
    picture.bitmap_ = MakeBitmap(size, fitted);
    // The decoded pixels, read into the picture's own bitmap where they fit
    // as they are, else into memory, to be shrunk from.
    const bool asDecoded = size.cx == nativeSize.cx && size.cy == nativeSize.cy;
    std::vector<std::uint32_t> pixels(asDecoded ? 0 : static_cast<size_t>(nativeSize.cx) * nativeSize.cy);
    BITMAPINFO format = Format(nativeSize);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), 0, nativeSize.cy,
              asDecoded ? fitted : pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (!asDecoded)
        Resample(pixels.data(), nativeSize, fitted, size);
    return picture;
}

void Picture::Draw(HDC dc, int x, int y) const {
    if (!bitmap_)
        return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap_.get());
    BitBlt(dc, x, y, size_.cx, size_.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}
