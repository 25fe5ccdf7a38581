#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// A release's version: four numbers from 0 to 65535, compared number by
// number (1.10 is newer than 1.9), as the Uninstall entry records it in
// DisplayVersion ("1.1.0.2669").
using ReleaseVersion = std::array<std::uint16_t, 4>;

// The version of that text; none where it is not four such numbers separated
// by dots, as no release of ours records.
std::optional<ReleaseVersion> ParseReleaseVersion(const std::wstring& text);
