// Checks what make_artwork wrote against what the launcher relies on: the BMP layout, one shared colour table with
// the static colours, index 0 kept for the buttons' surround, and highlighted buttons of the same shape.
// Usage: check_artwork <folder>
#include "res/PictureIds.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

int g_failures = 0;

void Fail(const std::string& what)
{
    std::fprintf(stderr, "check_artwork: %s\n", what.c_str());
    ++g_failures;
}

unsigned Read32(const std::vector<std::uint8_t>& d, std::size_t at)
{
    return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | unsigned(d[at + 3]) << 24;
}

struct Image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> table; // 1024 bytes
    std::vector<std::uint8_t> pixels; // top row first
};

bool Load(const std::string& path, int width, int height, Image& image)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const unsigned stride = (unsigned(width) + 3) & ~3u, imageSize = stride * unsigned(height);
    if (d.size() != 14 + 1064 + imageSize) {
        Fail(path + ": wrong file size");
        return false;
    }
    const unsigned expected[][2] = { { 2, unsigned(d.size()) }, { 10, 1078 }, { 14, 40 }, { 18, unsigned(width) },
        { 22, unsigned(height) }, { 30, 0 }, { 34, imageSize }, { 46, 256 }, { 50, 256 } };
    for (const auto& [at, value] : expected)
        if (Read32(d, at) != value)
            Fail(path + ": header field at " + std::to_string(at));
    if (d[0] != 'B' || d[1] != 'M' || d[26] != 1 || d[27] != 0 || d[28] != 8 || d[29] != 0)
        Fail(path + ": not an 8-bit BMP");
    image.width = width;
    image.height = height;
    image.table.assign(d.begin() + 54, d.begin() + 1078);
    for (int y = height - 1; y >= 0; --y) {
        auto row = d.begin() + 1078 + std::ptrdiff_t(y) * stride;
        image.pixels.insert(image.pixels.end(), row, row + width);
    }
    return true;
}

// Every index-0 pixel must be joined to the border through other index-0 pixels: none inside the shape.
bool ZerosOnlyOutside(const Image& image)
{
    std::vector<std::uint8_t> seen(image.pixels.size(), 0);
    std::vector<int> stack;
    auto push = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= image.width || y >= image.height)
            return;
        int i = y * image.width + x;
        if (image.pixels[i] == 0 && !seen[i]) {
            seen[i] = 1;
            stack.push_back(i);
        }
    };
    for (int k = 0; k < image.width; ++k) {
        push(k, 0);
        push(k, image.height - 1);
        push(0, k);
        push(image.width - 1, k);
    }
    while (!stack.empty()) {
        int i = stack.back();
        stack.pop_back();
        push(i % image.width + 1, i / image.width);
        push(i % image.width - 1, i / image.width);
        push(i % image.width, i / image.width + 1);
        push(i % image.width, i / image.width - 1);
    }
    for (std::size_t i = 0; i < seen.size(); ++i)
        if (image.pixels[i] == 0 && !seen[i])
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: check_artwork <folder>\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    auto file = [&](int id) { return folder + "bmp" + std::to_string(id) + ".bmp"; };

    using velmora::ButtonPictureId;
    const std::pair<int, int> backgroundSizes[] = { { 640, 480 }, { 800, 600 }, { 1024, 768 } };
    const int buttonSizes[] = { 110, 137, 176 };
    std::map<int, std::pair<int, int>> sizes;
    for (int set = 0; set < velmora::kPictureSizeCount; ++set) {
        sizes[velmora::BackgroundPictureId(set)] = backgroundSizes[set];
        for (int game = 0; game < velmora::kPictureGameCount; ++game)
            for (bool lit : { false, true })
                sizes[ButtonPictureId(set, game, lit)] = { buttonSizes[set], buttonSizes[set] };
    }

    // The static colours at both ends of the shared table (red, green, blue).
    const std::uint8_t statics[20][3] = { { 0, 0, 0 }, { 128, 0, 0 }, { 0, 128, 0 }, { 128, 128, 0 }, { 0, 0, 128 },
        { 128, 0, 128 }, { 0, 128, 128 }, { 192, 192, 192 }, { 192, 220, 192 }, { 166, 202, 240 }, { 255, 251, 240 },
        { 160, 160, 164 }, { 128, 128, 128 }, { 255, 0, 0 }, { 0, 255, 0 }, { 255, 255, 0 }, { 0, 0, 255 },
        { 255, 0, 255 }, { 0, 255, 255 }, { 255, 255, 255 } };
    std::map<int, Image> images;
    std::vector<std::uint8_t> shared;
    for (const auto& [id, size] : sizes) {
        Image image;
        if (!Load(file(id), size.first, size.second, image))
            continue;
        if (shared.empty()) {
            shared = image.table;
            for (int k = 0; k < 20; ++k) {
                int entry = k < 10 ? k : 236 + k;
                const std::uint8_t* e = &shared[entry * 4];
                if (e[2] != statics[k][0] || e[1] != statics[k][1] || e[0] != statics[k][2] || e[3] != 0)
                    Fail("static colour " + std::to_string(entry) + " is wrong");
            }
        } else if (image.table != shared) {
            Fail(file(id) + ": colour table differs from the shared one");
        }
        bool background = size.first >= 640;
        std::size_t zeros = 0;
        for (std::uint8_t p : image.pixels)
            zeros += p == 0;
        if (background && zeros != 0)
            Fail(file(id) + ": a background uses index 0");
        if (!background) {
            int last = size.first - 1, middle = size.first / 2;
            if (image.pixels[0] != 0 || image.pixels[last] != 0 || image.pixels[std::size_t(last) * size.first] != 0)
                Fail(file(id) + ": the corners are not transparent");
            if (image.pixels[std::size_t(middle) * size.first + middle] == 0 || zeros * 10 > image.pixels.size())
                Fail(file(id) + ": the button is mostly transparent");
            if (!ZerosOnlyOutside(image))
                Fail(file(id) + ": index 0 inside the button");
        }
        images[id] = std::move(image);
    }

    // Normal and highlighted pictures: identical index-0 pixels.
    for (int game = 0; game < velmora::kPictureGameCount; ++game) {
        for (int set = 0; set < velmora::kPictureSizeCount; ++set) {
            const int pair[2] = { ButtonPictureId(set, game, false), ButtonPictureId(set, game, true) };
            if (!images.count(pair[0]) || !images.count(pair[1]))
                continue;
            const auto& a = images[pair[0]].pixels;
            const auto& b = images[pair[1]].pixels;
            for (std::size_t i = 0; i < a.size(); ++i)
                if ((a[i] == 0) != (b[i] == 0)) {
                    Fail("buttons " + std::to_string(pair[0]) + " and " + std::to_string(pair[1]) + " differ in shape");
                    break;
                }
        }
    }

    for (int id : velmora::kStartUpPictureIds) {
        Image image;
        Load(file(id), 640, 480, image);
    }

    // One resource line per picture.
    std::ifstream rc(folder + "artwork.rc");
    std::map<int, std::string> listed;
    std::string line;
    while (std::getline(rc, line)) {
        std::istringstream words(line);
        int id;
        std::string type, name;
        if (words >> id >> type >> name && type == "BITMAP")
            listed[id] = name;
    }
    for (int id : velmora::kStartUpPictureIds)
        sizes[id] = { 640, 480 };
    if (listed.size() != sizes.size())
        Fail("artwork.rc lists " + std::to_string(listed.size()) + " pictures, not " + std::to_string(sizes.size()));
    for (const auto& [id, name] : listed)
        if (!sizes.count(id) || name != "\"bmp" + std::to_string(id) + ".bmp\"")
            Fail("artwork.rc: unexpected line for " + std::to_string(id));
    return g_failures == 0 ? 0 : 1;
}
