#pragma once

#include "bench/Timing.h"

#include <array>
#include <utility>

// The installation's phases, which the installer's run and its floor both
// report.
enum Phase {
    DirectoryCheck,
    FreeSpace,
    EarlierRun,
    Directories,
    ProcessScan,
    Holds,
    Resources,
    TemporaryCopies,
    Decompression,
    DestinationWrites,
    Renames,
    Interface,
    Pumps,
    Shortcuts,
    RegistryReads,
    Registration,
    Finish,
    kPhaseCount
};

inline constexpr const char* kPhaseNames[kPhaseCount] = {
    "directory check (text, rights, folder)",
    "free space (15 sizes, 2 disks)",
    "earlier run's names looked for",
    "directories",
    "running programs",
    "destinations held (15)",
    "payload resources (15)",
    "temporary copies (15)",
    "decompression (15)",
    "new files written (15 + installer's copy)",
    "renames (15 + 1 files, 5 shortcuts)",
    "status, progress, page changes",
    "pumps and painting (30 + last page)",
    "shortcuts (5)",
    "registry read for undo (product's values)",
    "registration (product's values)",
    "kept files and marker removed",
};

// Where the time went: every moment belongs to the phase entered last.
class Timeline {
  public:
    Timeline() : since_(Now()) {}

    // Returns the phase that was left.
    Phase Enter(Phase phase) {
        const double now = Now();
        spent_[current_] += now - since_;
        since_ = now;
        return std::exchange(current_, phase);
    }
    Phase Current() const { return current_; }
    const std::array<double, kPhaseCount>& Spent() {
        Enter(current_);
        return spent_;
    }

  private:
    std::array<double, kPhaseCount> spent_{};
    Phase current_ = DirectoryCheck;
    double since_;
};

struct Round {
    std::array<double, kPhaseCount> phases{};
    double total = 0;
};
