/* Stand-in for one of the browser's programs, so that the installer has real,
   runnable executables to carry, end and start. It says what it stands for,
   or what it was given to open, and stays until it is dismissed. */
#include <windows.h>

static const wchar_t* const kRoles[] = {
    L"泽沃浏览器", L"泽沃浏览器服务", L"泽沃浏览器错误报告", L"泽沃浏览器在线升级", L"卸载泽沃浏览器",
};

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)show;
    MessageBoxW(NULL, *commandLine ? commandLine : L"这是安装程序测试用的占位程序。", kRoles[STANDIN_ROLE],
                MB_OK | MB_ICONINFORMATION);
    return 0;
}
