// Renders the setup's artwork for each display scale that the installer
// carries: the welcome picture at 100, 150 and 200 %, the page banner at 150
// and 200 %, and the program icon in every size that Windows asks for. The
// pictures are drawn analytically and antialiased by supersampling, so they
// can be rebuilt from these files alone. At 100 % the installer shows the
// 200 % banner halved, each pixel the mean of four: that is the drawing for
// 100 % with twice the samples, and its own file would weigh 1.2 KB more.
//
// Usage: imagegen <repo-root>

#include "tools/imagegen/Art.h"
#include "tools/imagegen/Encode.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

namespace {

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

int Scaled(int size, int percent) {
    return static_cast<int>(std::lround(size * percent / 100.0));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: imagegen <repo-root>\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    bool ok = true;
    // The larger the scale, the finer the screen's pixels, and the less a
    // JPEG's loss shows: the quality falls as the size grows, but for 100 %,
    // where 80 rather than 70 cost 18 % more for a brightness off by 1.6
    // rather than 1.9 levels of 255 (root mean square; the colour, at 50, errs
    // more either way). Halved for 100 %, the 200 % banner averages its loss
    // away.
    for (auto [percent, quality] : {std::pair{100, 70}, {150, 70}, {200, 60}}) {
        const double scale = percent / 100.0;
        const std::string suffix = std::to_string(percent) + ".jpg";
        const Image welcome = Rasterise(Scaled(160, percent), Scaled(269, percent), 4,
                                        [scale](double x, double y) { return WelcomeAt(x, y, scale); });
        ok = ok && Write(root / "ui" / ("Welcome" + suffix), EncodeJpeg(welcome, quality));
        if (percent > 100) {
            const Image banner = Rasterise(Scaled(485, percent), Scaled(60, percent), 4,
                                           [scale](double x, double y) { return BannerAt(x, y, scale); });
            ok = ok && Write(root / "ui" / ("Banner" + suffix), EncodeJpeg(banner, quality));
        }
    }
    std::vector<Image> icons;
    for (int size : {16, 20, 24, 32, 40, 48, 64, 256})
        icons.push_back(Rasterise(size, size, 8, [size](double x, double y) { return IconAt(x, y, size); }));
    return ok && Write(root / "app" / "MainIcon.ico", EncodeIco(icons)) ? 0 : 1;
}
