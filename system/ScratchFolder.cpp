#include "system/ScratchFolder.h"

#include "system/Error.h"
#include "system/Files.h"
#include "system/MessageText.h"
#include "system/Product.h"

#include <objbase.h>
#include <sddl.h>

namespace {

// A folder name nobody can guess: a random identifier, as the system makes
// them from its cryptographic generator.
std::wstring UnguessableName() {
    GUID id{};
    wchar_t text[40] = {};
    if (FAILED(CoCreateGuid(&id)) || StringFromGUID2(id, text, 40) == 0)
        return std::wstring();
    // "{8-4-4-4-12}" without the braces.
    return FormatText(ZARVO_SHORT_NAME L"-%1", {std::wstring_view(text + 1, 36)});
}

}  // namespace

DWORD ScratchFolder::Make() {
    const std::wstring name = UnguessableName();
    // The temporary directory may itself lie elsewhere through a link; that
    // is the user's to choose. A drive root needs its backslash.
    const std::wstring parentPath = tempDir_.empty() || tempDir_.back() == L':' ? tempDir_ + L"\\" : tempDir_;
    path_ = FormatText(L"%1\\%2", {tempDir_, name});
    // Owned by the administrators, not the user, who could otherwise open
    // the list up again; entered only by them and the system. The installer
    // always runs as an administrator; beside a limited token of the same
    // user this keeps that user's programs out.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (name.empty())
        return ERROR_GEN_FAILURE;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)",
                                                              SDDL_REVISION_1, &descriptor, nullptr))
        return GetLastError();
    const UniqueLocalMemory security(descriptor);
    folder_ = HeldFolder::Open(parentPath).CreateFolder(name, descriptor);
    return folder_.Error();
}

UniqueHandle ScratchFolder::WriteCopy(const std::wstring& fileName, const void* data, std::size_t size) {
    Opened copy;
    copy.error = folder_ ? 0 : Make();
    if (!copy.error)
        copy = folder_.CreateNewFile(fileName, true);
    if (!copy)
        RaiseCannotCreate(FormatText(L"%1\\%2", {path_, fileName}), copy.error);
    WriteAll(copy.file.get(), data, size);
    SetFilePointer(copy.file.get(), 0, nullptr, FILE_BEGIN);
    return std::move(copy.file);
}
