#include "system/ShellLink.h"

#include "system/Error.h"
#include "system/SystemError.h"

void CreateShellLinkObject(ComPtr<IUnknown>& object, ComPtr<IShellLinkW>& link, ComPtr<IPersistFile>& persist) {
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                      IID_IUnknown, object.put_void());
    if (FAILED(result))
        throw Error(SystemErrorText(static_cast<DWORD>(result)));
    if (FAILED(object.As(IID_IShellLinkW, link)) || FAILED(object.As(IID_IPersistFile, persist)))
        throw Error(L"Interface not supported");
}
