#include "install/Executor.h"

#include "system/Error.h"
#include "system/LogSink.h"

namespace {

void Log(const Action& action, const std::wstring& description, LogSink& log) {
    switch (action.step) {
        case Step::Status:
        case Step::Note:
            log.Line(action.path);
            break;
        case Step::ProgressMax:
        case Step::Advance:
            break;
        default:
            log.Step(description);
            break;
    }
}

}  // namespace

bool Undoable(Step step) {
    switch (step) {
        case Step::Made:
        case Step::MakeFolder:
        case Step::Journal:
        case Step::Hold:
        case Step::Copy:
        case Step::Write:
        case Step::Place:
        case Step::SetValue:
            return true;
        default:
            return false;
    }
}

void Execute(const Plan& plan, Operations& operations, LogSink& log) {
    std::size_t done = 0;
    std::wstring description;
    try {
        for (; done < plan.size(); ++done) {
            description = Describe(plan[done], operations.Folders());
            Log(plan[done], description, log);
            operations.Do(plan[done]);
        }
    } catch (...) {
        log.Line({L"失败：", description, L"：", CurrentErrorText(true)});
        while (done-- > 0) {
            if (!Undoable(plan[done].step))
                continue;
            description = Describe(plan[done], operations.Folders());
            log.Step(L"撤销：" + description);
            try {
                operations.Undo(plan[done]);
            } catch (...) {
                log.Line({L"撤销失败：", description, L"：", CurrentErrorText(true)});
            }
        }
        throw;
    }
}
