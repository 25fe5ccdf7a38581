#include "payload/Container.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

#include "payload/UnitZip.h"
#include "system/Error.h"
#include "tests/native/InstrumentedSource.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::uint32_t SizeField(const Bytes& container) {
    return container[0] | container[1] << 8 | container[2] << 16 | static_cast<std::uint32_t>(container[3]) << 24;
}

}  // namespace

TEST(Container, SizeFieldThenDefaultZlibStreamWithItsTrailerLast) {
    for (const std::size_t size : {0u, 1u, 255u, 256u, 70000u}) {
        Bytes plain(size);
        for (std::size_t i = 0; i < size; ++i)
            plain[i] = static_cast<unsigned char>(i * 7 % 251);
        const Bytes container = MakeContainer(plain);
        ASSERT_GE(container.size(), 4u + 2 + 4) << size;
        EXPECT_EQ(SizeField(container), size);
        EXPECT_EQ(container[4], 0x78) << size;
        EXPECT_EQ(container[5], 0x9C) << size;

        const uLong adler = adler32(adler32(0, nullptr, 0), plain.data(), static_cast<uInt>(plain.size()));
        const std::size_t end = container.size();
        EXPECT_EQ(container[end - 4], (adler >> 24) & 0xFF) << size;
        EXPECT_EQ(container[end - 3], (adler >> 16) & 0xFF) << size;
        EXPECT_EQ(container[end - 2], (adler >> 8) & 0xFF) << size;
        EXPECT_EQ(container[end - 1], adler & 0xFF) << size;

        // The stream ends exactly at the container's end.
        Bytes inflated(size + 1);
        uLongf inflatedSize = static_cast<uLongf>(inflated.size());
        uLong streamSize = static_cast<uLong>(container.size() - 4);
        EXPECT_EQ(uncompress2(inflated.data(), &inflatedSize, container.data() + 4, &streamSize), Z_OK) << size;
        EXPECT_EQ(streamSize, container.size() - 4) << size;
        EXPECT_EQ(inflatedSize, size);

        InstrumentedSource source(container.data(), container.size());
        ByteBuffer output;
        DecompressStream(source, output);
        EXPECT_EQ(Bytes(output.data(), output.data() + output.size()), plain) << size;
    }
}

TEST(Container, PlainDataBeyondTheSignedSizeFieldIsRefused) {
    const Bytes tooLarge(kMaxContainerPlainSize + 1);
    EXPECT_THROW(MakeContainer(tooLarge), Error);
}
