#include "ui/Pages.h"

namespace {

// In the order of WizardState.
constexpr PageDef kPages[] = {
    {WelcomeTabSheet, L"当前第1步，共5步。", L"下一步", false, true, true},
    {LisenseTabSheet, L"当前第2步，共5步。", L"我同意", true, true, true},
    {DirTabSheet, L"当前第3步，共5步。", L"下一步", true, true, true},
    {ProcessTabSheet, L"当前第4步，共5步。", L"下一步", false, false, false},
    {OverTabSheet, L"当前第5步，共5步。", nullptr, false, false, false},
};

}  // namespace

const PageDef& PageDefOf(WizardState state) {
    return kPages[static_cast<int>(state)];
}
