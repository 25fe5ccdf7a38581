#include "app/InstallMain.h"
#include "system/ComApartment.h"
#include "system/DynamicApi.h"
#include "system/LibrarySearch.h"
#include "ui/Application.h"

namespace {

// The window scales itself to the screen's dpi; from Vista on, the system must
// be told so, or it stretches the window as a bitmap.
void DeclareDpiAware() {
    using SetAware = BOOL(WINAPI*)();
    if (auto set = SystemFunction<SetAware>(L"user32.dll", "SetProcessDPIAware"))
        set();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HardenLibrarySearch();
    DeclareDpiAware();
    ComApartment com;
    Application application;
    {
        TInstallForm form(application);
        InstallMain::InstallForm = &form;
        try {
            form.Create();
        } catch (...) {
            Application::ShowCurrentException(nullptr);
            return 1;
        }
        form.Show();
        application.Run(form.Window().Handle());
        form.Destroy();
        InstallMain::InstallForm = nullptr;
    }
    InstallMain::ReleaseInstallerState();
    return 0;
}
