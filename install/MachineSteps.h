#pragma once

#include "install/Executor.h"
#include "system/HeldFolder.h"

#include <string>
#include <utility>
#include <vector>

class LogSink;
class MachineOperations;

// Every step that changes the machine, done and undone by its one routine:
// one table gives each step its verb and whether it has an undo, one switch
// its routine. The directory check's folders are made before any install
// request exists and go after the installation's operations, and the start
// page is written after the run has ended: neither can have those operations,
// whose areas and values are built from a request. So this small base holds
// what the two need, and the installation (MachineOperations) extends it with
// its own state and routines; each object is given only the plans of its own
// steps.
class MachineSteps : public Operations {
  public:
    // The directory check's; its folders are made below the one given to Below.
    MachineSteps() = default;
    // The start page's, for the user of the SID text (empty: the installer's own).
    MachineSteps(const std::wstring& user, LogSink& log) : user_(&user), log_(&log) {}

    void Do(const Action& action) override;
    void Undo(const Action& action) override;
    std::wstring Describe(const Action& action) const override;
    bool Undoable(const Action& action) const override;

    // Makes the directory check's folders below that one, held.
    void Below(HeldFolder folder) { last_ = std::move(folder); }
    // The last folder made, held.
    HeldFolder TakeLast() { return std::move(last_); }

  protected:
    explicit MachineSteps(MachineOperations* installation) : installation_(installation) {}

    // A step that changes the machine: its verb for the log, and whether it
    // has an undo.
    struct StepRow {
        Step step;
        const wchar_t* verb;
        bool undoable;
    };
    static const StepRow& Row(Step step);

  private:
    // The step's own routine, which carries the action out or, asked to,
    // undoes it; the installation's steps are its own.
    void Carry(const Action& action, bool undo);

    // Kept out of the switch: inlined into it, among the installation's
    // routines, the two weigh some 400 bytes more.
    [[gnu::noinline]] void MakeOnPath(const Action& action, bool undo);
    [[gnu::noinline]] void SetStartPage(const Action& action, bool undo);

    // The installation whose routines the switch calls: none for the check's
    // folders and the start page.
    MachineOperations* installation_ = nullptr;
    // The folder that the next of the check's folders is made in, and the one
    // that each was made in, held.
    HeldFolder last_;
    std::vector<HeldFolder> parents_;
    const std::wstring* user_ = nullptr;
    LogSink* log_ = nullptr;
};
