// Feeds arbitrary text to the command-line reader. Crashes, hangs and leaks
// are findings, and so is a line taken whose options could not be what a line
// gives: a folder or log file that is empty, or a log file that still holds
// the quotes that group it.

#include "app/CommandLine.h"
#include "tests/fuzz/WideText.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const SetupOptions options = ParseCommandLine(WideText(data, size));
    if (options.refused) {
        // The report names the option; nothing else about it is promised.
        RefusedOptionText(*options.refused);
        return 0;
    }
    if ((options.directory && options.directory->empty()) || options.logFile.find(L'"') != std::wstring::npos)
        std::abort();
    return 0;
}
