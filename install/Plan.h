#pragma once

#include "install/Texts.h"
#include "system/Product.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The installation as data, built from the product's tables and what the
// machine holds: nothing here touches the system, so plans are checked natively.

// The folders an action works in: the install folder's tree, the all-users
// desktop, the product's group in the all-users Start menu, and the kept
// installer's folder below the 32-bit Program Files.
enum class Area : std::uint8_t { None, Tree, Desktop, StartMenu, Kept };

// The area of a place of shortcuts.
constexpr Area AreaOf(Product::LinkPlace place) {
    return place == Product::LinkPlace::Desktop ? Area::Desktop : Area::StartMenu;
}
// The paths of the areas' folders, in the order of Area.
using AreaPaths = std::wstring[5];

// The kept installer below its area's folder.
inline constexpr wchar_t kKeptInstaller[] = L"\\" ZARVO_KEPT_FILE;
inline constexpr wchar_t kCommandLog[] = L"\\" ZARVO_COMMAND_LOG;

// What an action is: the first are shown, and go to the window; the others
// change the machine, each done and undone by one row of its operations.
enum class Step : std::uint8_t {
    Status,         // the status text `path`
    Repaint,        // the status text `path`, then the window handles what is pending, so that it repaints
    ProgressMax,    // the progress bar's maximum, `amount`
    Advance,        // the progress bar advanced by `amount`
    Note,           // a line of the log, `path`
    Made,           // a folder on the install folder's path, made by the directory check (`path`, in full)
    SetStartPage,   // the start page of the desktop user's browser, written after the run (`path`: the value, in full)
    MakeFolder,     // a folder of the area
    ClosePrograms,  // the running copies of the area's programs, asked to close, ended where they will not (undone: the
                    // browsers started again)
    Discard,        // a name that an earlier run left, removed
    PutBack,        // a file that an earlier run kept aside, given its name back
    Restore,        // an earlier run's journal: the registry's values put back as they were
    SetAside,       // a journal that is not to be used, renamed out of the runs' names
    Journal,        // the registry's values as they are, on the disk, before any of them changes (`deleting`: as a
                    // removal leaves them)
    Hold,           // what stands at the place, held for its replacement
    Copy,           // `file`'s container, copied into the run's temporary folder
    Write,          // `file` or `shortcut`: its new bytes in full beside the place, flushed
    Place,          // the new file takes the place's name, the one it replaces kept aside
    SetValue,       // `value`, written
    Finish,         // the run's marker, the registry flushed, the kept files and the journal removed
    AtRestart,      // the kept files that a running program still maps, and the marker after them, gone at restart
    StartAgain,     // the browsers that the run closed, started again from the new files as their users
    Remove,         // a file or shortcut of the product, kept aside under the run's name until the run is done
    DeleteValue,    // `value`, deleted
    Forget,         // the values that locate the product, and the run's marker, deleted last (no undo)
    RemoveFolder,   // a folder of the product, where nothing is left in it (after the end: no undo); with no area, one
                    // above the install folder that its installation made (`path`, in full)
    RemoveKey,      // the key `path` of the product's values, where nothing is left in it
    Count,          // how many steps there are, for the tables indexed by step
};
inline constexpr Step kFirstChange = Step::Made;

struct Action {
    Action(Step step, Area area = Area::None, std::wstring path = std::wstring())
        : step(step), area(area), path(std::move(path)) {}

    Step step;
    Area area;
    // Below the area's folder, from a backslash ("\Data\ZarvConfig.ini"), or
    // the text that the step shows.
    std::wstring path;
    // The row of the product's tables that the action makes, where it makes one.
    const Product::File* file = nullptr;
    const Product::Shortcut* shortcut = nullptr;
    const Product::Value* value = nullptr;
    // The progress bar's maximum, or how far it advances.
    int amount = 0;
    // A journal's: the values are recorded as the run leaves them, deleted
    // (a removal), rather than written.
    bool deleting = false;

    bool operator==(const Action& other) const {
        return step == other.step && area == other.area && path == other.path && file == other.file &&
               shortcut == other.shortcut && value == other.value && amount == other.amount &&
               deleting == other.deleting;
    }
};
using Plan = std::vector<Action>;

// The folders of the product's tree below the install folder, each once,
// outer first ("\\Temp" before "\\Temp\\Skin").
std::vector<std::wstring> TreeFolders();

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

// The commands that Windows runs for a browser, of the product installed:
// the product made the system's default for links and pages, with its
// shortcuts shown; the desktop shortcut and the program group taken away;
// or both put back.
enum class ShellCommand : std::uint8_t { None, Reinstall, HideIcons, ShowIcons };

// What the machine holds when the installation begins.
struct Situation {
    // The folders, files and shortcuts of the product that exist already.
    std::vector<Spot> existing;
    // The names that earlier runs left in the areas' folders (their new files,
    // the files they kept aside, their markers and journals).
    std::vector<Spot> left;
    Product::ShortcutChoice shortcuts;
    // The folders above the install folder that its installation made and
    // that stand, deepest first.
    std::vector<std::wstring> madeAbove;
    // The program that runs is the kept installer (the package's, or a
    // removal that its entry started): it is not written again.
    bool keptRunning = false;
    // The installation moves the product out of the folder that the entry
    // records.
    bool moving = false;
};

// Whether the installation settles a name that an earlier run left: markers
// and journals count only in the install folder, where only administrators
// may add them.
bool Settles(const Spot& spot);

// The whole installation, in the order that leaves every file whole at any
// moment: what earlier runs left settled first, every new file on the disk
// before the first takes its name.
Plan PlanInstallation(const Situation& situation);

// The removal of the product, as the installation's counterpart: running
// copies ended, what earlier runs left settled, every file and shortcut of the
// product kept aside and its values deleted, all put back on a failure; once
// done, the product's folders and keys that are left empty.
Plan PlanRemoval(const Situation& situation);

// One of the commands (not None), as the installation does it where it
// touches the same: the shortcuts that the situation's choice names written,
// or with HideIcons those that stand removed and the group with them, and
// the values that record them; to reinstall, the system's defaults too.
Plan PlanCommand(const Situation& situation, ShellCommand command);

// The folders that the directory check makes: each of the names below the
// folder at `above` ("\\Apps\\Zarvo" below "C:\\"), outer first, empty names
// skipped.
Plan PlanFoldersBelow(const std::wstring& above, const std::wstring& names);
