// pack [--smallest] <plain-file> <container-file>: writes the container of one
// payload, or with --smallest of one of the window's pictures. Any failure
// names the file and exits non-zero, so the build stops there.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "payload/Container.h"
#include "payload/MemorySource.h"
#include "system/Error.h"

#include <zopfli/zopfli.h>

namespace {

int Fail(const std::string& message) {
    std::cerr << "pack: " << message << '\n';
    return 1;
}

// Error texts are ASCII; anything else would only garble the message.
std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text)
        narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return narrow;
}

// The window's pictures count in the installer's own weight, so their stream
// is zopfli's: a smaller deflate stream of the same bytes, in zlib's format,
// which the decoder reads like any other. It is decoded once here to be sure.
// Payload containers keep zlib's default stream, as the catalogue has them.
std::vector<unsigned char> SmallestContainer(const std::vector<unsigned char>& plain) {
    std::vector<unsigned char> container = MakeContainer(plain);
    ZopfliOptions options;
    ZopfliInitOptions(&options);
    unsigned char* stream = nullptr;
    std::size_t streamSize = 0;
    ZopfliCompress(&options, ZOPFLI_FORMAT_ZLIB, plain.data(), plain.size(), &stream, &streamSize);
    const std::unique_ptr<unsigned char, decltype(&std::free)> owned(stream, &std::free);
    container.resize(4);
    container.insert(container.end(), stream, stream + streamSize);
    MemorySource source(container.data(), container.size());
    ByteBuffer decoded;
    DecompressStream(source, decoded);
    if (decoded.size() != plain.size() || !std::equal(plain.begin(), plain.end(), decoded.data()))
        throw Error(L"the smaller stream does not give the file back");
    return container;
}

}  // namespace

int main(int argc, char** argv) {
    const bool smallest = argc == 4 && std::string(argv[1]) == "--smallest";
    if (argc != 3 && !smallest) {
        std::cerr << "usage: pack [--smallest] <plain-file> <container-file>\n";
        return 2;
    }
    const std::string plainPath = argv[argc - 2];
    const std::string containerPath = argv[argc - 1];

    // The size is checked before reading, so a huge file is refused at once.
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(plainPath, error);
    if (error)
        return Fail("cannot read " + plainPath + ": " + error.message());
    if (size > kMaxContainerPlainSize)
        return Fail(plainPath + " has " + std::to_string(size) + " bytes; a container holds at most " +
                    std::to_string(kMaxContainerPlainSize));

    std::ifstream in(plainPath, std::ios::binary);
    if (!in)
        return Fail("cannot open " + plainPath);
    std::vector<unsigned char> plain(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(plain.data()), static_cast<std::streamsize>(plain.size())))
        return Fail("cannot read " + plainPath);

    std::vector<unsigned char> container;
    try {
        container = smallest ? SmallestContainer(plain) : MakeContainer(plain);
    } catch (const Error& e) {
        return Fail("cannot pack " + plainPath + ": " + Narrow(e.Message()));
    }

    std::ofstream out(containerPath, std::ios::binary | std::ios::trunc);
    if (!out)
        return Fail("cannot create " + containerPath);
    // A partial container would look up to date to the build, so it goes.
    if (!out.write(reinterpret_cast<const char*>(container.data()), static_cast<std::streamsize>(container.size())) ||
        !out.flush()) {
        out.close();
        std::remove(containerPath.c_str());
        return Fail("cannot write " + containerPath);
    }
    return 0;
}
