#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Straight (not premultiplied) colour, channels 0..1.
struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

struct Image {
    int w, h;
    std::vector<Rgba> px;
    const Rgba& At(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x]; }
};

// The colour at a point of the picture, in its pixel coordinates.
using Shader = std::function<Rgba(double, double)>;

double Clamp01(double v);
std::uint8_t ToByte(double v);

// Each pixel the mean of ss × ss samples: antialiased at any size.
Image Rasterise(int w, int h, int ss, const Shader& shade);

// The welcome picture, 160 × 269 pixels at scale 1, and the banner, 485 × 60,
// at any scale; the program icon at a size in pixels.
Rgba WelcomeAt(double x, double y, double scale);
Rgba BannerAt(double x, double y, double scale);
Rgba IconAt(double x, double y, int size);
