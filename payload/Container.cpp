#include "payload/Container.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <memory>

#include "payload/UnitZip.h"
#include "system/Error.h"
#include "system/Texts.h"

namespace {

constexpr std::size_t kSizeField = 4;
// libdeflate's strongest level: a few per cent smaller than zlib's default on
// the product's programs, for some seconds of build time.
constexpr int kLevel = 12;

struct FreeCompressor {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

}  // namespace

std::vector<unsigned char> MakeContainer(const std::vector<unsigned char>& plain) {
    if (plain.size() > kMaxContainerPlainSize)
        Raise(L"Plain data too large for a container");
    const std::unique_ptr<libdeflate_compressor, FreeCompressor> compressor(libdeflate_alloc_compressor(kLevel));
    if (!compressor)
        Raise(kOutOfMemory);
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), plain.size());
    std::vector<unsigned char> container(kSizeField + bound);
    const std::size_t streamSize =
        libdeflate_zlib_compress(compressor.get(), plain.data(), plain.size(), container.data() + kSizeField, bound);
    if (streamSize == 0)
        Raise(L"libdeflate could not compress the plain data");
    container.resize(kSizeField + streamSize);
    for (std::size_t i = 0; i < kSizeField; ++i)
        container[i] = static_cast<unsigned char>(plain.size() >> (8 * i));
    // Every container has begun 0x78 0x9C, the header that zlib's default
    // writes. The second byte's level class informs no decoder (0x9C keeps the
    // header's check valid), so the containers keep it for whatever reads them.
    container[kSizeField + 1] = 0x9C;
    // The installer decodes with zlib, not with the encoder's own decoder: a
    // stream that zlib reads otherwise must stop the build, not ship.
    CheckContainer(container, plain);
    return container;
}

void CheckContainer(const std::vector<unsigned char>& container, const std::vector<unsigned char>& plain) {
    if (container.size() < kSizeField || ContainerPlainSize(container.data()) != plain.size())
        Raise(L"The container's size field is not the plain size");
    // A stream that runs on past the plain size finds no room and fails.
    std::vector<unsigned char> inflated(plain.size());
    uLongf inflatedSize = static_cast<uLongf>(inflated.size());
    uLong streamSize = static_cast<uLong>(container.size() - kSizeField);
    // uncompress2() inflates as inflateInit() sets zlib up, with window bits
    // 15 and no dictionary, to the stream's end and its Adler-32.
    const int code = uncompress2(inflated.data(), &inflatedSize, container.data() + kSizeField, &streamSize);
    if (code != Z_OK)
        Raise(L"zlib cannot inflate the packed stream: " + ZlibErrorText(code));
    if (streamSize != container.size() - kSizeField)
        Raise(L"The packed stream ends before the container does");
    if (inflatedSize != plain.size() || !std::equal(plain.begin(), plain.end(), inflated.begin()))
        Raise(L"The packed stream does not inflate to the plain data");
}
