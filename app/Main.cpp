#include "app/CommandLine.h"
#include "app/ExitCode.h"
#include "app/InstallMain.h"
#include "app/Unattended.h"
#include "payload/Integrity.h"
#include "system/ComApartment.h"
#include "system/DynamicApi.h"
#include "system/LibrarySearch.h"
#include "system/RunLog.h"
#include "ui/Application.h"

namespace {

const wchar_t kDamagedText[] = L"安装程序已损坏，请重新下载。";

// The window scales itself to the screen's dpi; from Vista on, the system must
// be told so, or it stretches the window as a bitmap.
void DeclareDpiAware() {
    using SetAware = BOOL(WINAPI*)();
    if (auto set = SystemFunction<SetAware>(L"user32.dll", "SetProcessDPIAware"))
        set();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    HardenLibrarySearch();
    DeclareDpiAware();
    const SetupOptions options = ParseCommandLine(arguments);
    RunLog log;
    Application application;
    if (options.unattended) {
        if (!options.logFile.empty() && !log.Open(options.logFile))
            return kNotStarted;
        log.Line(kWindow.caption);
        application.RunUnattended(log);
    }
    // A copy damaged on its way here is found before anything is changed,
    // rather than at the damaged payload, after the earlier ones have replaced
    // an installed product's files.
    if (!PayloadsIntact()) {
        application.Message(nullptr, kDamagedText, Application::kTitle, MB_OK | MB_ICONERROR);
        return kInstallerDamaged;
    }
    ComApartment com;
    int exitCode = kInstalled;
    {
        TInstallForm form(application);
        InstallMain::InstallForm = &form;
        try {
            form.Create();
        } catch (...) {
            application.ShowCurrentException(nullptr);
            return kNotStarted;
        }
        if (options.unattended) {
            exitCode = InstallUnattended(form, application, options);
        } else {
            form.Show();
            application.Run(form.Window().Handle());
        }
        form.Destroy();
        InstallMain::InstallForm = nullptr;
    }
    InstallMain::ReleaseInstallerState();
    return exitCode;
}
