// The setup's artwork, drawn analytically: one emblem, a glossy globe with an
// orange swoosh, on the welcome picture, the page banner and the icon.

#include "tools/imagegen/Art.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

double Clamp01(double v) {
    return std::min(1.0, std::max(0.0, v));
}

namespace {

double Smooth(double e0, double e1, double v) {
    const double t = Clamp01((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

Rgba Hex(uint32_t c) {
    return {((c >> 16) & 255) / 255.0, ((c >> 8) & 255) / 255.0, (c & 255) / 255.0, 1};
}

Rgba Mix(Rgba x, Rgba y, double t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

Rgba Scale(Rgba c, double k) {
    return {c.r * k, c.g * k, c.b * k, c.a};
}

Rgba Over(Rgba top, Rgba under) {
    const double a = top.a + under.a * (1 - top.a);
    if (a <= 0)
        return {};
    auto ch = [&](double t, double u) { return (t * top.a + u * under.a * (1 - top.a)) / a; };
    return {ch(top.r, under.r), ch(top.g, under.g), ch(top.b, under.b), a};
}

// Piecewise linear ramp through (position, colour) stops.
Rgba Ramp(std::initializer_list<std::pair<double, uint32_t>> stops, double t) {
    auto prev = *stops.begin();
    for (const auto& s : stops) {
        if (t <= s.first)
            return s.first <= prev.first
                       ? Hex(s.second)
                       : Mix(Hex(prev.second), Hex(s.second), (t - prev.first) / (s.first - prev.first));
        prev = s;
    }
    return Hex(prev.second);
}

// Coverage 0..1 of a disc whose edge fades out over `soft` pixels.
double Disc(double x, double y, double cx, double cy, double r, double soft) {
    return 1 - Smooth(r - soft, r, std::hypot(x - cx, y - cy));
}

}  // namespace

uint8_t ToByte(double v) {
    return static_cast<uint8_t>(std::lround(Clamp01(v) * 255));
}

namespace {

// The globe, in unit-sphere coordinates (y down). Lit from the upper left,
// with a faint latitude/longitude grid, a cyan rim light and a glass gloss.
Rgba Globe(double nx, double ny, double detail) {
    const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
    const double diffuse = Clamp01(-0.48 * nx - 0.6 * ny + 0.64 * nz);
    Rgba c = Ramp({{0, 0x0A2C78}, {0.5, 0x1565C8}, {0.85, 0x3D9BEB}, {1, 0x8ED6FF}}, diffuse);

    // Pole tipped towards the viewer and slightly to the right so the grid reads as a sphere.
    const double px = 0.25, py = -0.9, pz = 0.35;
    const double e1x = -0.963, e1y = -0.268;  // unit vector perpendicular to the pole, in the view plane
    const double e2x = e1y * pz, e2y = -e1x * pz, e2z = e1x * py - e1y * px;
    const double lat = std::asin(std::max(-1.0, std::min(1.0, nx * px + ny * py + nz * pz)));
    const double lon = std::atan2(nx * e1x + ny * e1y, nx * e2x + ny * e2y + nz * e2z) + 0.2;
    const double step = kPi / 6, width = 0.03;
    auto offLine = [&](double angle) { return std::fabs(angle / step - std::round(angle / step)) * step; };
    const bool line =
        offLine(lat) < width || (std::fabs(lat) < kPi / 3 + width && offLine(lon) * std::cos(lat) < width);
    if (line)
        c = Mix(c, Hex(0xBFE8FF), 0.22 * detail * (0.4 + 0.6 * nz));

    c = Mix(c, Hex(0x06205C), 0.45 * Smooth(0.84, 1.0, std::hypot(nx, ny)));
    const double rim = Smooth(0.72, 1.0, std::hypot(nx, ny)) * Smooth(-0.2, 0.9, ny - 0.3 * nx);
    c = Mix(c, Hex(0x6FE6FF), 0.65 * rim);

    const double gx = nx / 0.76, gy = (ny + 0.43) / 0.5;
    if (gx * gx + gy * gy < 1)
        c = Mix(c, Hex(0xFFFFFF), 0.06 + 0.66 * std::pow(Clamp01(0.07 - ny), 1.6));
    return c;
}

// Where a point falls on the swoosh: a tapered band on a tilted elliptic orbit.
// It runs from a thin tail at the upper right, round the front, to a point at
// the far left, thickest at the lower left. Across the band s runs from -1 at
// the inner edge to +1 at the outer one; |s| >= 1 means off the band.
struct BandPoint {
    double s, t;
    bool front;
};

BandPoint Band(double x, double y) {
    const double tilt = -0.38, a = 0.95, b = 0.32;
    const double ex = x * std::cos(tilt) + y * std::sin(tilt);
    const double ey = -x * std::sin(tilt) + y * std::cos(tilt);
    const double g = std::hypot(ex / a, ey / b);
    const double dist = (g - 1) * g / std::max(1e-9, std::hypot(ex / (a * a), ey / (b * b)));
    double along = std::atan2(ey / b, ex / a) + 0.55;
    if (along < 0)
        along += 2 * kPi;
    const double t = along / 4.05;
    const double half = t < 1 ? 0.095 * std::pow(std::sin(kPi * std::pow(t, 1.6)), 0.8) : 0;
    return {half > 0 ? dist / half : 2, t, ey >= 0};
}

// The emblem in a unit square around the origin: a globe of radius 0.68 with
// the swoosh, whose back half passes behind the globe and whose front half
// casts a soft shadow down onto it.
Rgba Emblem(double x, double y, double detail) {
    const double globeR = 0.68;
    const BandPoint p = Band(x, y);
    Rgba band;
    if (std::fabs(p.s) < 1) {
        const double lit = p.front ? -0.4 : 0.4;
        band = Scale(Mix(Hex(0xFFC93C), Hex(0xF0600F), Smooth(0.1, 0.9, p.t)), 0.74 + 0.26 * std::sqrt(1 - p.s * p.s));
        band = Mix(band, Hex(0xFFF6D8), 0.6 * std::exp(-(p.s - lit) * (p.s - lit) / 0.09));
        if (!p.front)
            band = Scale(band, 0.8);
    }

    Rgba out;
    if (!p.front)
        out = band;
    if (x * x + y * y < globeR * globeR) {
        out = Globe(x / globeR, y / globeR, detail);
        const BandPoint caster = Band(x + 0.02, y - 0.06);
        if (caster.front)
            out = Scale(out, 1 - 0.35 * (1 - Smooth(0.6, 1.6, std::fabs(caster.s))));
    }
    if (p.front)
        out = Over(band, out);
    return out;
}

Rgba EmblemAt(double x, double y, double cx, double cy, double size, double detail) {
    return Emblem((x - cx) / size, (y - cy) / size, detail);
}

}  // namespace

Image Rasterise(int w, int h, int ss, const Shader& shade) {
    Image img{w, h, std::vector<Rgba>(static_cast<size_t>(w) * h)};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Rgba sum;  // premultiplied accumulator
            for (int j = 0; j < ss; ++j) {
                for (int i = 0; i < ss; ++i) {
                    const Rgba c = shade(x + (i + 0.5) / ss, y + (j + 0.5) / ss);
                    sum = {sum.r + c.r * c.a, sum.g + c.g * c.a, sum.b + c.b * c.a, sum.a + c.a};
                }
            }
            const double a = sum.a > 0 ? sum.a : 1;
            img.px[static_cast<size_t>(y) * w + x] = {sum.r / a, sum.g / a, sum.b / a, sum.a / (ss * ss)};
        }
    }
    return img;
}

// Deep blue night sky, brightening downwards, with aurora-like light streaks and
// a few out-of-focus lights; the emblem floats in a soft glow in the upper half.
// Drawn in the coordinates of the 100 % picture, at any scale.
Rgba WelcomeAt(double x, double y, double scale) {
    x /= scale;
    y /= scale;
    Rgba c = Ramp({{0, 0x081E55}, {0.45, 0x123F93}, {1, 0x3A86D6}}, y / 269);
    c = Mix(c, Hex(0x02123A), 0.25 * Smooth(60, 160, x) * (1 - y / 269));

    auto streak = [&](double y0, double amp, double k, double phase, double slope, double width, double alpha) {
        const double d = (y - (y0 + slope * (x - 80) + amp * std::sin(k * x + phase))) / width;
        c = Mix(c, Hex(0xCFEFFF), alpha * (std::exp(-d * d) * (d < 0 ? 1 : 0.5) + 0.8 * std::exp(-d * d * 60)));
    };
    streak(205, 9, 0.030, 0.6, -0.35, 16, 0.13);
    streak(228, 7, 0.024, 2.4, -0.22, 11, 0.16);
    streak(248, 5, 0.036, 4.0, -0.12, 7, 0.12);

    static const double kBokeh[][4] = {
        {22, 30, 9, 0.07},  {136, 22, 6, 0.08},  {146, 168, 11, 0.06}, {14, 186, 6, 0.08},
        {58, 222, 4, 0.12}, {118, 240, 7, 0.09}, {34, 258, 10, 0.06},  {100, 198, 3, 0.14},
    };
    for (const auto& k : kBokeh) {
        const double cover = Disc(x, y, k[0], k[1], k[2], 1.5);
        const double ring = cover * Smooth(k[2] - 3, k[2] - 0.5, std::hypot(x - k[0], y - k[1]));
        c = Mix(c, Hex(0xDDF3FF), k[3] * (cover + ring));
    }

    c = Mix(c, Hex(0x9FDAFF), 0.35 * std::exp(-(std::pow(x - 80, 2) + std::pow(y - 104, 2)) / 2400));
    const double sx = (x - 80) / 44, sy = (y - 163) / 7;
    c = Mix(c, Hex(0x021030), 0.35 * std::exp(-2.5 * (sx * sx + sy * sy)));
    return Over(EmblemAt(x, y, 80, 100, 60, 1.0), c);
}

// Calm white where the page title and subtitle sit, shading to a pale sky blue
// behind the emblem. The window draws the etched rule below it.
Rgba BannerAt(double x, double y, double scale) {
    x /= scale;
    y /= scale;
    Rgba c = Mix(Hex(0xFFFFFF), Hex(0xD2E6FA), std::pow(Smooth(200, 485, x), 1.3));
    const double arc = std::hypot(x - 600, y - 230) - 250;
    c = Mix(c, Hex(0xFFFFFF), 0.55 * std::exp(-arc * arc / 60) * Smooth(300, 420, x));
    c = Mix(c, Hex(0xBCD8F5), 0.25 * Smooth(0, 30, arc) * Smooth(300, 485, x));
    return Over(EmblemAt(x, y, 446, 30, 27, 0.8), c);
}

Rgba IconAt(double x, double y, int size) {
    return EmblemAt(x, y, size / 2.0, size / 2.0, size * 15.8 / 32, 0.6);
}
