// Walks the real installer through its five pages and saves a PNG of each.
// Usage: screenshots INSTALLER OUTDIR (both Windows paths).
#include "tests/gui/Driver.h"

#include <cstdio>

namespace {

bool Save(Installer& installer, const std::wstring& dir, const wchar_t* name) {
    RedrawWindow(installer.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const std::wstring path = dir + L"\\" + name + L".png";
    SaveScreenshot(installer.Window(), path);
    fwprintf(stderr, L"saved %ls\n", path.c_str());
    return true;
}

bool Reach(Installer& installer, ControlId page) {
    return WaitUntil([&] { return Visible(installer.Control(page)); });
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        fwprintf(stderr, L"usage: screenshots INSTALLER OUTDIR\n");
        return 2;
    }
    SetInstallerPath(argv[1]);
    const std::wstring dir = argv[2];
    Installer installer;
    if (!installer.Window())
        return 1;
    Save(installer, dir, L"1-welcome");
    Press(installer.Control(NextStepBtn));
    if (!Reach(installer, LisenseTabSheet))
        return 1;
    Save(installer, dir, L"2-licence");
    Press(installer.Control(NextStepBtn));
    if (!Reach(installer, DirTabSheet))
        return 1;
    Save(installer, dir, L"3-directory");

    // The close question, queued behind the click, is asked at the copying
    // page's first repaint and holds the page on screen; moved off the
    // screen, it leaves the page free for the picture at every scale (at 200 %
    // the window fills most of the test display).
    Press(installer.Control(NextStepBtn));
    PostMessageW(installer.Window(), WM_CLOSE, 0, 0);
    HWND question = installer.WaitForMessageBox();
    if (!question)
        return 1;
    SetWindowPos(question, nullptr, GetSystemMetrics(SM_CXVIRTUALSCREEN), 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Save(installer, dir, L"4-copying");
    Answer(question, IDCANCEL);

    if (!Reach(installer, OverTabSheet))
        return 1;
    Save(installer, dir, L"5-finished");
    return 0;
}
