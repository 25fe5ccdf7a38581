#include "payload/Container.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
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

TEST(Container, SizeFieldThenZlibStreamWithItsTrailerLast) {
    for (const std::size_t size : {0u, 1u, 255u, 256u, 70000u}) {
        Bytes plain(size);
        for (std::size_t i = 0; i < size; ++i)
            plain[i] = static_cast<unsigned char>(i * 7 % 251);
        const Bytes container = MakeContainer(plain);
        ASSERT_GE(container.size(), 4u + 2 + 4) << size;
        EXPECT_EQ(SizeField(container), size);
        // Deflate, a 32 KiB window, no dictionary, the default level class.
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

TEST(Container, SmallerThanZlibAtItsStrongestOnTheProductsTexts) {
    std::size_t ours = 0, zlib = 0;
    for (const char* name : {"whatsnew.txt", "Lisense.txt", "x0804.ini", "x0409.ini"}) {
        std::ifstream in(std::string(ZARVO_SOURCE_DIR "/payloads/") + name, std::ios::binary);
        const Bytes plain{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ASSERT_FALSE(plain.empty()) << name;
        Bytes stream(compressBound(static_cast<uLong>(plain.size())));
        uLongf streamSize = static_cast<uLongf>(stream.size());
        ASSERT_EQ(compress2(stream.data(), &streamSize, plain.data(), static_cast<uLong>(plain.size()), 9), Z_OK);
        ours += MakeContainer(plain).size() - 4;
        zlib += streamSize;
    }
    EXPECT_LT(ours, zlib);
}

// Whatever zlib does not read back as exactly the plain data, to the
// container's last byte, is refused.
TEST(Container, CheckRefusesEveryStreamThatZlibDoesNotInflateToThePlainData) {
    Bytes plain(20000);
    for (std::size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<unsigned char>(i * i % 253);
    const Bytes good = MakeContainer(plain);
    EXPECT_NO_THROW(CheckContainer(good, plain));

    auto changed = [&](std::size_t at, unsigned char bits) {
        Bytes container = good;
        container[at] ^= bits;
        return container;
    };
    Bytes cut = good;
    cut.pop_back();
    Bytes longer = good;
    longer.push_back(0);
    Bytes otherPlain = plain;
    otherPlain[plain.size() / 2] ^= 1;
    Bytes shorterPlain = plain;
    shorterPlain.pop_back();
    const struct {
        const char* what;
        Bytes container;
        const Bytes& plain;
    } cases[] = {
        {"size field one less", changed(0, 1), plain},
        {"size field's top byte", changed(3, 0x80), plain},
        // 0x78 0xF9: a valid header that asks for a preset dictionary.
        {"a dictionary asked for", changed(5, 0x9C ^ 0xBB), plain},
        {"a damaged block", changed(good.size() / 2, 0x10), plain},
        {"a damaged Adler-32", changed(good.size() - 1, 1), plain},
        {"the trailer cut short", cut, plain},
        {"a byte after the stream", longer, plain},
        {"other plain data of the same length", good, otherPlain},
        {"plain data one byte shorter", good, shorterPlain},
        {"only a size field", Bytes(good.begin(), good.begin() + 4), plain},
        {"no size field", Bytes(good.begin(), good.begin() + 3), plain},
    };
    for (const auto& c : cases)
        EXPECT_THROW(CheckContainer(c.container, c.plain), Error) << c.what;
}
