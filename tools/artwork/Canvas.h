// Full-colour drawing surface for the artwork: anti-aliased shapes given by signed distances, and coverage masks.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace art {

struct Rgb {
    float r, g, b;
};

inline Rgb operator+(Rgb a, Rgb b)
{
    return { a.r + b.r, a.g + b.g, a.b + b.b };
}
inline Rgb operator*(Rgb a, float k)
{
    return { a.r * k, a.g * k, a.b * k };
}
inline Rgb Mix(Rgb a, Rgb b, float t)
{
    return { a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t };
}
inline Rgb Clamp(Rgb a)
{
    return { std::clamp(a.r, 0.0f, 1.0f), std::clamp(a.g, 0.0f, 1.0f), std::clamp(a.b, 0.0f, 1.0f) };
}
// 0xRRGGBB as written in colour pickers.
inline Rgb Hex(unsigned v)
{
    return { ((v >> 16) & 0xFF) / 255.0f, ((v >> 8) & 0xFF) / 255.0f, (v & 0xFF) / 255.0f };
}

struct Vec {
    float x, y;
};

inline Vec operator+(Vec a, Vec b)
{
    return { a.x + b.x, a.y + b.y };
}
inline Vec operator-(Vec a, Vec b)
{
    return { a.x - b.x, a.y - b.y };
}
inline Vec operator*(Vec a, float k)
{
    return { a.x * k, a.y * k };
}
inline float Length(Vec a)
{
    return std::sqrt(a.x * a.x + a.y * a.y);
}
// Turns p about c by angle (radians, clockwise on screen since y points down).
inline Vec Rotate(Vec p, Vec c, float angle)
{
    float s = std::sin(angle), k = std::cos(angle);
    Vec d = p - c;
    return { c.x + d.x * k - d.y * s, c.y + d.x * s + d.y * k };
}

// Signed distances: negative inside.
inline float SdCircle(Vec p, Vec c, float r)
{
    return Length(p - c) - r;
}
inline float SdBox(Vec p, Vec c, Vec half, float radius)
{
    float qx = std::fabs(p.x - c.x) - half.x + radius, qy = std::fabs(p.y - c.y) - half.y + radius;
    return Length({ std::max(qx, 0.0f), std::max(qy, 0.0f) }) + std::min(std::max(qx, qy), 0.0f) - radius;
}
inline float SdSegment(Vec p, Vec a, Vec b, float r)
{
    Vec pa = p - a, ba = b - a;
    float h = std::clamp((pa.x * ba.x + pa.y * ba.y) / (ba.x * ba.x + ba.y * ba.y), 0.0f, 1.0f);
    return Length(pa - ba * h) - r;
}
float SdPolygon(Vec p, const std::vector<Vec>& v);

// Per-pixel coverage (0..1) over a whole canvas, e.g. rendered text.
struct Mask {
    int width = 0, height = 0;
    std::vector<float> a;
    Mask(int w, int h)
        : width(w)
        , height(h)
        , a(std::size_t(w) * h, 0.0f)
    {
    }
    float At(int x, int y) const { return x < 0 || y < 0 || x >= width || y >= height ? 0.0f : a[y * width + x]; }
    // Two box passes per axis: a soft glow or shadow.
    Mask Blurred(int radius) const;
};

class Canvas {
public:
    Canvas(int w, int h, Rgb fill)
        : m_width(w)
        , m_height(h)
        , m_pixels(std::size_t(w) * h, fill)
    {
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Rgb& At(int x, int y) { return m_pixels[std::size_t(y) * m_width + x]; }
    const Rgb& At(int x, int y) const { return m_pixels[std::size_t(y) * m_width + x]; }

    // Designs are drawn in units: pixel = origin + unit * scale.
    void SetFrame(float ox, float oy, float scale)
    {
        m_ox = ox;
        m_oy = oy;
        m_scale = scale;
    }
    float Scale() const { return m_scale; }
    Vec ToPixel(Vec u) const { return { m_ox + u.x * m_scale, m_oy + u.y * m_scale }; }

    // Blends paint(p) over the shape sdf(p) < 0 (units), one pixel of anti-aliasing, within the unit box.
    template <class Sdf, class Paint> void Fill(Vec lo, Vec hi, Sdf sdf, Paint paint, float opacity = 1.0f)
    {
        int x0 = std::max(0, int(std::floor(m_ox + lo.x * m_scale)) - 1);
        int y0 = std::max(0, int(std::floor(m_oy + lo.y * m_scale)) - 1);
        int x1 = std::min(m_width, int(std::ceil(m_ox + hi.x * m_scale)) + 1);
        int y1 = std::min(m_height, int(std::ceil(m_oy + hi.y * m_scale)) + 1);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                Vec p = { (x + 0.5f - m_ox) / m_scale, (y + 0.5f - m_oy) / m_scale };
                float cover = std::clamp(0.5f - sdf(p) * m_scale, 0.0f, 1.0f) * opacity;
                if (cover > 0)
                    At(x, y) = Mix(At(x, y), paint(p), cover);
            }
    }
    template <class Sdf> void Fill(Vec lo, Vec hi, Sdf sdf, Rgb colour, float opacity = 1.0f)
    {
        Fill(
            lo, hi, sdf, [colour](Vec) { return colour; }, opacity);
    }

    // Blends paint(p) where the mask covers, shifted by (dx, dy) pixels.
    template <class Paint> void Apply(const Mask& mask, Paint paint, float opacity = 1.0f, int dx = 0, int dy = 0)
    {
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x) {
                float cover = mask.At(x - dx, y - dy) * opacity;
                if (cover > 0)
                    At(x, y)
                        = Mix(At(x, y), paint(Vec { (x + 0.5f - m_ox) / m_scale, (y + 0.5f - m_oy) / m_scale }), cover);
            }
    }
    void Apply(const Mask& mask, Rgb colour, float opacity = 1.0f, int dx = 0, int dy = 0)
    {
        Apply(
            mask, [colour](Vec) { return colour; }, opacity, dx, dy);
    }

private:
    int m_width, m_height;
    std::vector<Rgb> m_pixels;
    float m_ox = 0, m_oy = 0, m_scale = 1;
};

// A shadow or glow whose edge fades over `width` units instead of one pixel.
template <class Sdf> inline void FillSoft(Canvas& c, Vec lo, Vec hi, Sdf sdf, Rgb colour, float opacity, float width)
{
    float k = 1.0f / (width * c.Scale());
    c.Fill(
        lo, hi, [sdf, k](Vec p) { return sdf(p) * k; }, colour, opacity);
}

inline Vec Lo(Vec o, float r)
{
    return { o.x - r, o.y - r };
}
inline Vec Hi(Vec o, float r)
{
    return { o.x + r, o.y + r };
}

} // namespace art
