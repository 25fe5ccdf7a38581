// Feeds arbitrary text to the folder text rules. Crashes, hangs and leaks are
// findings, and so is a path taken that breaks what the rules promise: an
// install folder that is no absolute path of a drive or share within 259
// characters, or holds a character that a file name cannot hold (a colon but
// a drive's, a control character, a wildcard); and a parent part or a folder
// picked that is not built on the text given.

#include "install/PathRules.h"
#include "tests/fuzz/WideText.h"

#include <cstdlib>

namespace {

bool Check(bool holds) {
    if (!holds)
        std::abort();
    return holds;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = WideText(data, size);
    if (WellFormedInstallDir(text)) {
        Check(text.size() <= 259);
        const bool drive = text.size() >= 3 && text[1] == L':' && text[2] == L'\\';
        Check(drive || text.compare(0, 2, L"\\\\") == 0);
        for (std::size_t i = 0; i < text.size(); ++i)
            Check(text[i] >= 32 && std::wstring(L"<>\"/|?*").find(text[i]) == std::wstring::npos &&
                  (text[i] != L':' || (drive && i == 1)));
    }
    const std::wstring bare = WithoutTrailingBackslash(text);
    Check(text.compare(0, bare.size(), bare) == 0 && text.size() - bare.size() <= 1);
    const std::wstring parent = ParentPart(text);
    Check(text.compare(0, parent.size(), parent) == 0);
    const std::wstring below = InstallDirBelow(text);
    Check(text.empty() ? below.empty() : below.compare(0, text.size(), text) == 0);
    return 0;
}
