#include "system/ProcessKill.h"

#include "system/LogSink.h"
#include "system/MessageText.h"
#include "system/ProcessNameRule.h"
#include "system/Product.h"
#include "system/RunningCopies.h"

namespace {
// How long to wait for one ended program to let go of its files.
constexpr DWORD kExitWaitMs = 5000;
}  // namespace

bool EndInstalledCopies(const std::wstring& executableName, const HeldFolder& installFolder, LogSink& log) {
    bool result = false;
    for (const RunningCopy& copy : FindRunningCopies(installFolder.Path())) {
        if (!SameExecutableName(Product::kPrograms[copy.program], executableName))
            continue;
        const DWORD start = GetTickCount();
        result = TerminateProcess(copy.process.get(), 0) != FALSE;
        if (!result)
            continue;
        // Termination only asks for the end; the wait lets the process
        // release its executable before the installer replaces it.
        WaitForSingleObject(copy.process.get(), kExitWaitMs);
        log.Line({L"已结束程序：", Product::kPrograms[copy.program], L"（进程 ", DecimalText(copy.id), L"，",
                  DecimalText(GetTickCount() - start), L" 毫秒）"});
    }
    return result;
}
