#include "system/ShellLink.h"

#include "system/Error.h"
#include "system/Handles.h"
#include "system/SystemError.h"
#include "system/Texts.h"

void CreateShellLinkObject(ComPtr<IUnknown>& object, ComPtr<IShellLinkW>& link, ComPtr<IPersistStream>& persist) {
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                      IID_IUnknown, object.put_void());
    if (FAILED(result))
        RaiseSystemError(static_cast<DWORD>(result));
    if (FAILED(object.As(IID_IShellLinkW, link)) || FAILED(object.As(IID_IPersistStream, persist)))
        Raise(kInterfaceNotSupported);
}

std::vector<unsigned char> CreateShortcut(IShellLinkW* link,
                                        IPersistStream* persist,
                                        const std::wstring& target,
                                        const std::wstring& workingDirectory,
                                        const wchar_t* description,
                                        const wchar_t* arguments) {
    // Its creation may have failed at start-up.
    if (!link || !persist)
        Raise(kInterfaceNotSupported);
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(workingDirectory.c_str());
    link->SetArguments(arguments);
    link->SetDescription(description);
    // The stream grows the movable block in place of its handle.
    UniqueHGlobal memory(GlobalAlloc(GMEM_MOVEABLE, 0));
    if (!memory)
        Raise(kOutOfMemory);
    ComPtr<IStream> stream;
    STATSTG status{};
    HRESULT result = CreateStreamOnHGlobal(memory.get(), FALSE, stream.put());
    if (SUCCEEDED(result))
        result = persist->Save(stream.get(), TRUE);
    if (SUCCEEDED(result))
        result = stream->Stat(&status, STATFLAG_NONAME);
    const auto* data = SUCCEEDED(result) ? static_cast<const unsigned char*>(GlobalLock(memory.get())) : nullptr;
    if (!data)
        RaiseSystemError(static_cast<DWORD>(result));
    std::vector<unsigned char> bytes(data, data + status.cbSize.LowPart);
    GlobalUnlock(memory.get());
    return bytes;
}
