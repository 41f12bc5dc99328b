// Polygon distances and mask blurring for the artwork's drawing surface.
#include "Canvas.h"

namespace art {

float SdPolygon(Vec p, const std::vector<Vec>& v)
{
    // Distance to the nearest edge, negative where the even-odd rule says inside.
    Vec d0 = p - v[0];
    float d = d0.x * d0.x + d0.y * d0.y;
    bool inside = false;
    for (std::size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
        Vec e = v[j] - v[i], w = p - v[i];
        float h = std::clamp((w.x * e.x + w.y * e.y) / (e.x * e.x + e.y * e.y), 0.0f, 1.0f);
        Vec b = w - e * h;
        d = std::min(d, b.x * b.x + b.y * b.y);
        if ((v[i].y > p.y) != (v[j].y > p.y) && p.x < v[i].x + (p.y - v[i].y) * e.x / e.y)
            inside = !inside;
    }
    return inside ? -std::sqrt(d) : std::sqrt(d);
}

Mask Mask::Blurred(int radius) const
{
    Mask out = *this;
    std::vector<float> line;
    for (int pass = 0; pass < 2; ++pass) {
        // Rows.
        line.assign(std::size_t(width), 0.0f);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                float sum = 0;
                for (int k = -radius; k <= radius; ++k)
                    sum += out.At(x + k, y);
                line[x] = sum / (2 * radius + 1);
            }
            std::copy(line.begin(), line.end(), out.a.begin() + std::size_t(y) * width);
        }
        // Columns.
        line.assign(std::size_t(height), 0.0f);
        for (int x = 0; x < width; ++x) {
            for (int y = 0; y < height; ++y) {
                float sum = 0;
                for (int k = -radius; k <= radius; ++k)
                    sum += out.At(x, y + k);
                line[y] = sum / (2 * radius + 1);
            }
            for (int y = 0; y < height; ++y)
                out.a[std::size_t(y) * width + x] = line[y];
        }
    }
    return out;
}

} // namespace art
