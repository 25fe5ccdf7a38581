// pack <plain-file> <container-file>: writes the container of one payload.
// Any failure names the file and exits non-zero, so the build stops there.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "payload/Container.h"
#include "system/Error.h"

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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: pack <plain-file> <container-file>\n";
        return 2;
    }
    const std::string plainPath = argv[1];
    const std::string containerPath = argv[2];

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
        container = MakeContainer(plain);
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
