// payload_bench [rounds]: decodes the fifteen payload containers with
// DecompressStream and with bare zlib uncompress(), and measures the
// decoder's peak memory above the idle process. The payloads are cut from the
// PE files that Wine ships, at the catalogue's plain sizes, so that they
// compress like the real programs.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "payload/Catalogue.h"
#include "payload/Container.h"
#include "payload/MemorySource.h"
#include "payload/UnitZip.h"
#include "system/Error.h"

extern char** environ;

namespace {

using Bytes = std::vector<unsigned char>;

// Plain sizes in catalogue order.
constexpr std::size_t kPlainSizes[] = {7944,   3158,    3220992, 1351680, 1269248, 2010, 324096, 857088,
                                       358912, 2171904, 1760256, 64124,   8218,    7600, 9942};
static_assert(std::size(kPlainSizes) == std::size(PayloadNames));

const char kPeDirectory[] = "/usr/lib/i386-linux-gnu/wine/i386-windows";
constexpr std::size_t kMiB = 1 << 20;

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The PE files in name order, joined until there are size bytes.
Bytes PeBytes(std::size_t size) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(kPeDirectory)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".dll" || extension == ".exe"))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    Bytes pool;
    for (const auto& file : files) {
        if (pool.size() >= size)
            break;
        const Bytes bytes = ReadFile(file);
        pool.insert(pool.end(), bytes.begin(), bytes.end());
    }
    if (pool.size() < size)
        throw std::runtime_error(std::string("not enough PE files in ") + kPeDirectory + " (is wine32 installed?)");
    pool.resize(size);
    return pool;
}

long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.compare(0, prefix.size(), prefix) == 0)
            return std::stol(line.substr(prefix.size()));
    throw std::runtime_error(std::string("no ") + field + " in /proc/self/status");
}

// Child mode: decodes one container file and prints how far the resident
// size rose above the process as it was with the container loaded.
int MeasurePeak(const char* containerFile) {
    const Bytes container = ReadFile(containerFile);
    MemorySource source(container.data(), container.size());
    ByteBuffer output;
    // "5" resets the peak resident size to the current one.
    std::ofstream("/proc/self/clear_refs") << "5";
    const long idleKb = StatusKb("VmHWM");
    DecompressStream(source, output);
    const long peakKb = StatusKb("VmHWM");
    std::printf("%ld\n", (peakKb - idleKb) * 1024);
    return 0;
}

// Runs this program in a fresh process for one peak measurement.
long PeakGrowth(const std::string& containerFile) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    std::string self = "payload_bench", mode = "--peak", file = containerFile;
    char* argv[] = {self.data(), mode.data(), file.data(), nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::string text;
    char buffer[64];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(pipeEnds[0]);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        text.empty())
        throw std::runtime_error("peak measurement of " + containerFile + " failed");
    return std::stol(text);
}

template <class Work>
double Seconds(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The payload set in catalogue order: consecutive pieces of the PE pool.
std::vector<Bytes> PlainPayloads() {
    std::size_t total = 0;
    for (const std::size_t size : kPlainSizes)
        total += size;
    const Bytes pool = PeBytes(total);
    std::vector<Bytes> plains;
    for (std::size_t i = 0, offset = 0; i < std::size(kPlainSizes); offset += kPlainSizes[i++])
        plains.emplace_back(pool.begin() + offset, pool.begin() + offset + kPlainSizes[i]);
    return plains;
}

// Writes the payload set laid out as it is installed, for the installation
// benchmark, whose installer is built from that folder.
int WritePlainFiles(const std::filesystem::path& directory) {
    const std::vector<Bytes> plains = PlainPayloads();
    for (std::size_t i = 0; i < plains.size(); ++i) {
        std::string installed = Narrow(PayloadDestination(L"", PayloadNames[i], PayloadFileName(PayloadNames[i])));
        std::replace(installed.begin(), installed.end(), '\\', '/');
        const std::filesystem::path file = directory / installed.substr(1);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(plains[i].data()), static_cast<std::streamsize>(plains[i].size()));
    }
    return 0;
}

int Bench(int rounds) {
    const std::vector<Bytes> plains = PlainPayloads();
    std::size_t total = 0;
    std::vector<Bytes> containers;
    std::size_t containerBytes = 0;
    for (const Bytes& plain : plains) {
        total += plain.size();
        containers.push_back(MakeContainer(plain));
        containerBytes += containers.back().size();
    }

    auto decodeAll = [&](std::vector<ByteBuffer>& outputs) {
        for (std::size_t i = 0; i < containers.size(); ++i) {
            MemorySource source(containers[i].data(), containers[i].size());
            DecompressStream(source, outputs[i]);
        }
    };
    std::vector<Bytes> bare(plains.size());
    for (std::size_t i = 0; i < plains.size(); ++i)
        bare[i].resize(plains[i].size());
    auto uncompressAll = [&] {
        for (std::size_t i = 0; i < containers.size(); ++i) {
            uLongf size = static_cast<uLongf>(bare[i].size());
            if (uncompress(bare[i].data(), &size, containers[i].data() + 4, containers[i].size() - 4) != Z_OK)
                throw std::runtime_error("uncompress failed");
        }
    };

    // Both decoders must produce the payloads before their speed means anything.
    std::vector<ByteBuffer> outputs(containers.size());
    decodeAll(outputs);
    uncompressAll();
    for (std::size_t i = 0; i < plains.size(); ++i)
        if (!std::equal(plains[i].begin(), plains[i].end(), outputs[i].data(), outputs[i].data() + outputs[i].size()) ||
            bare[i] != plains[i])
            throw std::runtime_error("payload " + Narrow(PayloadNames[i]) + " decoded wrongly");

    // Rounds alternate between the two, so that drift of the machine hits both.
    std::vector<double> ours, zlib;
    for (int round = 0; round < rounds; ++round) {
        // Each round decodes into fresh buffers, as the installer does.
        ours.push_back(Seconds([&] {
            std::vector<ByteBuffer> fresh(containers.size());
            decodeAll(fresh);
        }));
        zlib.push_back(Seconds(uncompressAll));
    }

    const double mib = static_cast<double>(total) / kMiB;
    std::printf("payload set: %zu containers, %zu plain bytes, %zu container bytes (%.3f of plain)\n",
                containers.size(), total, containerBytes, static_cast<double>(containerBytes) / total);
    std::printf("decoding all fifteen, %d rounds      DecompressStream   bare uncompress()   ratio\n", rounds);
    const double bestOurs = *std::min_element(ours.begin(), ours.end());
    const double bestZlib = *std::min_element(zlib.begin(), zlib.end());
    std::printf("  best round        %12.1f MiB/s %14.1f MiB/s %10.3f\n", mib / bestOurs, mib / bestZlib,
                bestZlib / bestOurs);
    std::printf("  median round      %12.1f MiB/s %14.1f MiB/s %10.3f\n", mib / Median(ours), mib / Median(zlib),
                Median(zlib) / Median(ours));
    std::printf("  target: ratio >= 0.95 of bare zlib\n");

    const std::filesystem::path directory =
        std::filesystem::temp_directory_path() / ("payload_bench." + std::to_string(getpid()));
    std::filesystem::create_directories(directory);
    std::printf("peak resident growth while decoding, fresh process per payload:\n");
    std::printf("  %-18s %10s %10s %10s\n", "payload", "plain", "growth", "growth-plain");
    std::size_t largest = 0;
    long largestGrowth = 0;
    for (std::size_t i = 0; i < containers.size(); ++i) {
        const std::filesystem::path file = directory / Narrow(PayloadNames[i]);
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(containers[i].data()),
                   static_cast<std::streamsize>(containers[i].size()));
        const long growth = PeakGrowth(file.string());
        std::printf("  %-18s %10zu %10ld %10ld\n", Narrow(PayloadNames[i]).c_str(), plains[i].size(), growth,
                    growth - static_cast<long>(plains[i].size()));
        largest = std::max(largest, plains[i].size());
        largestGrowth = std::max(largestGrowth, growth);
    }
    std::filesystem::remove_all(directory);
    std::printf("  largest growth %ld bytes = %.3f of largest plain + 1 MiB (%zu bytes); target <= 1.000\n",
                largestGrowth, static_cast<double>(largestGrowth) / (largest + kMiB), largest + kMiB);
    std::printf("  largest growth = %.3f of largest plain size\n", static_cast<double>(largestGrowth) / largest);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::string(argv[1]) == "--peak")
            return MeasurePeak(argv[2]);
        if (argc == 3 && std::string(argv[1]) == "--plain-files")
            return WritePlainFiles(argv[2]);
        const int rounds = argc > 1 ? std::atoi(argv[1]) : 25;
        if (rounds < 1) {
            std::fprintf(stderr, "usage: payload_bench [rounds] | --plain-files DIR\n");
            return 2;
        }
        return Bench(rounds);
    } catch (const Error& e) {
        std::fprintf(stderr, "payload_bench: %s\n", Narrow(e.Message()).c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "payload_bench: %s\n", e.what());
    }
    return 1;
}
