#include "payload/Catalogue.h"
#include "payload/UnitZip.h"
#include "system/EmbeddedResource.h"
#include "system/Error.h"
#include "system/Handles.h"
#include "tests/win/InstalledProduct.h"
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

class DecompressFileTest : public testing::Test {
  protected:
    void SetUp() override {
        RemoveTree(kWork);
        CreateDirectoryW(kWork, nullptr);
    }
    void TearDown() override { RemoveTree(kWork); }

    static std::wstring Path(const wchar_t* name) { return std::wstring(kWork) + L"\\" + name; }

    // Decodes the container in the file, as the installation does with its
    // temporary copy: from a handle, not by name, piece by piece.
    static std::vector<unsigned char> Decode(const std::wstring& container) {
        const UniqueHandle file(
            CreateFileW(container.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        const std::wstring plainPath = Path(L"plain");
        {
            const UniqueHandle plain(CreateFileW(plainPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
            DecompressFile(file.get(), plain.get());
        }
        return ReadBytes(plainPath);
    }
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

        EXPECT_EQ(Decode(container), ReadBytes(PlainSource(payload))) << payload;
    }
}

TEST_F(DecompressFileTest, DecodeFailuresRaiseTheirTexts) {
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
        {"size zero, whatever follows", std::string("\0\0\0\0not zlib at all", 19), L"(no error)"},
    };
    for (const auto& c : cases) {
        WriteBytes(Path(L"bad.zip"), c.container);
        EXPECT_EQ(ErrorOf([&] { Decode(Path(L"bad.zip")); }), c.message) << c.what;
    }
}

TEST(PayloadLookup, FindsMixedCaseNamesAndNamesTheMissingOne) {
    const EmbeddedResource found(PayloadResourceType(L"x0409ini").c_str(), L"x0409ini");
    EXPECT_GT(found.Size(), 4u);
    EXPECT_EQ(ErrorOf([] { EmbeddedResource(L"myNoSuchPayload", L"NoSuchPayload"); }),
              L"Resource NoSuchPayload not found");
    EXPECT_EQ(ErrorOf([] { EmbeddedResource(L"myZarvoexe", L"zarvoEXE_"); }), L"Resource zarvoEXE_ not found");
}
