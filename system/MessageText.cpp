#include "system/MessageText.h"

#include "system/Texts.h"

std::wstring WithFullStop(std::wstring text) {
    if (!text.empty() && text.back() > L'.')
        text.push_back(L'.');
    return text;
}

std::wstring IoErrorMessage(unsigned long code) {
    switch (code) {
        case 2:
            return kFileNotFound;
        case 3:
            return kPathNotFound;
        case 4:
            return kTooManyOpenFiles;
        case 5:
            return kFileAccessDenied;
        case 100:
            return kReadBeyondEnd;
        case 101:
            return kDiskFull;
        case 106:
            return kInvalidNumericInput;
        default:
            return FormatText(kIoError, {DecimalText(code)});
    }
}

std::wstring DecimalText(unsigned long value) {
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}

std::wstring MegabytesText(unsigned long long bytes, bool roundUp) {
    constexpr unsigned long long kMegabyte = 1024 * 1024;
    const auto tenths = static_cast<unsigned long>((bytes * 10 + (roundUp ? kMegabyte - 1 : 0)) / kMegabyte);
    return FormatText(L"%1.%2", {DecimalText(tenths / 10), DecimalText(tenths % 10)});
}

std::wstring FormatText(const wchar_t* pattern, std::initializer_list<std::wstring_view> arguments) {
    std::wstring text;
    for (; *pattern; ++pattern) {
        const std::size_t number =
            pattern[0] == L'%' && pattern[1] >= L'1' && pattern[1] <= L'9' ? pattern[1] - L'1' : 9;
        if (number < arguments.size())
            text.append(arguments.begin()[number]), ++pattern;
        else
            text.push_back(*pattern);
    }
    return text;
}
