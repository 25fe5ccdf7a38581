#include "system/Error.h"

void Raise(const wchar_t* message, unsigned long code) {
    throw Error(message, code);
}

void Raise(std::wstring&& message, unsigned long code) {
    throw Error(std::move(message), code);
}
