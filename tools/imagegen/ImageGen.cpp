// Renders the setup's artwork: the welcome picture, the page banner and the
// program icon. All three share one emblem, a glossy globe with an orange
// swoosh, drawn analytically and antialiased by supersampling, so the pictures
// can be rebuilt byte for byte from this file alone.
//
// Usage: imagegen <repo-root>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Straight (not premultiplied) colour, channels 0..1.
struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

using Bytes = std::vector<uint8_t>;
using Shader = std::function<Rgba(double, double)>;

struct Image {
    int w, h;
    std::vector<Rgba> px;
    const Rgba& At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

double Clamp01(double v) {
    return std::min(1.0, std::max(0.0, v));
}

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

uint8_t ToByte(double v) {
    return static_cast<uint8_t>(std::lround(Clamp01(v) * 255));
}

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
Rgba WelcomeAt(double x, double y) {
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
// behind the emblem; an etched rule at the bottom, and the last row left
// transparent so the page colour closes the banner off.
Rgba BannerAt(double x, double y) {
    if (y >= 62)
        return {};
    if (y >= 60)
        return Hex(y < 61 ? 0xAFC1D6 : 0xFFFFFF);
    Rgba c = Mix(Hex(0xFFFFFF), Hex(0xD2E6FA), std::pow(Smooth(200, 485, x), 1.3));
    const double arc = std::hypot(x - 600, y - 230) - 250;
    c = Mix(c, Hex(0xFFFFFF), 0.55 * std::exp(-arc * arc / 60) * Smooth(300, 420, x));
    c = Mix(c, Hex(0xBCD8F5), 0.25 * Smooth(0, 30, arc) * Smooth(300, 485, x));
    return Over(EmblemAt(x, y, 446, 30, 27, 0.8), c);
}

void Put(Bytes& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// CIELAB (D65) of a straight sRGB colour, where a distance of 1 is about the
// smallest colour difference that the eye can tell.
struct Lab {
    double l, a, b;
};

Lab ToLab(double r, double g, double b) {
    auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    r = linear(r), g = linear(g), b = linear(b);
    auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
    const double fx = f((0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047);
    const double fy = f(0.2126 * r + 0.7152 * g + 0.0722 * b);
    const double fz = f((0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

struct Rgb8 {
    uint8_t r, g, b;
};

bool LooksSame(const Rgb8& c, const Lab& exact) {
    const Lab lab = ToLab(c.r / 255.0, c.g / 255.0, c.b / 255.0);
    return std::hypot(lab.l - exact.l, lab.a - exact.a, lab.b - exact.b) <= 1.0;
}

// The 24-bit pixels of an opaque image, each one indistinguishable from its
// exact colour, but wherever that allows, repeating an already chosen
// neighbour, one of the colours chosen most recently, or a coarse step of each
// channel. The welcome picture is stored deflated, and deflate shrinks repeats
// and small alphabets: a straight rounding of smooth gradients gives it
// neither and costs the download some 20 KB; the recent colours save 3 KB
// more.
std::vector<Rgb8> Settle(const Image& img) {
    constexpr std::size_t kRecentColours = 512;
    std::vector<Rgb8> out(img.px.size());
    std::vector<Rgb8> recent;
    auto coarse = [](const Rgba& c, int bits) {
        const double top = (1 << bits) - 1;
        auto step = [top](double v) { return ToByte(std::round(Clamp01(v) * top) / top); };
        return Rgb8{step(c.r), step(c.g), step(c.b)};
    };
    for (int y = 0; y < img.h; ++y) {
        for (int x = 0; x < img.w; ++x) {
            const Rgba& c = img.At(x, y);
            const Lab exact = ToLab(Clamp01(c.r), Clamp01(c.g), Clamp01(c.b));
            std::vector<Rgb8> candidates;
            for (auto [dx, dy] : {std::pair{-1, 0}, {0, -1}, {-1, -1}, {1, -1}, {-2, 0}, {0, -2}})
                if (x + dx >= 0 && x + dx < img.w && y + dy >= 0)
                    candidates.push_back(out[static_cast<size_t>(y + dy) * img.w + x + dx]);
            candidates.insert(candidates.end(), recent.begin(), recent.end());
            candidates.push_back(coarse(c, 5));
            candidates.push_back(coarse(c, 6));
            candidates.push_back(coarse(c, 7));
            Rgb8 chosen{ToByte(c.r), ToByte(c.g), ToByte(c.b)};
            for (const Rgb8& candidate : candidates)
                if (LooksSame(candidate, exact)) {
                    chosen = candidate;
                    break;
                }
            out[static_cast<size_t>(y) * img.w + x] = chosen;
            const auto same = [&](const Rgb8& o) { return o.r == chosen.r && o.g == chosen.g && o.b == chosen.b; };
            const auto seen = std::find_if(recent.begin(), recent.end(), same);
            if (seen != recent.end())
                recent.erase(seen);
            recent.insert(recent.begin(), chosen);
            if (recent.size() > kRecentColours)
                recent.pop_back();
        }
    }
    return out;
}

Bytes EncodeBmp(const Image& img) {
    const std::vector<Rgb8> settled = Settle(img);
    const uint32_t stride = (img.w * 3 + 3) & ~3u, pixels = stride * img.h;
    Bytes out{'B', 'M'};
    Put(out, 54 + pixels, 4);
    Put(out, 0, 4);
    Put(out, 54, 4);
    for (uint32_t v : {40u, uint32_t(img.w), uint32_t(img.h)})
        Put(out, v, 4);
    Put(out, 1, 2);
    Put(out, 24, 2);
    for (uint32_t v : {0u, pixels, 2834u, 2834u, 0u, 0u})
        Put(out, v, 4);
    for (int y = img.h - 1; y >= 0; --y) {
        for (int x = 0; x < img.w; ++x) {
            const Rgb8& c = settled[static_cast<size_t>(y) * img.w + x];
            out.insert(out.end(), {c.b, c.g, c.r});
        }
        out.resize(out.size() + stride - img.w * 3, 0);
    }
    return out;
}

// One 32-bit image with its 1-bit mask; the mask marks exactly the fully
// transparent pixels, whose colour is zero so the old XOR path leaves them alone.
Bytes EncodeIco(const Image& img) {
    const uint32_t maskStride = ((img.w + 31) / 32) * 4;
    const uint32_t size = 40 + img.w * img.h * 4 + maskStride * img.h;
    Bytes out;
    for (uint32_t v : {0u, 1u, 1u})
        Put(out, v, 2);
    out.insert(out.end(), {uint8_t(img.w), uint8_t(img.h), 0, 0});
    Put(out, 1, 2);
    Put(out, 32, 2);
    Put(out, size, 4);
    Put(out, 22, 4);
    for (uint32_t v : {40u, uint32_t(img.w), uint32_t(img.h * 2)})
        Put(out, v, 4);
    Put(out, 1, 2);
    Put(out, 32, 2);
    for (uint32_t v : {0u, size - 40, 0u, 0u, 0u, 0u})
        Put(out, v, 4);
    Bytes mask(maskStride * img.h, 0);
    for (int y = img.h - 1; y >= 0; --y) {
        uint8_t* row = &mask[(img.h - 1 - y) * maskStride];
        for (int x = 0; x < img.w; ++x) {
            const Rgba& c = img.At(x, y);
            const uint8_t a = ToByte(c.a);
            if (a == 0)
                row[x / 8] |= 0x80 >> (x % 8);
            out.insert(out.end(),
                       {a ? ToByte(c.b) : uint8_t(0), a ? ToByte(c.g) : uint8_t(0), a ? ToByte(c.r) : uint8_t(0), a});
        }
    }
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

uint32_t Packed(const Rgba& c) {
    return uint32_t(ToByte(c.r)) << 16 | uint32_t(ToByte(c.g)) << 8 | ToByte(c.b);
}

int Channel(uint32_t c, int ch) {
    return (c >> (16 - 8 * ch)) & 255;
}

// Median cut over the colour histogram. Boxes are split by colour extent
// weighted with the square root of their pixel count, so the large smooth
// gradients get enough entries without starving the emblem's small details.
std::vector<uint32_t> MedianCut(const std::map<uint32_t, uint32_t>& histogram, size_t colours) {
    using Box = std::vector<std::pair<uint32_t, uint32_t>>;
    std::vector<Box> boxes{Box(histogram.begin(), histogram.end())};
    while (boxes.size() < colours) {
        int best = -1, bestCh = 0;
        double bestScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            double count = 0;
            for (const auto& e : boxes[i])
                count += e.second;
            for (int ch = 0; ch < 3; ++ch) {
                auto [lo, hi] = std::minmax_element(boxes[i].begin(), boxes[i].end(), [ch](auto& p, auto& q) {
                    return Channel(p.first, ch) < Channel(q.first, ch);
                });
                const double score = (Channel(hi->first, ch) - Channel(lo->first, ch)) * std::sqrt(count);
                if (score > bestScore)
                    best = int(i), bestCh = ch, bestScore = score;
            }
        }
        if (best < 0)
            break;
        Box& box = boxes[best];
        std::stable_sort(box.begin(), box.end(),
                         [bestCh](auto& p, auto& q) { return Channel(p.first, bestCh) < Channel(q.first, bestCh); });
        uint64_t total = 0, run = 0;
        for (const auto& e : box)
            total += e.second;
        size_t cut = 1;
        while (cut < box.size() - 1 && (run += box[cut - 1].second) * 2 < total)
            ++cut;
        boxes.emplace_back(box.begin() + cut, box.end());
        boxes[best].resize(cut);
    }
    std::vector<uint32_t> palette;
    for (const Box& box : boxes) {
        double sum[3] = {}, count = 0;
        for (const auto& e : box) {
            for (int ch = 0; ch < 3; ++ch)
                sum[ch] += double(Channel(e.first, ch)) * e.second;
            count += e.second;
        }
        palette.push_back(uint32_t(std::lround(sum[0] / count)) << 16 | uint32_t(std::lround(sum[1] / count)) << 8 |
                          uint32_t(std::lround(sum[2] / count)));
    }
    return palette;
}

// GIF LZW: variable code width from 9 to 12 bits, a clear code whenever the
// table fills, and the width bumped exactly where a decoder's table grows.
Bytes Lzw(const Bytes& indices) {
    const int clearCode = 256, endCode = 257;
    Bytes out;
    uint32_t acc = 0;
    int bits = 0, width = 9, next = 258;
    auto emit = [&](int code) {
        acc |= uint32_t(code) << bits;
        for (bits += width; bits >= 8; bits -= 8, acc >>= 8)
            out.push_back(uint8_t(acc));
    };
    std::vector<int> table(4096 * 256, -1);
    emit(clearCode);
    int cur = indices[0];
    for (size_t i = 1; i < indices.size(); ++i) {
        int& slot = table[cur * 256 + indices[i]];
        if (slot >= 0) {
            cur = slot;
            continue;
        }
        emit(cur);
        slot = next++;
        if (next - 1 == (1 << width) && width < 12)
            ++width;
        if (next == 4096) {
            emit(clearCode);
            std::fill(table.begin(), table.end(), -1);
            width = 9;
            next = 258;
        }
        cur = indices[i];
    }
    emit(cur);
    if (next == (1 << width) && width < 12)
        ++width;  // the decoder adds one more entry on reading the last code
    emit(endCode);
    if (bits > 0)
        out.push_back(uint8_t(acc));
    return out;
}

// 255 visible colours; index 255 is kept for the transparent pixels.
constexpr int kTransparent = 255;

Bytes EncodeGif(const Image& img, int frames) {
    std::map<uint32_t, uint32_t> histogram;
    for (const Rgba& c : img.px)
        if (c.a >= 0.5)
            ++histogram[Packed(c)];
    std::vector<uint32_t> palette = MedianCut(histogram, kTransparent);
    std::map<uint32_t, uint8_t> nearest;
    for (const auto& e : histogram) {
        int best = 0, bestDist = 1 << 30;
        for (size_t i = 0; i < palette.size(); ++i) {
            int d = 0;
            for (int ch = 0; ch < 3; ++ch) {
                const int delta = Channel(e.first, ch) - Channel(palette[i], ch);
                d += delta * delta;
            }
            if (d < bestDist)
                best = int(i), bestDist = d;
        }
        nearest[e.first] = uint8_t(best);
    }
    palette.resize(256, 0);
    palette[kTransparent] = 0xF0F0F0;  // what a viewer without transparency shows

    Bytes indices;
    for (const Rgba& c : img.px)
        indices.push_back(c.a >= 0.5 ? nearest[Packed(c)] : uint8_t(kTransparent));
    const Bytes data = Lzw(indices);

    Bytes out{'G', 'I', 'F', '8', '9', 'a'};
    Put(out, img.w, 2);
    Put(out, img.h, 2);
    out.insert(out.end(), {0xF7, kTransparent, 0});
    for (uint32_t c : palette)
        out.insert(out.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    // The banner heads four pages and is kept as four frames; they are
    // identical, so it reads as a still picture wherever it is shown.
    for (int f = 0; f < frames; ++f) {
        out.insert(out.end(), {0x21, 0xF9, 4, 0x05, 0, 0, kTransparent, 0});
        out.push_back(0x2C);
        for (int v : {0, 0, img.w, img.h})
            Put(out, v, 2);
        out.insert(out.end(), {0, 8});
        for (size_t i = 0; i < data.size(); i += 255) {
            const size_t n = std::min<size_t>(255, data.size() - i);
            out.push_back(uint8_t(n));
            out.insert(out.end(), data.begin() + i, data.begin() + i + n);
        }
        out.push_back(0);
    }
    out.push_back(0x3B);
    return out;
}

bool Write(const std::filesystem::path& path, const Bytes& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
        return false;
    }
    std::printf("%s: %zu bytes\n", path.string().c_str(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: imagegen <repo-root>\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const Image welcome = Rasterise(160, 269, 4, WelcomeAt);
    const Image banner = Rasterise(485, 63, 4, BannerAt);
    const Image icon = Rasterise(32, 32, 8, [](double x, double y) { return EmblemAt(x, y, 16, 16, 15.8, 0.6); });
    const bool ok = Write(root / "ui" / "Welcome.bmp", EncodeBmp(welcome)) &&
                    Write(root / "ui" / "Banner.gif", EncodeGif(banner, 4)) &&
                    Write(root / "app" / "MainIcon.ico", EncodeIco(icon));
    return ok ? 0 : 1;
}
