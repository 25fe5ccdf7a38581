#define ZLIB_CONST
#include <zlib.h>

#include "payload/UnitZip.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "payload/Container.h"
#include "system/Error.h"
#include "tests/native/InstrumentedSource.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::size_t kWhole = static_cast<std::size_t>(-1);

// Words drawn at random: text that deflate shrinks to about a third, so that
// the stream has literals, matches and several blocks.
Bytes Text(std::size_t size) {
    static const char* const words[] = {"zarvo ", "browser ", "setup ", "page ", "tab\r\n", "window ", "0x0804 "};
    std::mt19937 random(7);
    Bytes text;
    while (text.size() < size) {
        const std::string word = words[random() % std::size(words)];
        text.insert(text.end(), word.begin(), word.end());
    }
    text.resize(size);
    return text;
}

// Bytes that deflate cannot shrink, so the container is as large as the data.
Bytes Noise(std::size_t size) {
    std::mt19937 random(11);
    Bytes noise(size);
    for (unsigned char& byte : noise)
        byte = static_cast<unsigned char>(random());
    return noise;
}

// A zlib stream with the given window and, when given, a preset dictionary.
Bytes Deflate(const Bytes& plain, int windowBits = 15, const std::string& dictionary = {}) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY), Z_OK);
    if (!dictionary.empty())
        EXPECT_EQ(deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(dictionary.data()),
                                       static_cast<uInt>(dictionary.size())),
                  Z_OK);
    Bytes stream(deflateBound(&z, plain.size()));
    z.next_in = plain.data();
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = stream.data();
    z.avail_out = static_cast<uInt>(stream.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    stream.resize(z.total_out);
    deflateEnd(&z);
    return stream;
}

Bytes WithSize(std::uint32_t sizeField, const Bytes& stream) {
    Bytes container{static_cast<unsigned char>(sizeField), static_cast<unsigned char>(sizeField >> 8),
                    static_cast<unsigned char>(sizeField >> 16), static_cast<unsigned char>(sizeField >> 24)};
    container.insert(container.end(), stream.begin(), stream.end());
    return container;
}

Bytes Joined(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

Bytes Cut(Bytes bytes, std::size_t dropped) {
    bytes.resize(bytes.size() - dropped);
    return bytes;
}

Bytes Patched(Bytes bytes, std::size_t at, std::initializer_list<unsigned char> replacement) {
    std::copy(replacement.begin(), replacement.end(), bytes.begin() + at);
    return bytes;
}

Bytes WithLastBitFlipped(Bytes bytes) {
    bytes.back() ^= 1;
    return bytes;
}

struct Outcome {
    Bytes output;
    std::wstring error;
};

// Collects the pieces that the decoder hands over as it inflates.
class Pieces final : public ByteSink {
  public:
    void Write(const unsigned char* data, std::size_t size) override {
        EXPECT_LE(size, 64u * 1024);
        bytes.insert(bytes.end(), data, data + size);
    }
    Bytes bytes;
};

Outcome DecodeWhole(const Bytes& container, std::size_t maxRead) {
    InstrumentedSource source(container.data(), container.size(), maxRead);
    ByteBuffer output;
    try {
        DecompressStream(source, output);
    } catch (const Error& e) {
        return {{}, e.Message()};
    }
    return {Bytes(output.data(), output.data() + output.size()), {}};
}

// Decoded whole in memory and piece by piece into a sink, which must agree
// on the bytes and the failure.
Outcome Decode(const Bytes& container, std::size_t maxRead = kWhole) {
    const Outcome whole = DecodeWhole(container, maxRead);
    InstrumentedSource source(container.data(), container.size(), maxRead);
    Pieces pieces;
    std::wstring error;
    try {
        DecompressStream(source, pieces);
    } catch (const Error& e) {
        error = e.Message();
    }
    EXPECT_EQ(error, whole.error);
    if (error.empty())
        EXPECT_TRUE(pieces.bytes == whole.output) << "the pieces make the whole";
    return whole;
}

const Bytes kPlain = Text(100000);
const Bytes kStream = Deflate(kPlain);
const Bytes kContainer = MakeContainer(kPlain);
const Bytes kGarbage = Noise(70000);

// In a child process whose address space is too small for the block: exits
// with 0 when the decoder reports that, and only that.
[[noreturn]] void DecodeWithAddressSpaceOf1GiB(const Bytes& container) {
    const rlimit limit{1u << 30, 1u << 30};
    setrlimit(RLIMIT_AS, &limit);
    std::exit(DecodeWhole(container, kWhole).error == L"Out of memory" ? 0 : 1);
}

}  // namespace

TEST(DecompressStream, WellFormedAndTolerableContainers) {
    const Bytes smallWindow = Text(5000);
    struct Case {
        const char* what;
        Bytes container;
        std::size_t maxRead;
        Bytes expected;
    };
    const Case cases[] = {
        {"whole container in one read", kContainer, kWhole, kPlain},
        {"one byte per read", kContainer, 1, kPlain},
        {"plain size below the inflated length", WithSize(1000, kStream), kWhole,
         Bytes(kPlain.begin(), kPlain.begin() + 1000)},
        {"plain size of one byte, one byte per read", WithSize(1, kStream), 1, Bytes{kPlain[0]}},
        {"Adler-32 trailer missing", Cut(kContainer, 4), kWhole, kPlain},
        {"Adler-32 trailer cut in half", Cut(kContainer, 2), kWhole, kPlain},
        {"wrong Adler-32 never reached with one byte per read", WithLastBitFlipped(kContainer), 1, kPlain},
        {"garbage after the stream", Joined(kContainer, kGarbage), kWhole, kPlain},
        {"garbage after the stream, one byte per read", Joined(kContainer, kGarbage), 1, kPlain},
        {"a second container after the stream", Joined(kContainer, MakeContainer(Text(10))), kWhole, kPlain},
        {"512-byte window", WithSize(5000, Deflate(smallWindow, 9)), kWhole, smallWindow},
        {"empty plain data", MakeContainer({}), kWhole, {}},
        {"plain size 0 with garbage after it", WithSize(0, kGarbage), kWhole, {}},
        {"plain size 0 and nothing after it", WithSize(0, {}), kWhole, {}},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Decode(c.container, c.maxRead);
        EXPECT_EQ(outcome.error, L"") << c.what;
        EXPECT_TRUE(outcome.output == c.expected) << c.what << ": " << outcome.output.size() << " bytes";
    }
}

TEST(DecompressStream, BrokenContainersRaiseTheirText) {
    const Bytes small = Text(3000);
    const std::string dictionary = "zarvo browser setup page";
    struct Case {
        const char* what;
        Bytes container;
        std::size_t maxRead;
        const wchar_t* error;
    };
    const Case cases[] = {
        {"no bytes at all", {}, kWhole, L"Stream read error"},
        {"a 3-byte file", Bytes{0x10, 0x00, 0x00}, kWhole, L"Stream read error"},
        {"a 3-byte file read one byte at a time", Bytes{0x10, 0x00, 0x00}, 1, L"Stream read error"},
        {"size field only", WithSize(10, {}), kWhole, L"Stream read error"},
        {"top bit set", WithSize(0x80000000u, kStream), kWhole, L"Stream read error"},
        {"size -1", WithSize(0xFFFFFFFFu, kStream), kWhole, L"Stream read error"},
        {"plain size above the inflated length", WithSize(kPlain.size() + 1, kStream), kWhole, L"Stream read error"},
        {"largest plain size with a short stream", WithSize(0x7FFFFFFFu, kStream), kWhole, L"Stream read error"},
        {"stream cut in the middle", Cut(kContainer, kContainer.size() / 2), kWhole, L"Stream read error"},
        {"stream cut in the middle, one byte per read", Cut(kContainer, kContainer.size() / 2), 1,
         L"Stream read error"},
        {"stream cut after its header", Cut(kContainer, kContainer.size() - 6), kWhole, L"Stream read error"},
        {"wrong Adler-32 in the last read", WithLastBitFlipped(kContainer), kWhole, L"data error"},
        {"gzip header", WithSize(small.size(), Deflate(small, 31)), kWhole, L"data error"},
        {"bad header check", Patched(kContainer, 5, {0x9D}), kWhole, L"data error"},
        {"compression method other than deflate", Patched(kContainer, 4, {0x77, 0x09}), kWhole, L"data error"},
        {"64 KiB window claimed (CINFO 8)", Patched(kContainer, 4, {0x88, 0x1C}), kWhole, L"data error"},
        {"reserved block type", WithSize(10, {0x78, 0x9C, 0x07, 0x00}), kWhole, L"data error"},
        {"preset dictionary", WithSize(small.size(), Deflate(small, 15, dictionary)), kWhole, L"need dictionary"},
        {"preset dictionary, one byte per read", WithSize(small.size(), Deflate(small, 15, dictionary)), 1,
         L"need dictionary"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Decode(c.container, c.maxRead);
        EXPECT_EQ(outcome.error, c.error) << c.what;
    }
}

TEST(DecompressStream, ReadsNothingPastTheSizeFieldWhenNoBytesCanBeProduced) {
    for (const std::uint32_t size : {0u, 0x80000000u, 0xFFFFFFFFu}) {
        const Bytes container = WithSize(size, kGarbage);
        InstrumentedSource source(container.data(), container.size());
        ByteBuffer output;
        try {
            DecompressStream(source, output);
        } catch (const Error&) {
        }
        EXPECT_EQ(source.Position(), 4u) << size;
        EXPECT_EQ(output.size(), 0u) << size;
    }
}

TEST(DecompressStream, ReadsInChunksOfAtMost64KiB) {
    const Bytes plain = Noise(300000);
    const Bytes container = MakeContainer(plain);
    InstrumentedSource source(container.data(), container.size());
    ByteBuffer output;
    DecompressStream(source, output);
    EXPECT_EQ(output.size(), plain.size());
    EXPECT_LE(source.LargestRequest(), 65536u);
    EXPECT_GT(container.size(), 4 * 65536u) << "the container spans several chunks";
}

TEST(DecompressStream, StopsReadingOnceTheBlockIsFull) {
    // Neither the trailer nor what follows is asked for: the output is
    // complete before the source reaches them.
    const Bytes container = Joined(kContainer, kGarbage);
    InstrumentedSource source(container.data(), container.size(), 1);
    ByteBuffer output;
    DecompressStream(source, output);
    EXPECT_EQ(output.size(), kPlain.size());
    EXPECT_LE(source.Position(), kContainer.size() - 4);
}

TEST(DecompressStream, ResultReplacesWhatTheBufferHeld) {
    ByteBuffer output;
    InstrumentedSource first(kContainer.data(), kContainer.size());
    DecompressStream(first, output);
    ASSERT_EQ(output.size(), kPlain.size());

    const Bytes small = MakeContainer(Text(10));
    MemorySource second(small.data(), small.size());
    DecompressStream(second, output);
    EXPECT_EQ(Bytes(output.data(), output.data() + output.size()), Text(10));

    const Bytes empty = WithSize(0, {});
    MemorySource third(empty.data(), empty.size());
    DecompressStream(third, output);
    EXPECT_EQ(output.size(), 0u);
}

TEST(DecompressStream, ErrorOfTheSourcePassesThrough) {
    struct FailingSource : ByteSource {
        InstrumentedSource inner{kContainer.data(), kContainer.size(), 1000};
        std::size_t Read(void* buffer, std::size_t count) override {
            if (inner.Position() >= 5000)
                throw Error(L"Read failed");
            return inner.Read(buffer, count);
        }
    } source;
    ByteBuffer output;
    try {
        DecompressStream(source, output);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.Message(), L"Read failed");
    }
}

TEST(DecompressStreamDeathTest, BlockThatCannotBeAllocatedIsOutOfMemory) {
    EXPECT_EXIT(DecodeWithAddressSpaceOf1GiB(WithSize(0x7FFFFFFFu, kStream)), testing::ExitedWithCode(0), "");
}

TEST(ByteBuffer, MovedFromBufferIsEmpty) {
    ByteBuffer output;
    InstrumentedSource source(kContainer.data(), kContainer.size());
    DecompressStream(source, output);
    const unsigned char* const block = output.data();

    ByteBuffer taken(std::move(output));
    EXPECT_EQ(taken.data(), block) << "the block moves, it is not copied";
    EXPECT_EQ(taken.size(), kPlain.size());
    EXPECT_EQ(output.size(), 0u);
    EXPECT_EQ(output.data(), nullptr);

    output = std::move(taken);
    EXPECT_EQ(output.size(), kPlain.size());
    EXPECT_EQ(taken.size(), 0u);
}
