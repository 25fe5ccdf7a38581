#include "payload/UnitZip.h"

#include "system/Files.h"

#include <windows.h>

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

class FileSink final : public ByteSink {
  public:
    explicit FileSink(HANDLE file) : file_(file) {}
    void Write(const unsigned char* data, std::size_t size) override { WriteAll(file_, data, size); }

  private:
    HANDLE file_;
};

}  // namespace

void DecompressFile(void* source, void* destination) {
    FileSource stream(source);
    FileSink plain(destination);
    DecompressStream(stream, plain);
}
