// Writes the launcher's icon (32x32 and 16x16, 32 bits per pixel): a small game board with a piece.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Color {
    double r, g, b, a;
};

// The design in a unit square; returns the colour at (x, y).
Color Sample(double x, double y)
{
    const double inset = 0.06, radius = 0.16;
    // Rounded square outline.
    double dx = std::fmax(std::fabs(x - 0.5) - (0.5 - inset - radius), 0.0);
    double dy = std::fmax(std::fabs(y - 0.5) - (0.5 - inset - radius), 0.0);
    double corner = std::sqrt(dx * dx + dy * dy);
    if (corner > radius)
        return { 0, 0, 0, 0 };
    if (corner > radius - 0.06)
        return { 0.36, 0.22, 0.10, 1 }; // wooden frame
    // A red piece on the board.
    double px = x - 0.62, py = y - 0.40;
    double piece = std::sqrt(px * px + py * py);
    if (piece < 0.17)
        return piece < 0.11 ? Color { 0.86, 0.16, 0.14, 1 } : Color { 0.62, 0.08, 0.08, 1 };
    bool light = (int(std::floor((x - inset) * 5)) + int(std::floor((y - inset) * 5))) % 2 == 0;
    return light ? Color { 0.93, 0.86, 0.68, 1 } : Color { 0.20, 0.45, 0.30, 1 };
}

std::vector<std::uint8_t> Render(int size)
{
    const int ss = 4; // supersampling per axis
    std::vector<std::uint8_t> bgra(size * size * 4);
    for (int row = 0; row < size; ++row)
        for (int col = 0; col < size; ++col) {
            Color sum = { 0, 0, 0, 0 };
            for (int sy = 0; sy < ss; ++sy)
                for (int sx = 0; sx < ss; ++sx) {
                    Color c = Sample((col + (sx + 0.5) / ss) / size, (row + (sy + 0.5) / ss) / size);
                    sum = { sum.r + c.r * c.a, sum.g + c.g * c.a, sum.b + c.b * c.a, sum.a + c.a };
                }
            double a = sum.a / (ss * ss);
            double k = sum.a > 0 ? 1.0 / sum.a : 0;
            // Rows are stored bottom-up.
            std::uint8_t* p = &bgra[((size - 1 - row) * size + col) * 4];
            p[0] = std::uint8_t(std::lround(sum.b * k * 255));
            p[1] = std::uint8_t(std::lround(sum.g * k * 255));
            p[2] = std::uint8_t(std::lround(sum.r * k * 255));
            p[3] = std::uint8_t(std::lround(a * 255));
        }
    return bgra;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v)
{
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<std::uint8_t>& out, unsigned v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon <output.ico>\n");
        return 2;
    }
    const int sizes[] = { 32, 16 };
    std::vector<std::vector<std::uint8_t>> images;
    for (int size : sizes) {
        std::vector<std::uint8_t> image;
        Put32(image, 40);
        Put32(image, size);
        Put32(image, size * 2); // colour rows, then the mask rows
        Put16(image, 1);
        Put16(image, 32);
        for (int i = 0; i < 6; ++i)
            Put32(image, 0);
        std::vector<std::uint8_t> pixels = Render(size);
        image.insert(image.end(), pixels.begin(), pixels.end());
        int maskStride = ((size + 31) / 32) * 4;
        image.resize(image.size() + maskStride * size, 0); // alpha decides; the mask is all opaque
        images.push_back(std::move(image));
    }

    std::vector<std::uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, unsigned(images.size()));
    unsigned offset = 6 + 16 * unsigned(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        file.push_back(std::uint8_t(sizes[i]));
        file.push_back(std::uint8_t(sizes[i]));
        file.push_back(0);
        file.push_back(0);
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, unsigned(images[i].size()));
        Put32(file, offset);
        offset += unsigned(images[i].size());
    }
    for (const auto& image : images)
        file.insert(file.end(), image.begin(), image.end());

    FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
