// pack <plain-file> <container-file>: writes the container of one payload.
// pack --checksums <table-file> <container-file>...: writes the table of the
// containers' checksums, in the order given.
// pack --catalogue: prints the product's files in installation order, one a
// line: the payload name and the file's place in the installed tree
// ("ZarvConfigini Data/ZarvConfig.ini"), for the build to pack them from.
// Any failure names the file and exits non-zero, so the build stops there.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "payload/Checksums.h"
#include "payload/Container.h"
#include "system/Error.h"
#include "system/Product.h"

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

// The whole file, read into `bytes`; a message naming the file when it cannot be.
std::string ReadWhole(const std::string& path, std::vector<unsigned char>& bytes) {
    // The size is checked before reading, so a huge file is refused at once.
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return "cannot read " + path + ": " + error.message();
    if (size > kMaxContainerPlainSize)
        return path + " has " + std::to_string(size) + " bytes; a container holds at most " +
               std::to_string(kMaxContainerPlainSize);
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "cannot open " + path;
    bytes.resize(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        return "cannot read " + path;
    return "";
}

// Writes the file whole; a partial file would look up to date to the build,
// so it goes.
std::string WriteWhole(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return "cannot create " + path;
    if (!out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())) ||
        !out.flush()) {
        out.close();
        std::remove(path.c_str());
        return "cannot write " + path;
    }
    return "";
}

int Pack(const std::string& plainPath, const std::string& containerPath) {
    std::vector<unsigned char> plain;
    if (std::string failure = ReadWhole(plainPath, plain); !failure.empty())
        return Fail(failure);
    std::vector<unsigned char> container;
    try {
        container = MakeContainer(plain);
    } catch (const Error& e) {
        return Fail("cannot pack " + plainPath + ": " + Narrow(e.Message()));
    }
    if (std::string failure = WriteWhole(containerPath, container); !failure.empty())
        return Fail(failure);
    return 0;
}

int WriteChecksums(const std::string& tablePath, char** containerPaths, int count) {
    std::vector<unsigned char> table;
    for (int i = 0; i < count; ++i) {
        std::vector<unsigned char> container;
        if (std::string failure = ReadWhole(containerPaths[i], container); !failure.empty())
            return Fail(failure);
        AppendChecksum(table, container.data(), container.size());
    }
    if (std::string failure = WriteWhole(tablePath, table); !failure.empty())
        return Fail(failure);
    return 0;
}

// The product's file names are ASCII.
int PrintCatalogue() {
    for (const Product::File& file : Product::kFiles) {
        std::string place = Narrow(file.folder) + "/" + Narrow(file.name);
        for (char& c : place)
            c = c == '\\' ? '/' : c;
        std::cout << Narrow(file.payload) << ' ' << place.substr(1) << '\n';
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--catalogue")
        return PrintCatalogue();
    if (argc >= 3 && std::string(argv[1]) == "--checksums")
        return WriteChecksums(argv[2], argv + 3, argc - 3);
    if (argc != 3) {
        std::cerr << "usage: pack <plain-file> <container-file> | pack --checksums <table-file> <container-file>... | "
                     "pack --catalogue\n";
        return 2;
    }
    return Pack(argv[1], argv[2]);
}
