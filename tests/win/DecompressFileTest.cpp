#include "payload/Catalogue.h"
#include "payload/UnitZip.h"
#include "system/EmbeddedResource.h"
#include "system/Error.h"
#include "system/Handles.h"
#include "system/SystemError.h"
#include "tests/win/Probe.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>

namespace {

const wchar_t kWork[] = L"C:\\ZarvoDecompressTest";

std::wstring ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& error) {
        return error.Message();
    }
    return L"(no error)";
}

std::string Container(const std::string& plain) {
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(plain.data()),
             static_cast<uLong>(plain.size()));
    packed.resize(size);
    const auto n = static_cast<uint32_t>(plain.size());
    return std::string{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                       static_cast<char>(n >> 24)} +
           packed;
}

class DecompressFileTest : public testing::Test {
  protected:
    void SetUp() override {
        RemoveTree(kWork);
        CreateDirectoryW(kWork, nullptr);
    }
    void TearDown() override { RemoveTree(kWork); }

    static std::wstring Path(const wchar_t* name) { return std::wstring(kWork) + L"\\" + name; }
};

}  // namespace

TEST_F(DecompressFileTest, EveryShippedContainerGivesItsPlainFileAndEndsWithItsStream) {
    for (const wchar_t* payload : PayloadNames) {
        const std::wstring container = std::wstring(ZARVO_PAYLOAD_DIR) + L"\\" + payload + L".container";
        const std::vector<unsigned char> bytes = ReadBytes(container);
        ASSERT_GT(bytes.size(), 6u) << payload;
        EXPECT_EQ(bytes[4], 0x78) << payload;
        EXPECT_EQ(bytes[5], 0x9C) << payload;

        // Inflated to its end, the stream uses every byte after the size field.
        z_stream stream{};
        ASSERT_EQ(inflateInit(&stream), Z_OK);
        std::vector<unsigned char> plain(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | bytes[3] << 24);
        stream.next_in = const_cast<Bytef*>(bytes.data() + 4);
        stream.avail_in = static_cast<uInt>(bytes.size() - 4);
        stream.next_out = plain.data();
        stream.avail_out = static_cast<uInt>(plain.size());
        EXPECT_EQ(inflate(&stream, Z_FINISH), Z_STREAM_END) << payload;
        EXPECT_EQ(stream.avail_in, 0u) << payload << ": nothing follows the stream";
        EXPECT_EQ(stream.avail_out, 0u) << payload << ": the size field is the inflated length";
        inflateEnd(&stream);

        const std::wstring out = Path(L"plain.out");
        DecompressFile(out, container);
        const std::wstring fileName = PayloadFileName(payload);
        const std::wstring sourceText = std::wstring(ZARVO_SOURCE_DIR) + L"\\payloads\\" + fileName;
        const std::wstring source =
            Exists(sourceText) ? sourceText : std::wstring(ZARVO_STANDIN_DIR) + L"\\" + fileName;
        EXPECT_EQ(ReadBytes(out), ReadBytes(source)) << payload;
    }
}

TEST_F(DecompressFileTest, FileErrorsNameTheFullPathAndTheSystemsText) {
    SetCurrentDirectoryW(kWork);
    EXPECT_EQ(ErrorOf([&] { DecompressFile(Path(L"out.txt"), L"missing.zip"); }),
              L"Cannot open file \"" + Path(L"missing.zip") + L"\". " + SystemErrorText(ERROR_FILE_NOT_FOUND));

    WriteBytes(Path(L"good.zip"), Container("hello"));
    WriteBytes(Path(L"held.txt"), "held");
    UniqueHandle holder(CreateFileW(Path(L"held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_EQ(ErrorOf([&] { DecompressFile(L"held.txt", Path(L"good.zip")); }),
              L"Cannot create file \"" + Path(L"held.txt") + L"\". Sharing violation");
    holder.reset();
    SetCurrentDirectoryW(L"C:\\");

    DecompressFile(Path(L"held.txt"), Path(L"good.zip"));
    EXPECT_EQ(ReadBytes(Path(L"held.txt")), std::vector<unsigned char>({'h', 'e', 'l', 'l', 'o'}));
}

TEST_F(DecompressFileTest, FailedDecodeLeavesTheDestinationAsItWas) {
    const std::string good = Container(std::string(5000, 'z'));
    const struct {
        const char* what;
        std::string container;
        const wchar_t* message;
    } cases[] = {
        {"three bytes", "\x05\x00\x00", L"Stream read error"},
        {"size too large", std::string("\x10\x27\x00\x00", 4) + good.substr(4), L"Stream read error"},
        {"top bit set", std::string("\x00\x00\x00\x80", 4) + good.substr(4), L"Stream read error"},
        {"cut off", good.substr(0, good.size() / 2), L"Stream read error"},
        {"gzip header", good.substr(0, 4) + "\x1f\x8b" + good.substr(6), L"data error"},
    };
    for (const auto& c : cases) {
        WriteBytes(Path(L"bad.zip"), c.container);
        WriteBytes(Path(L"existing.txt"), "keep me");
        EXPECT_EQ(ErrorOf([&] { DecompressFile(Path(L"existing.txt"), Path(L"bad.zip")); }), c.message) << c.what;
        EXPECT_EQ(ReadBytes(Path(L"existing.txt")), std::vector<unsigned char>({'k', 'e', 'e', 'p', ' ', 'm', 'e'}))
            << c.what;
        EXPECT_NE(ErrorOf([&] { DecompressFile(Path(L"new.txt"), Path(L"bad.zip")); }), L"(no error)") << c.what;
        EXPECT_FALSE(Exists(Path(L"new.txt"))) << c.what << ": no file is created";
    }
}

TEST_F(DecompressFileTest, SizeZeroTruncatesWhateverFollows) {
    WriteBytes(Path(L"empty.zip"), std::string("\0\0\0\0not zlib at all", 19));
    WriteBytes(Path(L"existing.txt"), "old content");
    DecompressFile(Path(L"existing.txt"), Path(L"empty.zip"));
    EXPECT_TRUE(ReadBytes(Path(L"existing.txt")).empty());
}

TEST(PayloadLookup, FindsMixedCaseNamesAndNamesTheMissingOne) {
    const EmbeddedResource found(PayloadResourceType(L"x0409ini").c_str(), L"x0409ini");
    EXPECT_GT(found.Size(), 4u);
    EXPECT_EQ(ErrorOf([] { EmbeddedResource(L"myNoSuchPayload", L"NoSuchPayload"); }),
              L"Resource NoSuchPayload not found");
    EXPECT_EQ(ErrorOf([] { EmbeddedResource(L"myZarvoexe", L"zarvoEXE_"); }), L"Resource zarvoEXE_ not found");
}
