#include "tools/imagegen/Encode.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

// libjpeg's header needs FILE declared first.
#include <jpeglib.h>
#include <libdeflate.h>

namespace {

void Put(Bytes& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutBigEndian(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(Bytes& png, const char* type, const Bytes& data) {
    PutBigEndian(png, static_cast<uint32_t>(data.size()));
    const size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    PutBigEndian(png, libdeflate_crc32(0, png.data() + start, png.size() - start));
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

// A colour with its alpha in one number; every transparent pixel is one.
uint32_t Packed(const Rgba& c) {
    if (!ToByte(c.a))
        return 0;
    return uint32_t(ToByte(c.a)) << 24 | uint32_t(ToByte(c.r)) << 16 | uint32_t(ToByte(c.g)) << 8 | ToByte(c.b);
}

int Channel(uint32_t c, int ch) {
    return ch == 3 ? (c >> 24) : (c >> (16 - 8 * ch)) & 255;
}

// Median cut over the histogram of colours with their alpha. Boxes are split
// by extent weighted with the square root of their pixel count, so the large
// smooth gradients get enough entries without starving the small details.
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
            for (int ch = 0; ch < 4; ++ch) {
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
        double sum[4] = {}, count = 0;
        for (const auto& e : box) {
            for (int ch = 0; ch < 4; ++ch)
                sum[ch] += double(Channel(e.first, ch)) * e.second;
            count += e.second;
        }
        palette.push_back(uint32_t(std::lround(sum[3] / count)) << 24 | uint32_t(std::lround(sum[0] / count)) << 16 |
                          uint32_t(std::lround(sum[1] / count)) << 8 | uint32_t(std::lround(sum[2] / count)));
    }
    return palette;
}

// One 32-bit image with its 1-bit mask; the mask marks exactly the fully
// transparent pixels, whose colour is zero so the old XOR path leaves them alone.
Bytes IconBitmap(const Image& img) {
    const uint32_t maskStride = ((img.w + 31) / 32) * 4;
    Bytes out;
    for (uint32_t v : {40u, uint32_t(img.w), uint32_t(img.h * 2)})
        Put(out, v, 4);
    Put(out, 1, 2);
    Put(out, 32, 2);
    for (uint32_t v : {0u, uint32_t(img.w * img.h * 4 + maskStride * img.h), 0u, 0u, 0u, 0u})
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

// Where a colour with its alpha lies for the eye: its CIELAB scaled by the
// alpha, as a faint edge pixel shows only that much of its colour, and the
// alpha, a step of 1/255 weighing about as much as the smallest colour
// difference that the eye can tell.
struct Point {
    double v[4];
};

Point Perceived(uint32_t c) {
    const double alpha = Channel(c, 3) / 255.0;
    const Lab lab = ToLab(Channel(c, 0) / 255.0, Channel(c, 1) / 255.0, Channel(c, 2) / 255.0);
    return {{lab.l * alpha, lab.a * alpha, lab.b * alpha, 200 * alpha}};
}

// For each colour, the index of the palette entry that looks nearest to it.
std::vector<uint8_t> Nearest(const std::vector<Point>& colours, const std::vector<uint32_t>& palette) {
    std::vector<Point> entries;
    for (uint32_t c : palette)
        entries.push_back(Perceived(c));
    std::vector<uint8_t> nearest;
    for (const Point& p : colours) {
        size_t best = 0;
        double bestDistance = 1e300;
        for (size_t i = 0; i < entries.size(); ++i) {
            double distance = 0;
            for (int k = 0; k < 4; ++k)
                distance += (p.v[k] - entries[i].v[k]) * (p.v[k] - entries[i].v[k]);
            if (distance < bestDistance)
                best = i, bestDistance = distance;
        }
        nearest.push_back(uint8_t(best));
    }
    return nearest;
}

// Moves each palette entry, again and again, to the mean of the colours that
// look nearest to it (k-means; the colour weighted by its alpha): the mean
// error falls by a quarter. Not for the largest icon: there the entries would
// leave the gentle ramps of the gloss, which span many pixels, and their steps
// would show as bands.
void Refine(std::vector<uint32_t>& palette,
            const std::map<uint32_t, uint32_t>& histogram,
            const std::vector<Point>& colours) {
    for (int round = 0; round < 10; ++round) {
        const std::vector<uint8_t> nearest = Nearest(colours, palette);
        std::vector<std::array<double, 5>> sums(palette.size());  // colour by alpha, alpha, count
        size_t i = 0;
        for (const auto& [c, count] : histogram) {
            std::array<double, 5>& sum = sums[nearest[i++]];
            for (int ch = 0; ch < 3; ++ch)
                sum[ch] += double(Channel(c, ch)) * Channel(c, 3) * count;
            sum[3] += double(Channel(c, 3)) * count;
            sum[4] += count;
        }
        for (size_t e = 0; e < palette.size(); ++e) {
            const std::array<double, 5>& sum = sums[e];
            if (sum[3] > 0)
                palette[e] = uint32_t(std::lround(sum[3] / sum[4])) << 24 |
                             uint32_t(std::lround(sum[0] / sum[3])) << 16 |
                             uint32_t(std::lround(sum[1] / sum[3])) << 8 | uint32_t(std::lround(sum[2] / sum[3]));
        }
    }
}

// A PNG of the given rows of palette indices, each row led by its filter type,
// deflated as strongly as libdeflate can. The palette lists its entries that
// are not opaque first, so that the alphas stop at the last of them: the
// others are opaque.
Bytes Png(const Image& img, const Bytes& rows, const std::vector<uint32_t>& palette) {
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(12);
    Bytes packed(libdeflate_zlib_compress_bound(compressor, rows.size()));
    packed.resize(libdeflate_zlib_compress(compressor, rows.data(), rows.size(), packed.data(), packed.size()));
    libdeflate_free_compressor(compressor);

    Bytes header;
    PutBigEndian(header, img.w);
    PutBigEndian(header, img.h);
    header.insert(header.end(), {8, 3, 0, 0, 0});  // 8 bits, palette, no interlace
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    Bytes colours, alphas;
    for (uint32_t c : palette) {
        colours.insert(colours.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
        if (c >> 24 < 255)
            alphas.push_back(uint8_t(c >> 24));
    }
    PutChunk(png, "PLTE", colours);
    PutChunk(png, "tRNS", alphas);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}

// The sizes that only Vista and later read, as PNG of a palette with alpha,
// one entry of it transparent. 224 colours for the largest, whose gloss ramps
// over many pixels (with fewer its steps show): they err less, on average and
// at worst, than 256 mapped without regard to the eye did. 128 refined for the
// others, where the palette itself is most of the file: their mean and worst
// error stay within a just visible difference of 256 unrefined.
Bytes PalettePng(const Image& img) {
    const bool largest = img.w >= 256;
    std::map<uint32_t, uint32_t> histogram;
    for (const Rgba& c : img.px)
        if (const uint32_t packed = Packed(c))
            ++histogram[packed];
    std::vector<Point> colours;
    for (const auto& e : histogram)
        colours.push_back(Perceived(e.first));
    std::vector<uint32_t> palette = MedianCut(histogram, largest ? 223 : 127);
    if (!largest)
        Refine(palette, histogram, colours);
    palette.push_back(0);
    std::stable_partition(palette.begin(), palette.end(), [](uint32_t c) { return c >> 24 < 255; });
    std::map<uint32_t, uint8_t> index{{0, uint8_t(std::find(palette.begin(), palette.end(), 0u) - palette.begin())}};
    const std::vector<uint8_t> nearest = Nearest(colours, palette);
    size_t i = 0;
    for (const auto& e : histogram)
        index[e.first] = nearest[i++];
    Bytes rows;
    for (int y = 0; y < img.h; ++y) {
        rows.push_back(0);  // no filter: indices are no quantities
        for (int x = 0; x < img.w; ++x)
            rows.push_back(index[Packed(img.At(x, y))]);
    }
    return Png(img, rows, palette);
}

}  // namespace

Bytes EncodeJpeg(const Image& img, int quality) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = img.w;
    info.image_height = img.h;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    // The eye resolves colour more coarsely than brightness: the colour
    // table is that of quality 50 whatever the quality of the brightness
    // (some 10 % of the bytes, and no difference to see at 300 %).
    jpeg_set_quality(&info, 50, TRUE);
    const JQUANT_TBL colour = *info.quant_tbl_ptrs[1];
    jpeg_set_quality(&info, quality, TRUE);
    *info.quant_tbl_ptrs[1] = colour;
    info.optimize_coding = TRUE;
    // No JFIF density: the picture object would otherwise take its size in
    // HIMETRIC from it.
    info.write_JFIF_header = FALSE;
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(img.w) * 3);
    for (int y = 0; y < img.h; ++y) {
        for (int x = 0; x < img.w; ++x) {
            const Rgba& c = img.At(x, y);
            row[x * 3] = ToByte(c.r);
            row[x * 3 + 1] = ToByte(c.g);
            row[x * 3 + 2] = ToByte(c.b);
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    free(buffer);
    return out;
}

Bytes EncodeIco(const std::vector<Image>& sizes) {
    std::vector<Bytes> images;
    for (const Image& img : sizes)
        images.push_back(img.w == 16 || img.w == 32 ? IconBitmap(img) : PalettePng(img));
    Bytes out;
    for (uint32_t v : {0u, 1u, uint32_t(sizes.size())})
        Put(out, v, 2);
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        // 256 is written as 0.
        out.insert(out.end(), {uint8_t(sizes[i].w), uint8_t(sizes[i].h), 0, 0});
        Put(out, 1, 2);
        Put(out, 32, 2);
        Put(out, static_cast<uint32_t>(images[i].size()), 4);
        Put(out, offset, 4);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const Bytes& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}
