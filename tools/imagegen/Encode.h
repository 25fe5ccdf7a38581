#pragma once

#include "tools/imagegen/Art.h"

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A baseline JPEG of an opaque picture, which every supported Windows decodes
// through its picture object; quality as libjpeg counts it.
Bytes EncodeJpeg(const Image& img, int quality);

// A PNG of 8-bit RGBA, each colour within `difference` of its own (see Settle).
Bytes EncodePng(const Image& img, double difference);

// An icon file of several sizes: the sizes that Windows 2000 and XP draw as
// 32-bit bitmaps with their masks, which they read; the others as PNG, which
// only Vista and later read and which packs far smaller. The largest size,
// shown only by Explorer's large views, settles its colours within
// `largestDifference`, the others within 1.
Bytes EncodeIco(const std::vector<Image>& sizes, double largestDifference);
