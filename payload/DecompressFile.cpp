#include "payload/UnitZip.h"

#include "system/Error.h"
#include "system/Files.h"
#include "system/Handles.h"

namespace {

class FileSource final : public ByteSource {
  public:
    explicit FileSource(HANDLE file) : file_(file) {}

    // A read that fails yields nothing, so the decoder reports the stream as
    // cut short.
    std::size_t Read(void* buffer, std::size_t count) override {
        DWORD read = 0;
        if (!ReadFile(file_, buffer, static_cast<DWORD>(count), &read, nullptr))
            return 0;
        return read;
    }

  private:
    HANDLE file_;
};

}  // namespace

void DecompressFile(const std::wstring& destination, const std::wstring& source) {
    UniqueHandle input(
        CreateFileW(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!input)
        throw Error(FileErrorMessage(L"Cannot open file", source, GetLastError()));
    ByteBuffer plain;
    FileSource stream(input.get());
    DecompressStream(stream, plain);
    // Only now, with the whole payload in memory, is the destination touched.
    WriteWholeFile(destination, plain.data(), plain.size());
}
