#include "install/StartPage.h"

#include "install/Executor.h"
#include "install/Texts.h"
#include "system/LogSink.h"
#include "system/MessageText.h"
#include "system/Product.h"
#include "system/Registration.h"

namespace {

class StartPageWrite final : public Operations {
  public:
    StartPageWrite(const std::wstring& user, LogSink& log) : user_(user), log_(log) {}
    void Do(const Action&) override {
        if (!WriteStartPage(user_))
            log_.Line(kStartPageNotWrittenLine);
    }
    void Undo(const Action&) override {}
    std::wstring Describe(const Action& action) const override { return kSetUserValueVerb + action.path; }
    bool Undoable(const Action&) const override { return false; }

  private:
    const std::wstring& user_;
    LogSink& log_;
};

}  // namespace

void SetStartPage(const std::wstring& user, LogSink& log) {
    StartPageWrite write(user, log);
    const std::wstring hive = user.empty() ? L"HKCU" : L"HKU\\" + user;
    Execute({Action(Step::SetValue, Area::None,
                    FormatText(L"%1\\%2\\%3", {hive, Product::kStartPageKey, Product::kStartPageValue}))},
            write, log);
}
