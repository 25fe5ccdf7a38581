#include "payload/Container.h"

#include <zlib.h>

#include "payload/UnitZip.h"
#include "system/Error.h"

std::vector<unsigned char> MakeContainer(const std::vector<unsigned char>& plain) {
    if (plain.size() > kMaxContainerPlainSize)
        throw Error(L"Plain data too large for a container");
    const uLong plainSize = static_cast<uLong>(plain.size());
    constexpr std::size_t kSizeField = 4;
    uLongf streamSize = compressBound(plainSize);
    std::vector<unsigned char> container(kSizeField + streamSize);
    const int code = compress(container.data() + kSizeField, &streamSize, plain.data(), plainSize);
    if (code != Z_OK)
        throw Error(ZlibErrorText(code));
    container.resize(kSizeField + streamSize);
    for (std::size_t i = 0; i < kSizeField; ++i)
        container[i] = static_cast<unsigned char>(plainSize >> (8 * i));
    return container;
}
