#include "system/LibrarySearch.h"

#include "system/DynamicApi.h"

void HardenLibrarySearch() {
    // Windows 8, or 7 with its update: later loads by name search the system
    // directory only.
    if (auto set = Late::SetDefaultDllDirectories())
        set(0x00000800);  // LOAD_LIBRARY_SEARCH_SYSTEM32
    // XP SP1 on: the current directory leaves the search path.
    if (auto set = Late::SetDllDirectoryW())
        set(L"");
    // Everywhere else the installer's own folder still comes first for a load
    // by bare name. Loaded now by full path, these libraries are already in
    // memory when the system asks for them, and stay there.
    for (const wchar_t* library : PreloadedLibraries)
        LoadSystemLibrary(library);
}
