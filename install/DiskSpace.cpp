#include "install/DiskSpace.h"

#include "install/Texts.h"
#include "payload/InstalledSize.h"
#include "system/MessageText.h"
#include "system/PathRoot.h"

#include <windows.h>

namespace {

// The room for this account on the disk of the path's root; all there is
// where the system cannot tell.
unsigned long long RoomAt(const std::wstring& path) {
    ULARGE_INTEGER room{};
    return GetDiskFreeSpaceExW(PathRoot(path).c_str(), &room, nullptr, nullptr) ? room.QuadPart : ~0ull;
}

// The drive letter that both paths begin with; a share or a folder mounted
// elsewhere is taken for a disk of its own.
bool SameDrive(const std::wstring& a, const std::wstring& b) {
    return a.size() > 1 && b.size() > 1 && a[1] == L':' && b[1] == L':' && (a[0] | 0x20) == (b[0] | 0x20);
}

}  // namespace

std::wstring RoomShortage(const HeldFolder& folder, const std::wstring& installDir, const std::wstring& tempDir) {
    // Shortcuts, the run's marker and the new folders' entries.
    constexpr unsigned long long kSlack = 64 * 1024;
    const PayloadSizes sizes = MeasurePayloads();
    // The folder's own path leads there through no link or mount point: the
    // root of that path is the root of its disk.
    const std::wstring installPath = folder.Path();
    const unsigned long long install = RoomAt(installPath);
    const unsigned long long temp = RoomAt(tempDir);
    // Where the system cannot tell, the installation goes on, and a disk that
    // fills is found as the files are written, and undone.
    const unsigned long long needed =
        sizes.allocated + kSlack + (SameDrive(installPath, tempDir) ? sizes.largestContainer : 0);
    if (install < needed)
        return FormatText(kNoRoomText, {MegabytesText(needed, true), installDir, MegabytesText(install, false)});
    if (temp < sizes.largestContainer)
        return FormatText(kNoTemporaryRoomText, {tempDir, MegabytesText(sizes.largestContainer, true), MegabytesText(temp, false)});
    return std::wstring();
}
