// The wizard's pages: walking them, the directory page with its folder
// dialog, and closing the wizard on each page.

#include "tests/gui/WizardFixture.h"

#include <commctrl.h>
#include <shlobj.h>

TEST_F(WizardTest, NextAndBackWalkThePages) {
    ASSERT_TRUE(installer_.Window());
    ExpectState(kWelcome);
    Next();
    ExpectState(kLicence);
    Back();
    ExpectState(kWelcome);
    Next();
    ExpectState(kLicence);
    Next();
    ExpectState(kDirectory);
    Back();
    ExpectState(kLicence);
    Next();
    ExpectState(kDirectory);
}

TEST_F(WizardTest, UnusableDirectoryIsRejectedAndKept) {
    ToDirectoryPage();
    // Windows would drop the trailing dot and make "Zarvo" instead.
    const std::wstring trailingDot = std::wstring(kTestRoot) + L"\\Zarvo.";
    // A device: the check would make its parent, and the first file fail.
    const std::wstring device = std::wstring(kTestRoot) + L"\\nul";
    for (const std::wstring& dir :
         {std::wstring(), std::wstring(L"Q:\\NoSuchDrive\\Zarvo"), std::wstring(L"Zarvo"), trailingDot, device}) {
        SetInstallDir(dir);
        Next();
        HWND box = installer_.WaitForMessageBox();
        ASSERT_TRUE(box) << "no message";
        EXPECT_EQ(Text(box), L"泽沃浏览器安装程序");
        EXPECT_EQ(MessageBoxText(box), L"安装目录格式不正确，请重新选择！");
        EXPECT_FALSE(MessageBoxHasButton(box, IDCANCEL));
        Answer(box, IDOK);
        ExpectState(kDirectory);
        EXPECT_EQ(Text(installer_.Control(InstallDir)), dir);
    }
    EXPECT_FALSE(Exists(kTestRoot)) << "nothing made for a text that is refused";
}

TEST_F(WizardTest, CloseQuestionAnsweredCancelChangesNothing) {
    ASSERT_TRUE(installer_.Window());
    AskToClose();
    AnswerCloseQuestion(IDCANCEL);
    ExpectState(kWelcome);
    Next();
    ASSERT_TRUE(Press(installer_.Control(CancelBtn)));
    AnswerCloseQuestion(IDCANCEL);
    ExpectState(kLicence);
    Next();
    AskToClose();
    AnswerCloseQuestion(IDCANCEL);
    ExpectState(kDirectory);
    EXPECT_TRUE(installer_.Running());
}

TEST_F(WizardTest, CloseBoxOnTheFinishedPageEndsAtOnce) {
    InstallToTheEnd();
    AskToClose();
    EXPECT_EQ(installer_.MessageBoxBeforeExit(), nullptr) << "no question";
    ExpectEndsWithoutFinishActions();
}

TEST_F(WizardTest, CloseConfirmedWhileCopyingTakesEffectAfterTheInstallation) {
    ToDirectoryPage();
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Closing";
    SetInstallDir(dir);
    // Queued behind the click, the close request is met by the installation's
    // first look at pending events, while the copying page shows.
    Next();
    AskToClose();
    HWND box = installer_.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_TRUE(Visible(installer_.Control(ProcessTabSheet)));
    EXPECT_FALSE(Visible(installer_.Control(LastStepBtn)));
    EXPECT_FALSE(Enabled(installer_.Control(NextStepBtn)));
    EXPECT_FALSE(Enabled(installer_.Control(CancelBtn)));
    EXPECT_EQ(Text(installer_.Control(StatusLabel)), L"正在抽取：whatsnewtxt.zip");
    AnswerCloseQuestion(IDOK);
    ExpectEndsWithoutFinishActions();
    EXPECT_EQ(GetFileAttributesW((dir + L"\\Lang\\0x0409.ini").c_str()) != INVALID_FILE_ATTRIBUTES, true)
        << "the installation ran to its end";
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zarvo", 0,
                            KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

namespace {

BOOL CALLBACK FindTree(HWND window, LPARAM found) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (wcscmp(name, L"SysTreeView32") != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The label of the item selected in the dialog's folder tree.
std::wstring SelectedFolderName(HANDLE process, HWND tree) {
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    wchar_t text[MAX_PATH] = {};
    RemoteBlock block(process, sizeof(TVITEMW) + sizeof text);
    TVITEMW request{};
    request.mask = TVIF_TEXT;
    request.hItem = item;
    request.pszText = reinterpret_cast<wchar_t*>(block.Address() + sizeof(TVITEMW));
    request.cchTextMax = MAX_PATH;
    block.Write(0, &request, sizeof request);
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.Address()));
    block.Read(sizeof(TVITEMW), text, sizeof text - sizeof(wchar_t));
    return text;
}

// Selects a folder in the installer's open folder dialog, as a click in its
// tree would: the path is placed in the installer's memory for the message.
// The dialog fills its tree while it opens, and a selection made too early is
// lost, so the selection is made until the tree shows it.
void SelectFolder(HANDLE process, HWND dialog, const std::wstring& path, const std::wstring& shownName) {
    HWND tree = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        EnumChildWindows(dialog, FindTree, reinterpret_cast<LPARAM>(&tree));
        return tree != nullptr;
    }));
    const RemoteBlock block(process, (path.size() + 1) * sizeof(wchar_t));
    block.Write(0, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    EXPECT_TRUE(WaitUntil([&] {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(block.Address()));
        Settle(dialog);
        return SelectedFolderName(process, tree).find(shownName) != std::wstring::npos;
    }));
}

}  // namespace

TEST_F(WizardTest, BrowseSetsTheDirectoryBelowThePickedFolder) {
    ToDirectoryPage();
    const std::wstring apps = std::wstring(kTestRoot) + L"\\Apps";
    CreateDirectoryW(kTestRoot, nullptr);
    CreateDirectoryW(apps.c_str(), nullptr);
    CreateDirectoryW((apps + L"\\Zarvo").c_str(), nullptr);
    // Wine tells folders apart by their whole directory entry, last access
    // included: reading the new folders once now keeps the dialog's own first
    // read of them from changing that time between its lookups.
    for (const std::wstring& folder : {apps, apps + L"\\Zarvo"}) {
        WIN32_FIND_DATAW found;
        FindClose(FindFirstFileW((folder + L"\\*").c_str(), &found));
    }
    const std::wstring proposed = Text(installer_.Control(InstallDir));

    ASSERT_TRUE(Press(installer_.Control(BrowseBtn)));
    HWND dialog = installer_.WaitForMessageBox();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(Enabled(installer_.Window())) << "the wizard waits while the dialog is open";
    RECT rect{};
    GetWindowRect(dialog, &rect);
    EXPECT_NEAR((rect.left + rect.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1) << "centred on the monitor";
    EXPECT_NEAR((rect.top + rect.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1) << "centred on the monitor";
    Answer(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return Enabled(installer_.Window()); }));
    EXPECT_EQ(Text(installer_.Control(InstallDir)), proposed) << "cancel changes nothing";

    const struct {
        std::wstring picked, shownName, installDir;
    } cases[] = {
        {L"C:\\", L"C:", L"C:\\Zarvo"},
        {apps, L"Apps", apps + L"\\Zarvo"},
        {apps + L"\\Zarvo", L"Zarvo", apps + L"\\Zarvo\\Zarvo"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Press(installer_.Control(BrowseBtn)));
        dialog = installer_.WaitForMessageBox();
        ASSERT_TRUE(dialog);
        SelectFolder(installer_.Process(), dialog, c.picked, c.shownName);
        Answer(dialog, IDOK);
        WaitUntil([&] { return Text(installer_.Control(InstallDir)) == c.installDir; });
        EXPECT_EQ(Text(installer_.Control(InstallDir)), c.installDir);
        WaitUntil([&] { return Enabled(installer_.Window()); });
    }
    ExpectState(kDirectory);
}
