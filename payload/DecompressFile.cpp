#include "payload/UnitZip.h"

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

}  // namespace

void DecompressFile(void* source, ByteSink& plain) {
    FileSource stream(source);
    DecompressStream(stream, plain);
}
