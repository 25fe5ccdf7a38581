#pragma once

#include "app/InstallMain.h"
#include "system/ComApartment.h"
#include "system/Error.h"
#include "system/RunLog.h"
#include "tests/win/InstalledProduct.h"
#include "tests/win/Probe.h"

#include <aclapi.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The installer's code in-process: the wizard is created as the installer
// creates it and driven as its next button drives it.

inline constexpr wchar_t kTestRoot[] = L"C:\\ZarvoInstallTest";
inline constexpr wchar_t kBoxLog[] = L"C:\\ZarvoInstallTest.log";

// The temporary directory as the installer sees it, without a backslash.
inline std::wstring TempDirectory() {
    wchar_t temp[MAX_PATH] = {};
    const DWORD length = GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp, length ? length - 1 : 0);
}

// The folders of the installer's own in the temporary directory.
inline std::vector<std::wstring> ScratchFolders() {
    std::vector<std::wstring> folders;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((TempDirectory() + L"\\Zarvo-*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            folders.push_back(TempDirectory() + L"\\" + found.cFileName);
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return folders;
}

// Runs the wizard from its welcome page to the end of the installation, as
// the next button does; returns the text of the error that ended it, if any.
class InstallTest : public testing::Test {
  protected:
    void SetUp() override { CleanSystem(); }
    void TearDown() override {
        CloseForm();
        CleanSystem();
    }

    static void CleanSystem() {
        RemoveInstallation(kTestRoot);
        for (const std::wstring& folder : ScratchFolders())
            RemoveTree(folder);
        DeleteFileW(kBoxLog);
    }

    // Boxes go to a log instead of the screen, as in an unattended run, so
    // that a refused folder waits for no click; Boxes reads what they said.
    void BoxesToLog() {
        application_.Log().Open(kBoxLog);
        application_.ShowNoBoxes();
    }
    // The log is held while it is open: closed to be read, and opened afresh.
    std::wstring Boxes() {
        application_.Log() = RunLog();
        const std::vector<unsigned char> bytes = ReadBytes(kBoxLog);
        std::wstring text(bytes.size(), L'\0');
        text.resize(static_cast<std::size_t>(
            MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()),
                                text.data(), static_cast<int>(text.size()))));
        boxes_ += text;
        BoxesToLog();
        return boxes_;
    }

    void Open() {
        CloseForm();
        form_ = std::make_unique<TInstallForm>(application_, beforeFolderMade_);
        // A browser started again would outlive the test, holding the folder
        // that the next one installs into; the GUI tests start it again.
        form_->ChooseRestart(false);
        form_->Create();
        form_->Show();
        WatchCopyingPage();
    }

    // Notes the status label's text, and where the keyboard focus is, each
    // time the label draws itself, whether at a paint or at once: at every
    // drawing it asks its page for its colours.
    void WatchCopyingPage() {
        watched_ = this;
        drawn_.clear();
        pageProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(Window().Control(ProcessTabSheet), GWLP_WNDPROC,
                                                                reinterpret_cast<LONG_PTR>(&CopyingPageProc)));
    }

    static LRESULT CALLBACK CopyingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == watched_->Window().Control(StatusLabel)) {
            watched_->drawn_.push_back({watched_->Window().Text(StatusLabel), GetFocus()});
            if (watched_->atDrawing_)
                watched_->atDrawing_();
        }
        return CallWindowProcW(watched_->pageProc_, page, message, wParam, lParam);
    }

    std::wstring Install(const std::wstring& dir, bool fresh = true) {
        if (fresh)
            Open();
        form_->SetInstallDirectory(dir);
        try {
            // Up to the directory page, and on from it.
            while (form_->Window().ActivePage() != DirTabSheet)
                form_->NextStepBtnClick();
            form_->NextStepBtnClick();
        } catch (const Error& error) {
            return error.Message();
        }
        return L"";
    }

    // The removal as /uninstall runs it without the wizard: from the folder
    // that the Uninstall entry records, its check, then the plan; the text of
    // the error that ended it, if any.
    std::wstring Remove() {
        Open();
        form_->Removing(InstallMain::RecordedFolder());
        try {
            form_->InstallIntoTheFolder();
        } catch (const Error& error) {
            return error.Message();
        }
        return L"";
    }

    void CloseForm() {
        if (form_) {
            form_->Destroy();
            form_.reset();
            InstallMain::ReleaseInstallerState();
        }
    }

    WizardWindow& Window() { return form_->Window(); }
    int Progress() { return static_cast<int>(SendMessageW(Window().Control(ProgressBar), PBM_GETPOS, 0, 0)); }

    static void ExpectNothingRegistered() {
        for (const wchar_t* key : {kAppPaths, kUninstall, kClient, kPageClass, kLinkClass})
            EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, key)) << key;
        EXPECT_FALSE(ReadRegValue(HKEY_LOCAL_MACHINE, kRegisteredApps, L"泽沃浏览器").exists);
    }

    ComApartment com_;
    Application application_;
    // Run by the directory check of the forms that Open makes, between its
    // first look and the making of the folders.
    void (*beforeFolderMade_)() = nullptr;
    std::unique_ptr<TInstallForm> form_;
    WNDPROC pageProc_ = nullptr;
    struct Drawing {
        std::wstring text;
        HWND focus;
    };
    std::vector<Drawing> drawn_;
    // Runs each time the status label draws: while the installation looks at
    // pending events.
    std::function<void()> atDrawing_;
    std::wstring boxes_;
    static inline InstallTest* watched_ = nullptr;
};
