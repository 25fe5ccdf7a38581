#include "install/Executor.h"

#include "install/Texts.h"
#include "system/Error.h"
#include "system/LogSink.h"
#include "system/MessageText.h"

namespace {

// The first `done` actions of the plan.
void UndoDone(const Plan& plan, std::size_t done, Operations& operations, LogSink& log) {
    while (done-- > 0) {
        if (plan[done].step < kFirstChange || !operations.Undoable(plan[done]))
            continue;
        const std::wstring description = operations.Describe(plan[done]);
        log.Step(kUndoLine + description);
        try {
            operations.Undo(plan[done]);
        } catch (...) {
            log.Line(FormatText(kUndoFailedLine, {description, CurrentErrorText(true)}));
        }
    }
}

}  // namespace

void Execute(const Plan& plan, Operations& operations, LogSink& log, InstallProgress* progress) {
    std::size_t done = 0;
    std::wstring description;
    try {
        for (; done < plan.size(); ++done) {
            const Action& action = plan[done];
            switch (action.step) {
                case Step::Status:
                case Step::Repaint:
                    if (progress)
                        progress->ShowStatus(action.path, action.step == Step::Repaint);
                    log.Line(action.path);
                    break;
                case Step::Note:
                    log.Line(operations.Describe(action));
                    break;
                case Step::ProgressMax:
                case Step::Advance:
                    if (!progress)
                        break;
                    if (action.step == Step::Advance)
                        progress->AdvanceProgress(action.amount);
                    else
                        progress->SetProgressMax(action.amount);
                    break;
                default:
                    description = operations.Describe(action);
                    log.Step(description);
                    operations.Do(action);
                    break;
            }
        }
    } catch (...) {
        log.Line(FormatText(kFailedLine, {description, CurrentErrorText(true)}));
        UndoDone(plan, done, operations, log);
        throw;
    }
}

void Undo(const Plan& plan, Operations& operations, LogSink& log) {
    UndoDone(plan, plan.size(), operations, log);
}
