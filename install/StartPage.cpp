#include "install/StartPage.h"

#include "install/MachineSteps.h"
#include "system/MessageText.h"
#include "system/Product.h"

void SetStartPage(const std::wstring& user, LogSink& log) {
    MachineSteps steps(user, log);
    const std::wstring hive = user.empty() ? L"HKCU" : L"HKU\\" + user;
    Execute({Action(Step::SetStartPage, Area::None,
                    FormatText(L"%1\\%2\\%3", {hive, Product::kStartPageKey, Product::kStartPageValue}))},
            steps, log);
}
