#pragma once

// System libraries that Windows' own theme, shell and COM code loads by bare
// name after start-up, some only on some versions.
inline constexpr const wchar_t* PreloadedLibraries[] = {
    L"uxtheme.dll", L"dwmapi.dll",  L"msimg32.dll",  L"oleacc.dll",   L"propsys.dll", L"clbcatq.dll",
    L"comres.dll",  L"userenv.dll", L"profapi.dll",  L"setupapi.dll", L"apphelp.dll", L"cryptbase.dll",
    L"ntmarta.dll", L"version.dll", L"linkinfo.dll", L"ntshrui.dll",  L"cscapi.dll",  L"srvcli.dll",
};

// Keeps every later library load away from the folder the installer was
// started from, which is typically a download folder that anyone could have
// put a DLL into. Called first thing, before any window or COM object exists.
void HardenLibrarySearch();
