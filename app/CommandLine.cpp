#include "app/CommandLine.h"

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// Whether the text at `at` begins with the option name (upper case), in any
// letter case.
bool StartsWithName(const std::wstring& text, std::size_t at, const wchar_t* name) {
    for (; *name; ++name, ++at) {
        if (at >= text.size())
            return false;
        const wchar_t c = text[at];
        if ((c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c) != *name)
            return false;
    }
    return true;
}

}  // namespace

SetupOptions ParseCommandLine(const std::wstring& arguments) {
    SetupOptions options;
    std::size_t at = 0;
    for (;;) {
        while (at < arguments.size() && IsBlank(arguments[at]))
            ++at;
        if (at == arguments.size())
            break;
        if (StartsWithName(arguments, at, L"/D=")) {
            std::size_t end = arguments.size();
            while (end > at + 3 && IsBlank(arguments[end - 1]))
                --end;
            options.directory = arguments.substr(at + 3, end - at - 3);
            break;
        }
        // One option: up to the next blank outside quotes; the quotes group
        // and are dropped.
        std::wstring option;
        for (bool quoted = false; at < arguments.size() && (quoted || !IsBlank(arguments[at])); ++at) {
            if (arguments[at] == L'"')
                quoted = !quoted;
            else
                option += arguments[at];
        }
        if (option.size() == 2 && StartsWithName(option, 0, L"/S"))
            options.unattended = true;
        else if (StartsWithName(option, 0, L"/D="))
            options.directory = option.substr(3);
        else if (StartsWithName(option, 0, L"/LOG="))
            options.logFile = option.substr(5);
    }
    return options;
}
