// One source line per line of text, each ending in "\r\n" as the read-only
// boxes expect. The licence is also installed as payloads/Lisense.txt: keep both alike.

#include "Texts.h"

// Welcome page.
extern const wchar_t kWelcomeText[] =
    L"\u3000\u3000泽沃浏览器（Zarvo）是一款集多窗口，多线程，智能\r\n"
    L"屏\r\n"
    L"蔽等功能于一体的大众浏览器，具有方便，快速，稳定，安\r\n"
    L"全，易用，绿色等特点，他完全免费，没有任何功能限制。\r\n"
    L"轻松带您泽沃互联网世界。\r\n"
    L"\r\n"
    L"\u3000\u3000软件作者：洛菲工作室（www.luofei.example）\r\n"
    L"\r\n"
    L"\u3000\u3000最近更新：\r\n"
    L"        1.修正在低于IE7上缩放页面时报错的BUG\r\n"
    L"\u3000\u30002.修正在部分机器上启动时出现的空指针异常\r\n"
    L"\u3000\u30003.修正访问和关闭部分特殊网站时出现的BUG\r\n"
    L"\u3000\u30004.修正配置文件不可读时的BUG\r\n"
    L"\u3000\u30005.修正打开多个空白页闪烁的BUG\r\n"
    L"        6.修正访问特殊网页时造成的找不到成员的BUG\r\n"
    L"\r\n"
    L"\u3000\u3000请单击【下一步】继续安装。\r\n";

// Directory page, above the folder box.
extern const wchar_t kDirectoryText[] =
    L"安装程序将安装【泽沃浏览器】到下面的文件夹。要安装到不同的文件夹，请单击【\r\n"
    L"浏览】并选择其它的文件夹。\r\n"
    L"\r\n"
    L"单击下一步继续。\r\n";

// Licence page: readme and licence, 450 px wide box (Tahoma 8pt); lines are
// kept short enough for the box so that it never has to wrap them.
extern const wchar_t kLicenceText[] =
    L"非常感谢报告Bug和反馈建议的诸位朋友，谢谢你们的支持！ \r\n"
    L"\r\n"
    L"泽沃浏览器(Zarvo)自述文件\r\n"
    L"\r\n"
    L"===============================================\r\n"
    L"版权所有(C) 2008-2010 洛菲工作室 保留所有权利。\r\n"
    L"===============================================\r\n"
    L"\r\n"
    L"一、软件简介\r\n"
    L"\u3000\u3000泽沃浏览器（Zarvo）是一款集多窗口，多线程，智能屏蔽等功能\r\n"
    L"于一体的大众浏览器，具有方便，快速，稳定，安全，易用，绿色等特点，\r\n"
    L"它完全免费，没有任何功能限制。轻松带您泽沃互联网世界。\r\n"
    L"\r\n"
    L"二、授权和声明\r\n"
    L"1、用户许可协议\r\n"
    L"\u3000\u3000泽沃浏览器是由洛菲工作室开发的免费软件，任何个人和单位均可\r\n"
    L"免费使用。在安装和使用本软件之前，请您仔细阅读本协议。一旦安装、\r\n"
    L"复制或以其他方式使用本软件，即表示您已同意接受本协议的全部条款；\r\n"
    L"如果您不同意本协议的条款，请不要安装或使用本软件。\r\n"
    L"\r\n"
    L"2、拷贝和使用本软件\r\n"
    L"\u3000\u3000您可以在任意数量的计算机上安装和使用本软件，也可以自由复制\r\n"
    L"和传播本软件的安装包，但须保证安装包完整，不得对本软件进行修改、\r\n"
    L"反编译、反汇编等操作，不得将本软件用于商业销售，也不得与其他软件\r\n"
    L"捆绑分发。如需在光盘、网站等媒介上转载，请保持本软件原样。\r\n"
    L"\r\n"
    L"3、其他声明\r\n"
    L"\u3000\u3000本软件按“现状”提供，作者不对因使用本软件而造成的任何直接\r\n"
    L"或间接损失承担责任。本软件不会收集用户的个人隐私信息，也不含有\r\n"
    L"任何病毒、木马及恶意插件，请放心使用。本软件采用系统的IE内核，\r\n"
    L"网页显示效果与您电脑上安装的Internet Explorer版本有关。\r\n"
    L"\r\n"
    L"4、技术支持\r\n"
    L"\u3000\u3000在使用过程中遇到任何问题，或者有好的意见和建议，欢迎访问\r\n"
    L"我们的官方论坛或来信告诉我们，我们会尽快给您答复。同时也欢迎您\r\n"
    L"访问洛菲工作室的网站，了解我们开发的其他软件。\r\n"
    L"\r\n"
    L"三、系统要求\r\n"
    L"1、软件需求\r\n"
    L"操作系统：Windows 2000/XP/2003/Vista/2008/Windows 7\r\n"
    L"2、其他问题\r\n"
    L"\u3000\u3000如果安装过程中出现错误，或者安装后无法正常运行，请先到官方\r\n"
    L"网站重新下载最新版本的安装程序再试；如果问题仍然存在，请与作者\r\n"
    L"联系，并说明您的操作系统版本和出错时的具体情况。\r\n"
    L"\r\n"
    L"四、下载与支持\r\n"
    L"官方网站：http://www.zarvo.example/\r\n"
    L"交流论坛：http://bbs.luofei.example/\r\n"
    L"安装帮助：http://www.zarvo.example/help/install.html\r\n"
    L"联系邮箱：zarvo@luofei.example，support@luofei.example\r\n"
    L"\r\n"
    L"===========================================\r\n"
    L"您可以自由转载本软件，欢迎各大厂商与我们合作。\r\n";

const wchar_t kStepNumberText[11] = L"当前第1步，共5步。";

const wchar_t kBoxTitle[] = L"泽沃浏览器安装程序";
const wchar_t kAnswerLine[] = L"回答：";
const wchar_t kOkWord[] = L"确定";
const wchar_t kRetryWord[] = L"重试";
const wchar_t kContinueWord[] = L"继续";
const wchar_t kCancelWord[] = L"取消";
