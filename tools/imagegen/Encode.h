#pragma once

#include "tools/imagegen/Art.h"

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A baseline JPEG of an opaque picture, which every supported Windows decodes
// through its picture object; quality as libjpeg counts it, for the brightness
// (the colour's is 50).
Bytes EncodeJpeg(const Image& img, int quality);

// An icon file of several sizes: the small and large icons of Windows 2000 and
// XP (16 and 32) as 32-bit bitmaps with their masks, which they read; the
// others as PNG of a palette with alpha, which only Vista and later read and
// which packs far smaller.
Bytes EncodeIco(const std::vector<Image>& sizes);
