#include "system/ShellLink.h"

#include "app/Error.h"
#include "app/InstallMain.h"
#include "system/SystemError.h"

void CreateShellLinkObject() {
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                      IID_IUnknown, InstallMain::ShellLinkObject.put_void());
    if (FAILED(result))
        throw Error(SystemErrorText(static_cast<DWORD>(result)));
    if (FAILED(InstallMain::ShellLinkObject.As(IID_IShellLinkW, InstallMain::ShellLinkInterface)) ||
        FAILED(InstallMain::ShellLinkObject.As(IID_IPersistFile, InstallMain::PersistInterface)))
        throw Error(L"Interface not supported");
}
