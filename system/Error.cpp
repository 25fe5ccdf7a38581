#include "system/Error.h"

#include "system/MessageText.h"
#include "system/Texts.h"

#include <new>

void Raise(const wchar_t* message, unsigned long code) {
    throw Error(message, code);
}

void Raise(std::wstring&& message, unsigned long code) {
    throw Error(std::move(message), code);
}

std::wstring CurrentErrorText(bool code) {
    try {
        throw;
    } catch (const Error& error) {
        return code && error.Code() ? FormatText(kWithErrorCode, {error.Message(), DecimalText(error.Code())})
                                    : error.Message();
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (...) {
        return kUnexpectedError;
    }
}
