#include "app/CommandLine.h"

#include "system/MessageText.h"

#include <algorithm>

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// Whether the text at `at` begins with the option name (upper case), in any
// letter case.
bool StartsWithName(const std::wstring& text, std::size_t at, const wchar_t* name) {
    for (; *name; ++name, ++at) {
        if (at >= text.size())
            return false;
        const wchar_t c = text[at];
        if ((c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c) != *name)
            return false;
    }
    return true;
}

bool IsOption(const std::wstring& option, const wchar_t* name) {
    return option.size() == std::char_traits<wchar_t>::length(name) && StartsWithName(option, 0, name);
}

std::size_t SkipBlanks(const std::wstring& text, std::size_t at) {
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    return at;
}

// One option from `at`: up to the next blank outside quotes; the quotes group
// and are dropped.
std::wstring NextOption(const std::wstring& text, std::size_t& at) {
    std::wstring option;
    for (bool quoted = false; at < text.size() && (quoted || !IsBlank(text[at])); ++at) {
        if (text[at] == L'"')
            quoted = !quoted;
        else
            option += text[at];
    }
    return option;
}

class Parser {
  public:
    explicit Parser(const std::wstring& text) : text_(text) {}

    SetupOptions Parse() {
        bool misplaced = false;
        while ((at_ = SkipBlanks(text_, at_)) < text_.size()) {
            if (StartsWithName(text_, at_, L"/D=")) {
                misplaced = TakeRestAsDirectory();
                continue;
            }
            const std::wstring option = NextOption(text_, at_);
            if (misplaced)
                Refuse(option);
            misplaced = false;
            Read(option);
        }
        // A removal that an installation's option came with would leave that
        // option unheard.
        if (options_.uninstall && !installing_.empty())
            Refuse(installing_);
        if (options_.command != ShellCommand::None) {
            if (!other_.empty())
                Refuse(other_);
            options_.mode = SetupMode::Quiet;
        }
        return std::move(options_);
    }

  private:
    // The first refusal is the one reported; the rest of the line is still
    // read for the options that say where the report goes.
    void Refuse(const std::wstring& option) {
        if (!options_.refused)
            options_.refused = option;
    }

    // Two ways of meeting the user are refused, as is any switch given twice
    // in one of its spellings, which would leave the line's author guessing
    // which counts. The quieter way holds for the report, so that an
    // unattended run never waits at a box.
    void SetMode(SetupMode mode, const std::wstring& option) {
        if (options_.mode != SetupMode::Wizard)
            Refuse(option);
        options_.mode = std::max(options_.mode, mode);
    }

    void TakeDirectory(const std::wstring& option, const std::wstring& directory) {
        const std::wstring whole = option == L"/D=" ? option + directory : option;
        Installing(whole);
        Other(whole);
        if (directory.empty() || options_.directory)
            Refuse(option);
        else
            options_.directory = directory;
    }

    // /D= up to the end of the line, or up to an option put after it by
    // mistake; true in the second case, with `at_` at that option.
    bool TakeRestAsDirectory() {
        const std::size_t start = at_ + 3;
        std::size_t end = text_.size();
        for (std::size_t i = start; i < text_.size(); ++i) {
            if (text_[i] == L'/' && IsBlank(text_[i - 1])) {
                end = i;
                break;
            }
        }
        at_ = end;
        while (end > start && IsBlank(text_[end - 1]))
            --end;
        TakeDirectory(text_.substr(start - 3, 3), text_.substr(start, end - start));
        return at_ < text_.size();
    }

    void Read(const std::wstring& option) {
        static constexpr const wchar_t* kCommands[] = {L"/REINSTALL", L"/HIDEICONS", L"/SHOWICONS"};
        for (int i = 0; i < 3; ++i)
            if (IsOption(option, kCommands[i])) {
                if (options_.command != ShellCommand::None)
                    Refuse(option);
                else
                    options_.command = static_cast<ShellCommand>(i + 1);
                return;
            }
        Other(option);
        if (IsOption(option, L"/S") || IsOption(option, L"/QUIET")) {
            SetMode(SetupMode::Quiet, option);
        } else if (IsOption(option, L"/PASSIVE")) {
            SetMode(SetupMode::Passive, option);
        } else if (IsOption(option, L"/NORESTART")) {
            // Nothing that this installer does needs a restart.
            if (noRestart_)
                Refuse(option);
            noRestart_ = true;
        } else if (IsOption(option, L"/NOFORCECLOSEAPPLICATIONS")) {
            if (!options_.forceClose)
                Refuse(option);
            options_.forceClose = false;
        } else if (IsOption(option, L"/NORESTARTAPPLICATIONS")) {
            if (!options_.restart)
                Refuse(option);
            options_.restart = false;
            Installing(option);
        } else if (IsOption(option, L"/HELP") || IsOption(option, L"/?")) {
            if (options_.help)
                Refuse(option);
            options_.help = true;
        } else if (IsOption(option, L"/UNINSTALL")) {
            if (options_.uninstall)
                Refuse(option);
            options_.uninstall = true;
        } else if (IsOption(option, L"/ALLOWDOWNGRADE")) {
            if (options_.allowDowngrade)
                Refuse(option);
            options_.allowDowngrade = true;
            Installing(option);
        } else if (IsOption(option, L"/LOG")) {
            // The file is the next item, unless that is another option.
            at_ = SkipBlanks(text_, at_);
            const std::wstring file = at_ < text_.size() && text_[at_] != L'/' ? NextOption(text_, at_) : L"";
            TakeLogFile(option, file);
        } else if (StartsWithName(option, 0, L"/LOG=")) {
            TakeLogFile(option, option.substr(5));
        } else if (TakeChoice(option, L"/DESKTOPSHORTCUT=", options_.shortcuts.desktop) ||
                   TakeChoice(option, L"/STARTMENUSHORTCUT=", options_.shortcuts.startMenu)) {
            // Taken.
        } else if (StartsWithName(option, 0, L"/D=")) {
            // In quotes as a whole, it may stand anywhere.
            TakeDirectory(option, option.substr(3));
        } else {
            Refuse(option);
        }
    }

    // A shortcut choice of that name: true or false in any letter case, and
    // refused where it is neither. False when the option has another name.
    bool TakeChoice(const std::wstring& option, const wchar_t* name, std::optional<bool>& choice) {
        if (!StartsWithName(option, 0, name))
            return false;
        Installing(option);
        const std::wstring value = option.substr(std::char_traits<wchar_t>::length(name));
        const bool make = IsOption(value, L"TRUE");
        if ((!make && !IsOption(value, L"FALSE")) || choice)
            Refuse(option);
        else
            choice = make;
        return true;
    }

    // The first option that only an installation reads.
    void Installing(const std::wstring& option) {
        if (installing_.empty())
            installing_ = option;
    }

    // The first option that is no command.
    void Other(const std::wstring& option) {
        if (other_.empty())
            other_ = option;
    }

    void TakeLogFile(const std::wstring& option, const std::wstring& file) {
        if (file.empty() || !options_.logFile.empty())
            Refuse(option);
        else
            options_.logFile = file;
    }

    const std::wstring& text_;
    std::size_t at_ = 0;
    bool noRestart_ = false;
    SetupOptions options_;
    std::wstring installing_;
    std::wstring other_;
};

}  // namespace

SetupOptions ParseCommandLine(const std::wstring& arguments) {
    return Parser(arguments).Parse();
}

std::wstring ShortcutOptionsText(const Product::ShortcutChoice& shortcuts) {
    using Product::LinkPlace;
    return FormatText(L"/DesktopShortcut=%1 /StartMenuShortcut=%2",
                      {shortcuts.Makes(LinkPlace::Desktop) ? L"true" : L"false",
                       shortcuts.Makes(LinkPlace::StartMenu) ? L"true" : L"false"});
}

std::wstring UsageText() {
    return L"用法：ZarvoSetup.exe [选项] [/D=安装目录]\r\n"
           L"\r\n"
           L"/quiet、/S\u3000不显示窗口，不提问\r\n"
           L"/passive\u3000只显示进度，不提问，结束时自行关闭\r\n"
           L"/norestart\u3000不重新启动（本程序从不重新启动）\r\n"
           L"/NoForceCloseApplications\u3000程序不肯关闭时不强行结束：\r\n"
           L"\u3000\u3000不做更改，退出代码 15618\r\n"
           L"/NoRestartApplications\u3000安装后不重新启动安装时关闭的泽沃浏览器\r\n"
           L"/log 文件、/LOG=文件\u3000把每一步写进日志文件\r\n"
           L"/DesktopShortcut=false\u3000不建桌面快捷方式\r\n"
           L"/StartMenuShortcut=false\u3000不建开始菜单程序组\r\n"
           L"\u3000\u3000（=true 则建；未给出时沿用上次安装的选择）\r\n"
           L"/D=安装目录\u3000安装到此目录；须放在最后，可含空格\r\n"
           L"/AllowDowngrade\u3000已装有更新的版本时也安装本版本，不提问\r\n"
           L"/uninstall\u3000卸载已安装的泽沃浏览器（可与 /quiet、/passive、/log 同用）\r\n"
           L"/Reinstall\u3000设为本机默认浏览器并显示快捷方式\r\n"
           L"/HideIcons\u3000删除桌面快捷方式和开始菜单程序组\r\n"
           L"/ShowIcons\u3000重建桌面快捷方式和开始菜单程序组\r\n"
           L"\u3000\u3000（以上三项由 Windows 调用，不与其他选项同用）\r\n"
           L"/help、/?\u3000显示本说明";
}

std::wstring RefusedOptionText(const std::wstring& option) {
    return FormatText(L"命令行参数无效：%1\r\n\r\n%2", {option, UsageText()});
}
