#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The installation as data: a list of actions built from the product's tables
// and from what the machine holds already, run in order by one executor
// (install/Executor.h), which undoes the actions done so far, backwards, when
// one fails. Nothing here touches the system, so plans are built and checked
// natively.

// The folders an action works in: the install folder's tree, the all-users
// desktop, and the product's group in the all-users Start menu.
enum class Area : std::uint8_t { None, Tree, Desktop, Group };
// The paths of the areas' folders, in the order of Area.
using AreaPaths = std::wstring[4];

// What an action does, and what undoes it.
enum class Step : std::uint8_t {
    Status,       // the status text `path`; with `index` 1 the window then handles what is pending. No undo
    ProgressMax,  // the progress bar's maximum, `index`. No undo
    Advance,      // the progress bar advanced by `index`. No undo
    Note,         // a line of the log, `path`. No undo
    Made,         // a folder that the directory check made (`path`, in full). Nothing to do; undo: removed again
    MakeFolder,   // the folder made, with the product's access list. Undo: removed again
    EndProgram,   // running copies of the install folder's program `index` ended. No undo
    Discard,      // a name that an earlier run left removed. No undo: it settles that run
    PutBack,      // a file that an earlier run kept aside takes its name back. No undo, as Discard
    Restore,      // an earlier run's journal: the registry's values put back as they were. No undo, as Discard
    SetAside,     // a journal that is not to be used renamed out of the runs' names. No undo, as Discard
    Journal,      // the registry's values as they are, on the disk, before any of them changes. Undo: removed
    Hold,         // what stands at the place held for its replacement. Undo: let go
    Copy,         // payload `index`'s container copied into the run's temporary folder. Undo: the copy goes
    Write,        // file or shortcut `index`: its new bytes in full beside the place, flushed. Undo: deleted
    Place,        // the new file takes the place's name, the one it replaces kept aside. Undo: names back
    SetValue,     // registry value `index` written. Undo: as it was
    Finish,       // the run's marker, the registry flushed, the kept files and the journal removed. The end
    StartPage,    // a finish action: the start page written in the hive that `path` names. No undo
};

struct Action {
    Action(Step step, Area area = Area::None, int index = 0, std::wstring path = std::wstring())
        : step(step), area(area), index(index), path(std::move(path)) {}

    Step step;
    Area area;
    // The number of the file, shortcut, program or value in the product's
    // tables, or the number that the step takes.
    int index;
    // Below the area's folder, from a backslash ("\Data\ZarvConfig.ini"), or
    // the text that the step shows.
    std::wstring path;

    bool operator==(const Action& other) const {
        return step == other.step && area == other.area && index == other.index && path == other.path;
    }
};
using Plan = std::vector<Action>;

// The area's folder path and the name below it: "\Data\ZarvConfig.ini" gives
// "\Data" and "ZarvConfig.ini".
std::wstring ParentOf(const std::wstring& path);
std::wstring NameOf(const std::wstring& path);

// A name found in one of the areas' folders.
struct Spot {
    Area area;
    std::wstring path;
    // A journal that an earlier run left which is not to be used.
    bool refused = false;
};

// What the machine holds when the installation begins.
struct Situation {
    // The folders, files and shortcuts of the product that exist already.
    std::vector<Spot> existing;
    // The names that earlier runs left in the areas' folders (their new files,
    // the files they kept aside, their markers and journals).
    std::vector<Spot> left;
    // The folders that the directory check made for the installation, the
    // install folder and those above it that were missing, outermost first.
    std::vector<std::wstring> made;
    // The shortcuts to make: the desktop's and the group's.
    bool desktop = true;
    bool group = true;
};

// Whether the installation settles a name that an earlier run left: a new
// file or one kept aside wherever it is, a marker or a journal only in the
// install folder itself, where runs write them and only the administrators
// may add them.
bool Settles(const Spot& spot);

// The whole installation: the tree's folders, the running copies ended,
// whatever an earlier run left settled, the journal, the product's files
// written beside their places and placed, the shortcuts, the registry values
// and the end, with the status texts and progress steps that the window shows
// between them.
Plan PlanInstallation(const Situation& situation);

// How the log names an action; `folders` are the paths of the areas'
// folders, in the order of Area.
std::wstring Describe(const Action& action, const AreaPaths& folders);
