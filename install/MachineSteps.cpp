#include "install/MachineSteps.h"

#include "install/MachineOperations.h"
#include "install/Texts.h"
#include "system/Error.h"
#include "system/FolderSecurity.h"
#include "system/LogSink.h"
#include "system/Registration.h"
#include "system/SystemError.h"

#include <iterator>

const MachineSteps::StepRow& MachineSteps::Row(Step step) {
    // Indexed by step from the first that changes the machine: the check
    // below refuses a table that lacks a step or lists one out of place.
    static constexpr StepRow kSteps[] = {
        {Step::Made, kMakeFolderVerb, true},
        {Step::SetStartPage, kSetUserValueVerb, false},
        {Step::MakeFolder, kMakeFolderVerb, true},
        // Undone, the browsers that it closed are started again from the files put back.
        {Step::ClosePrograms, kCloseProgramsVerb, true},
        // Settling an earlier run has no undo: what it settles is that run's.
        {Step::Discard, kDiscardVerb, false},
        {Step::PutBack, kPutBackVerb, false},
        {Step::Restore, kRestoreVerb, false},
        {Step::SetAside, kSetAsideVerb, false},
        {Step::Journal, kJournalVerb, true},
        {Step::Hold, kHoldVerb, true},
        {Step::Copy, kCopyVerb, true},
        {Step::Write, kWriteVerb, true},
        {Step::Place, kPlaceVerb, true},
        {Step::SetValue, kSetValueVerb, true},
        {Step::Finish, kFinishVerb, false},
        {Step::AtRestart, kAtRestartVerb, false},
        {Step::StartAgain, kStartAgainVerb, false},
        {Step::Remove, kRemoveVerb, true},
        {Step::DeleteValue, kDeleteValueVerb, true},
        {Step::Forget, kForgetVerb, false},
        {Step::RemoveFolder, kRemoveFolderVerb, false},
        {Step::RemoveKey, kRemoveKeyVerb, false},
    };
    constexpr auto first = static_cast<std::size_t>(kFirstChange);
    static_assert(std::size(kSteps) == static_cast<std::size_t>(Step::Count) - first, "a row for every step");
    static_assert(
        [] {
            for (std::size_t i = 0; i < std::size(kSteps); ++i)
                if (kSteps[i].step != static_cast<Step>(first + i))
                    return false;
            return true;
        }(),
        "each row at its step's place");
    return kSteps[static_cast<std::size_t>(step) - first];
}

void MachineSteps::Do(const Action& action) {
    Carry(action, false);
}

void MachineSteps::Undo(const Action& action) {
    Carry(action, true);
}

void MachineSteps::Carry(const Action& action, bool undo) {
    // Every step named: the compiler refuses one left out.
    MachineOperations* const run = installation_;
    switch (action.step) {
        case Step::Made:
            return MakeOnPath(action, undo);
        case Step::SetStartPage:
            return SetStartPage(action, undo);
        case Step::MakeFolder:
            return run->MakeFolder(action, undo);
        case Step::ClosePrograms:
            return run->ClosePrograms(action, undo);
        case Step::Discard:
            return run->Discard(action, undo);
        case Step::PutBack:
            return run->PutBack(action, undo);
        case Step::Restore:
            return run->Restore(action, undo);
        case Step::SetAside:
            return run->SetAside(action, undo);
        case Step::Journal:
            return run->Journal(action, undo);
        case Step::Hold:
            return run->Hold(action, undo);
        case Step::Copy:
            return run->Copy(action, undo);
        case Step::Write:
            return run->Write(action, undo);
        case Step::Place:
            return run->Place(action, undo);
        case Step::SetValue:
            return run->SetValue(action, undo);
        case Step::Finish:
            return run->Finish(action, undo);
        case Step::AtRestart:
            return run->AtRestart(action, undo);
        case Step::StartAgain:
            return run->StartAgain(action, undo);
        case Step::Remove:
            return run->Remove(action, undo);
        case Step::DeleteValue:
            return run->DeleteValue(action, undo);
        case Step::Forget:
            return run->Forget(action, undo);
        case Step::RemoveFolder:
            return run->RemoveFolder(action, undo);
        case Step::RemoveKey:
            return run->RemoveKey(action, undo);
        // The executor's own.
        case Step::Status:
        case Step::Repaint:
        case Step::ProgressMax:
        case Step::Advance:
        case Step::Note:
        case Step::Count:
            break;
    }
}

bool MachineSteps::Undoable(const Action& action) const {
    return Row(action.step).undoable;
}

std::wstring MachineSteps::Describe(const Action& action) const {
    return Row(action.step).verb + action.path;
}

void MachineSteps::MakeOnPath(const Action& action, bool undo) {
    if (undo) {
        // Innermost first, empty by then: nothing of the installer may hold
        // it as it goes, and the folder above it may go next.
        if (parents_.empty())
            return;
        last_ = HeldFolder();
        DeleteHeld(parents_.back().FolderToDelete(NameOf(action.path)).get());
        parents_.pop_back();
        return;
    }
    // Below the one before through its handle, with the product's access list
    // in the call that makes it: one set afterwards would leave a moment in
    // which another account could open the folder and keep the handle, and
    // what lies above (the root of a drive lets every account change what is
    // made below it) is not handed on. A name that appears meanwhile, a link
    // included, fails it and is never followed.
    const UniqueLocalMemory security = ProductFolderSecurity();
    if (!security)
        RaiseSystemError(ERROR_NOT_ENOUGH_MEMORY);
    HeldFolder folder = last_.CreateFolder(NameOf(action.path), security.get());
    if (!folder) {
        // Nothing stays held past a failure: what was made goes again
        // through the folders above it.
        last_ = HeldFolder();
        RaiseSystemError(folder.Error());
    }
    parents_.push_back(std::move(last_));
    last_ = std::move(folder);
}

void MachineSteps::SetStartPage(const Action&, bool) {
    if (!WriteStartPage(*user_))
        log_->Line(kStartPageNotWrittenLine);
}
