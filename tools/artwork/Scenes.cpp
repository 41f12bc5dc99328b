// The launcher's background (green baize with a faint lattice and the title between the first two rows of
// buttons) and the two start-up cards.
#include "Designs.h"

#include <cstdint>
#include <string>

namespace art {

namespace {

// Repeatable noise in [-1, 1] per integer cell.
float Hash(int x, int y)
{
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFF) / 32767.5f - 1.0f;
}

float Smooth(float t)
{
    return t * t * (3 - 2 * t);
}

// Value noise with cells of `cell` pixels.
float Noise(float x, float y, float cell)
{
    float fx = x / cell, fy = y / cell;
    int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    float tx = Smooth(fx - ix), ty = Smooth(fy - iy);
    float top = Hash(ix, iy) + (Hash(ix + 1, iy) - Hash(ix, iy)) * tx;
    float bottom = Hash(ix, iy + 1) + (Hash(ix + 1, iy + 1) - Hash(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

// Baize: a soft pool of light, a fabric grain and a faint diamond lattice; s is pixels per 640-wide unit.
void Felt(Canvas& c, float s, float lightY)
{
    const float w = float(c.Width()), h = float(c.Height());
    const float period = 48 * s;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            float u = (x + 0.5f - w / 2) / w, v = (y + 0.5f) / h - lightY;
            float d = std::sqrt(u * u * 1.3f + v * v);
            Rgb base = Mix(Hex(0x237A5C), Hex(0x072A21), std::min(1.0f, std::pow(d / 0.78f, 1.2f)));
            float grain = 0.035f * Noise(x + 0.5f, y + 0.5f, 1.6f * s) + 0.03f * Noise(x + 0.5f, y + 0.5f, 9.0f * s);
            // Distance in pixels to the nearest lattice line (two families at 45 degrees).
            float a = (x + y) / period, b = (x - y) / period;
            float da = std::fabs(a - std::round(a)) * period * 0.7071f,
                  db = std::fabs(b - std::round(b)) * period * 0.7071f;
            float line = std::clamp(0.9f * s - std::min(da, db) + 0.5f, 0.0f, 1.0f);
            float knot = std::clamp(3.2f * s - (da + db) + 0.5f, 0.0f, 1.0f);
            float k = 1.0f + grain + 0.07f * line + 0.12f * knot;
            c.At(x, y) = Clamp(base * k);
        }
}

Rgb Gold(float t)
{
    return t < 0.5f ? Mix(Hex(0xFFF0B8), Hex(0xE2B858), t * 2) : Mix(Hex(0xE2B858), Hex(0xA8762E), t * 2 - 1);
}

// Text with a soft dark shadow and a gold face shaded from top to bottom.
void GoldText(Canvas& c, const Font& font, const std::string& text, float em, float x, float baseline, float tracking,
    float shadowRadius)
{
    Mask mask(c.Width(), c.Height());
    font.DrawText(mask, text, em, x, baseline, tracking);
    float cap = font.CapHeight(em);
    int offset = std::max(1, int(std::lround(shadowRadius * 0.6f)));
    c.Apply(mask.Blurred(std::max(1, int(shadowRadius))), Hex(0x000000), 0.75f, offset / 2, offset);
    c.Apply(mask, [cap, baseline, &c](Vec p) {
        return Gold(std::clamp((p.y * c.Scale() - (baseline - cap)) / cap, 0.0f, 1.0f));
    });
}

// A thin gold rule that fades out towards `outer`, with a small diamond at `inner`.
void Rule(Canvas& c, float inner, float outer, float y, float s)
{
    float lo = std::min(inner, outer), hi = std::max(inner, outer);
    c.SetFrame(0, 0, 1);
    c.Fill(
        { lo, y - 4 * s }, { hi, y + 4 * s },
        [=](Vec p) {
            return SdSegment(p, { lo, y }, { hi, y }, 0.7f * s);
        },
        [=](Vec p) { return Mix(Hex(0xE9C77A), Hex(0x8A6A2E), std::fabs(p.x - inner) / (hi - lo)); }, 0.9f);
    std::vector<Vec> diamond
        = { { inner, y - 3.5f * s }, { inner + 3.5f * s, y }, { inner, y + 3.5f * s }, { inner - 3.5f * s, y } };
    c.Fill(
        { inner - 5 * s, y - 5 * s }, { inner + 5 * s, y + 5 * s }, [&](Vec p) { return SdPolygon(p, diamond); },
        Hex(0xF2D48C));
}

// Pixel size at which capitals are `cap` pixels tall.
float EmForCap(const Font& font, float cap)
{
    return cap * 100.0f / font.CapHeight(100.0f);
}

} // namespace

void DrawBackground(Canvas& c, const Font& font)
{
    const float w = float(c.Width()), h = float(c.Height()), s = w / 640;
    Felt(c, s, 0.45f);
    // The title sits in the gap between the first and second rows of buttons, which stays clear for every client
    // height the frame gives (the grid's margins grow with the client area).
    const float em = EmForCap(font, 0.031f * h);
    const std::string title = "Velmora";
    const float tracking = 0.08f * em;
    float width = font.Measure(title, em, tracking);
    float x = std::round((w - width) / 2), baseline = std::round(0.306f * h + font.CapHeight(em) / 2);
    c.SetFrame(0, 0, 1);
    GoldText(c, font, title, em, x, baseline, tracking, 2 * s);
    float y = baseline - font.CapHeight(em) / 2;
    Rule(c, x - 14 * s, 0.09f * w, y, s);
    Rule(c, x + width + 14 * s, 0.91f * w, y, s);
}

void DrawMakerCard(Canvas& c, const Font& font)
{
    const float w = float(c.Width()), h = float(c.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            float u = (x + 0.5f) / w - 0.5f, v = (y + 0.5f) / h - 0.4f;
            float d = std::min(1.0f, std::sqrt(u * u + v * v) / 0.72f);
            c.At(x, y) = Mix(Hex(0x24335E), Hex(0x04060E), std::pow(d, 0.9f));
        }
    c.SetFrame(0, 0, 1);
    // A double gold frame.
    for (float inset : { 16.0f, 21.0f })
        c.Fill(
            { 0, 0 }, { w, h },
            [=](Vec p) {
                return std::fabs(SdBox(p, { w / 2, h / 2 }, { w / 2 - inset, h / 2 - inset }, 10)) - 0.6f;
            },
            Hex(0xC9A352), inset < 20 ? 0.9f : 0.5f);

    // Emblem: a medallion with a quill.
    const Vec o = { 320, 168 };
    const float r = 78;
    FillSoft(
        c, Lo(o, r + 30), Hi(o, r + 30), [=](Vec p) { return SdCircle(p, o, r + 6); }, Hex(0xE9C77A), 0.18f, 22);
    c.Fill(
        Lo(o, r), Hi(o, r), [=](Vec p) { return SdCircle(p, o, r); },
        [=](Vec p) {
            float d = Length(p - (o + Vec { -20, -26 })) / (1.6f * r);
            return Mix(Hex(0x33477E), Hex(0x0B1226), d);
        });
    c.Fill(
        Lo(o, r + 2), Hi(o, r + 2), [=](Vec p) { return std::fabs(SdCircle(p, o, r - 2)) - 3.0f; },
        [=](Vec p) { return Gold((p.y - o.y + r) / (2 * r)); });
    c.Fill(
        Lo(o, r), Hi(o, r), [=](Vec p) { return std::fabs(SdCircle(p, o, r - 11)) - 0.8f; }, Hex(0xC9A352), 0.7f);
    // The feather: a lens between two arcs, turned, with a shaft and barb notches.
    const float angle = 0.62f, len = 58, wid = 0.27f;
    const float big = (1 + wid * wid) / (2 * wid), off = big - wid;
    auto local = [=](Vec p) {
        Vec q = Rotate(p, o, -angle) - o;
        return Vec { q.x / len, q.y / len };
    };
    auto vane = [=](Vec p) {
        Vec q = local(p);
        float lens = std::max(SdCircle(q, { -off, 0.1f }, big), SdCircle(q, { off, 0.1f }, big));
        // Notches cut where barbs part.
        float notch = std::min(SdSegment(q, { -0.5f, -0.05f }, { -0.12f, -0.3f }, 0.02f),
            SdSegment(q, { 0.5f, 0.35f }, { 0.15f, 0.12f }, 0.02f));
        return std::max(lens, -notch) * len;
    };
    c.Fill(Lo(o, r), Hi(o, r), vane, [=](Vec p) { return Gold(std::clamp(local(p).x * 1.6f + 0.5f, 0.0f, 1.0f)); });
    c.Fill(
        Lo(o, r), Hi(o, r),
        [=](Vec p) {
            return SdSegment(local(p), { 0, -0.82f }, { 0, 1.28f }, 0.018f) * len;
        },
        Hex(0x6E4A1C));
    c.Fill(
        Lo(o, r), Hi(o, r),
        [=](Vec p) {
            Vec q = local(p);
            std::vector<Vec> nib = { { -0.06f, 1.1f }, { 0.06f, 1.1f }, { 0, 1.42f } };
            return SdPolygon(q, nib) * len;
        },
        Hex(0xE2B858));

    const std::string name = "QUILLON", sub = "SOFTWARE";
    float em = EmForCap(font, 46), tracking = 0.16f * em;
    float width = font.Measure(name, em, tracking);
    GoldText(c, font, name, em, std::round((w - width) / 2), 334, tracking, 4);
    float em2 = EmForCap(font, 15), tracking2 = 0.55f * em2;
    float width2 = font.Measure(sub, em2, tracking2);
    float x2 = std::round((w - width2) / 2);
    Mask mask(c.Width(), c.Height());
    font.DrawText(mask, sub, em2, x2, 372, tracking2);
    c.Apply(mask, Hex(0xD8DEEA));
    Rule(c, x2 - 16, 150, 364.5f, 1);
    Rule(c, x2 + width2 + 16, 490, 364.5f, 1);
}

void DrawTitleCard(Canvas& c, const Font& font)
{
    const float w = float(c.Width());
    Felt(c, 1, 0.5f);
    // All twelve games, six above the title and six below.
    const float size = 96, pitch = 96;
    for (int game = 0; game < kGameCount; ++game) {
        int column = game % 6;
        float px = (w - 6 * pitch) / 2 + column * pitch, py = game < 6 ? 34 : 346;
        // The panel spans 0.115..0.885 of the frame; centre it in its slot.
        c.SetFrame(px + (pitch - size) / 2, py - 0.09f * size, size);
        FillSoft(
            c, { 0, 0 }, { 1, 1 },
            [](Vec p) {
                return SdBox(p - Vec { 0.02f, 0.035f }, { 0.5f, 0.385f }, { 0.385f, 0.295f }, 0.045f);
            },
            Hex(0x000000), 0.6f, 0.04f);
        DrawPictogram(c, font, game);
        c.Fill(
            { 0, 0 }, { 1, 1 },
            [](Vec p) {
                return std::fabs(SdBox(p, { 0.5f, 0.385f }, { 0.393f, 0.303f }, 0.05f)) - 0.008f;
            },
            [](Vec p) { return Gold((p.y - 0.08f) / 0.62f); });
    }
    c.SetFrame(0, 0, 1);
    const std::string title = "Velmora";
    float em = EmForCap(font, 68), tracking = 0.04f * em;
    float width = font.Measure(title, em, tracking);
    GoldText(c, font, title, em, std::round((w - width) / 2), 245, tracking, 5);
    Rule(c, w / 2 - 70, 110, 270, 1);
    Rule(c, w / 2 + 70, 530, 270, 1);
    c.Fill(
        { w / 2 - 6, 264 }, { w / 2 + 6, 276 },
        [&](Vec p) {
            std::vector<Vec> d = { { w / 2, 265 }, { w / 2 + 5, 270 }, { w / 2, 275 }, { w / 2 - 5, 270 } };
            return SdPolygon(p, d);
        },
        Hex(0xF2D48C));
    const std::string sub = "Twelve classic board and tile games";
    float em2 = EmForCap(font, 15);
    float width2 = font.Measure(sub, em2, 0.04f * em2);
    Mask mask(c.Width(), c.Height());
    font.DrawText(mask, sub, em2, std::round((w - width2) / 2), 306, 0.04f * em2);
    c.Apply(mask.Blurred(2), Hex(0x000000), 0.6f, 1, 1);
    c.Apply(mask, Hex(0xF4ECD6));
    const std::string maker = "Quillon Software";
    float em3 = EmForCap(font, 9);
    float width3 = font.Measure(maker, em3, 0.12f * em3);
    Mask small(c.Width(), c.Height());
    font.DrawText(small, maker, em3, std::round((w - width3) / 2), 466, 0.12f * em3);
    c.Apply(small, Hex(0xBFD8C8), 0.85f);
}

} // namespace art
