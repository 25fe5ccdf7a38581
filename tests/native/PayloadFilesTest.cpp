#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "payload/Catalogue.h"
#include "ui/Texts.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The text payloads and how each is encoded: the program's own files are
// UTF-16 with a byte-order mark, the licence is the GBK text it always was.
struct TextPayload {
    const wchar_t* payload;
    const char* encoding;
    bool byteOrderMark;
};
const TextPayload kTextPayloads[] = {
    {L"whatsnewtxt", "UTF-16LE", true}, {L"ZarvConfigini", "UTF-16LE", true}, {L"x0804ini", "UTF-16LE", true},
    {L"x0404ini", "UTF-16LE", true},    {L"x0409ini", "UTF-16LE", true},      {L"Lisensetxt", "GBK", false},
};

std::string PayloadPath(const wchar_t* payload) {
    const std::wstring file = PayloadFileName(payload);
    return std::string(ZARVO_SOURCE_DIR "/payloads/") + std::string(file.begin(), file.end());
}

std::optional<Bytes> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The text in wide characters, or nothing when a byte sequence is invalid or
// cut short in that encoding.
std::optional<std::wstring> Decode(const Bytes& bytes, const char* encoding) {
    const iconv_t converter = iconv_open("WCHAR_T", encoding);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    // Each character takes at least one input byte.
    std::wstring text(bytes.size(), L'\0');
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes.data()));
    std::size_t inLeft = bytes.size();
    char* out = reinterpret_cast<char*>(text.data());
    std::size_t outLeft = text.size() * sizeof(wchar_t);
    const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    text.resize(text.size() - outLeft / sizeof(wchar_t));
    return text;
}

// The offset of the first CR or LF that is not part of a CR LF pair.
std::optional<std::size_t> LoneLineBreak(const std::wstring& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && (i + 1 == text.size() || text[i + 1] != L'\n'))
            return i;
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r'))
            return i;
    }
    return std::nullopt;
}

std::wstring WithoutLineBreaks(std::wstring text) {
    text.erase(std::remove_if(text.begin(), text.end(), [](wchar_t c) { return c == L'\r' || c == L'\n'; }),
               text.end());
    return text;
}

// Checks one file; a failed assertion ends only this file's check.
void CheckTextPayload(const TextPayload& payload) {
    const std::string path = PayloadPath(payload.payload);
    const std::optional<Bytes> bytes = ReadFile(path);
    ASSERT_TRUE(bytes) << path << " is missing";
    ASSERT_GE(bytes->size(), 2u) << path;

    const bool utf16Mark = (*bytes)[0] == 0xFF && (*bytes)[1] == 0xFE;
    const bool utf8Mark = bytes->size() >= 3 && (*bytes)[0] == 0xEF && (*bytes)[1] == 0xBB && (*bytes)[2] == 0xBF;
    EXPECT_EQ(utf16Mark, payload.byteOrderMark) << path;
    EXPECT_FALSE(utf8Mark) << path;

    std::optional<std::wstring> text = Decode(*bytes, payload.encoding);
    ASSERT_TRUE(text) << path << " is not valid " << payload.encoding;
    if (payload.byteOrderMark)
        text->erase(0, 1);
    EXPECT_FALSE(text->empty()) << path;
    const std::optional<std::size_t> lone = LoneLineBreak(*text);
    EXPECT_FALSE(lone) << path << ": a line break without its pair at character " << lone.value_or(0);
}

}  // namespace

TEST(PayloadFiles, EveryTextPayloadOfTheCatalogueIsChecked) {
    for (const std::wstring name : PayloadNames) {
        const std::wstring extension = name.substr(name.size() - 3);
        if (extension != L"txt" && extension != L"ini")
            continue;
        const bool listed = std::any_of(std::begin(kTextPayloads), std::end(kTextPayloads),
                                        [&](const TextPayload& text) { return name == text.payload; });
        EXPECT_TRUE(listed) << std::string(name.begin(), name.end());
    }
}

TEST(PayloadFiles, TextPayloadsAreValidInTheirEncodingWithCrLfLineEnds) {
    for (const TextPayload& payload : kTextPayloads)
        CheckTextPayload(payload);
}

TEST(PayloadFiles, LicenceFileHoldsTheLicencePageText) {
    const std::optional<Bytes> bytes = ReadFile(PayloadPath(L"Lisensetxt"));
    ASSERT_TRUE(bytes);
    const std::optional<std::wstring> licence = Decode(*bytes, "GBK");
    ASSERT_TRUE(licence);
    EXPECT_EQ(WithoutLineBreaks(*licence), WithoutLineBreaks(kLicenceText));
}

TEST(PayloadFiles, DecoderRejectsInvalidAndCutSequences) {
    struct Case {
        Bytes bytes;
        const char* encoding;
        bool valid;
    };
    const Case cases[] = {
        {{0xC4, 0xE3, 0xBA, 0xC3}, "GBK", true},
        {{0xC4}, "GBK", false},
        {{0xC4, 0x0A}, "GBK", false},
        {{0xFF, 0xFE, 0x41, 0x00}, "UTF-16LE", true},
        {{0x41, 0x00, 0x42}, "UTF-16LE", false},
        {{0x00, 0xD8, 0x41, 0x00}, "UTF-16LE", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Decode(c.bytes, c.encoding).has_value(), c.valid) << c.encoding << " " << c.bytes.size();
}
