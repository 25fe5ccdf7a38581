#pragma once

#include <string>
#include <vector>

// What a complete installation leaves, checked with GoogleTest's expectations
// by the in-process tests and by the tests that run the installer itself.

inline constexpr wchar_t kAppPaths[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Zarvo.exe";
inline constexpr wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zarvo";
// The browser's registration: its client, its two classes, and its entry in
// every browser's registered applications.
inline constexpr wchar_t kClient[] = L"SOFTWARE\\Clients\\StartMenuInternet\\Zarvo";
inline constexpr wchar_t kPageClass[] = L"SOFTWARE\\Classes\\ZarvoHTML";
inline constexpr wchar_t kLinkClass[] = L"SOFTWARE\\Classes\\ZarvoURL";
inline constexpr wchar_t kRegisteredApps[] = L"SOFTWARE\\RegisteredApplications";

std::wstring DesktopLink();
std::wstring ProgramGroup();
// The installer's folder below the 32-bit Program Files, and its copy there.
std::wstring KeptFolder();
std::wstring KeptInstaller();

// The local date as YYYYMMDD, that many minutes from now.
std::wstring LocalDate(int minutes);

// The plain file a payload is made from: a file of the source tree, or a
// stand-in program built with the installer.
std::wstring PlainSource(const std::wstring& payload);

// The fifteen files with the bytes they were made from, and the folders that
// stay empty.
void ExpectFilesInstalled(const std::wstring& dir);

// Removes the folder tree of an installation, the shortcuts, the kept
// installer's folder and the registry's keys and value.
void RemoveInstallation(const std::wstring& root);

// The files, the registry values and the five shortcuts.
void ExpectProductInstalled(const std::wstring& dir);

// Everything an installation changes, as it stands: the bytes of the fifteen
// files and the kept installer, and of the five shortcuts (an absent one as
// "none"), and every value of the two registry keys.
struct ProductState {
    std::vector<std::string> files, shortcuts, values;
    bool operator==(const ProductState& other) const {
        return files == other.files && shortcuts == other.shortcuts && values == other.values;
    }
};
ProductState CurrentProduct(const std::wstring& dir);

// Gives each of the fifteen installed files and the kept installer bytes of
// its own, as an older release would have.
void MakeOlderRelease(const std::wstring& dir);

// Names that a run keeps beside the product's files and shortcuts while it
// works ("Zarvo.exe.zs-1a2b3c4d-new"), wherever one is left.
std::vector<std::wstring> RunNamesLeft(const std::wstring& dir);
