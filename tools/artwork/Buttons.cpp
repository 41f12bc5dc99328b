// The twelve game buttons: an ivory tile in a bronze rim, a picture of the game's board or pieces, and its name.
#include "Designs.h"

#include <string>

namespace art {

const char* const kGameNames[kGameCount] = { "Backgammon", "Bridge", "Checkers", "Chess", "Chinese Chess", "Dominoes",
    "Four In A Line", "Go", "Gomoku", "Reversi", "Shogi", "TaiPei" };

namespace {

// Button units: the button is the unit square. The picture panel sits above the name.
const Vec kPanelCentre = { 0.5f, 0.385f }, kPanelHalf = { 0.385f, 0.295f };
const Vec kPanelLo = { 0.1f, 0.08f }, kPanelHi = { 0.9f, 0.69f };
const Rgb kBlack = Hex(0x000000), kInk = Hex(0x1A1614), kWhite = Hex(0xFFFFFF);

float PanelSd(Vec p)
{
    return SdBox(p, kPanelCentre, kPanelHalf, 0.045f);
}

// Keeps a shape within the panel.
template <class Sdf> auto Clip(Sdf sdf)
{
    return [sdf](Vec p) { return std::max(sdf(p), PanelSd(p)); };
}

// Font pixel size at which a glyph is `height` units tall.
float GlyphSize(const Canvas& c, const Font& font, char32_t cp, float height)
{
    return 100.0f * height * c.Scale() / font.GlyphExtent(cp, 100.0f).y;
}

void Glyph(
    Canvas& c, const Font& font, char32_t cp, float height, Vec centre, float angle, Rgb colour, float opacity = 1.0f)
{
    Mask mask(c.Width(), c.Height());
    Vec at = c.ToPixel(centre);
    font.DrawGlyph(mask, cp, GlyphSize(c, font, cp, height), at.x, at.y, angle);
    c.Apply(mask, colour, opacity);
}

// A draughts-style piece: shaded body, a groove and a dark edge.
void Piece(Canvas& c, Vec o, float r, Rgb base)
{
    FillSoft(
        c, Lo(o, r * 1.5f), Hi(o, r * 1.5f),
        [o, r](Vec p) {
            return SdCircle(p, o + Vec { 0.05f * r, 0.16f * r }, r);
        },
        kBlack, 0.45f, 0.18f * r);
    c.Fill(
        Lo(o, r), Hi(o, r), [o, r](Vec p) { return SdCircle(p, o, r); },
        [o, r, base](Vec p) {
            float d = Length(p - (o + Vec { -0.4f * r, -0.45f * r })) / (1.9f * r);
            return Clamp(Mix(Mix(base, kWhite, 0.22f), base * 0.55f, d));
        });
    c.Fill(
        Lo(o, r), Hi(o, r), [o, r](Vec p) { return std::fabs(SdCircle(p, o, 0.66f * r)) - 0.05f * r; }, base * 0.55f,
        0.8f);
    c.Fill(
        Lo(o, r), Hi(o, r),
        [o, r](Vec p) {
            return std::fabs(SdCircle(p, o + Vec { 0, 0.05f * r }, 0.7f * r)) - 0.03f * r;
        },
        Mix(base, kWhite, 0.35f), 0.5f);
    c.Fill(
        Lo(o, r), Hi(o, r), [o, r](Vec p) { return std::fabs(SdCircle(p, o, 0.97f * r)) - 0.035f * r; }, base * 0.4f,
        0.85f);
}

// A go stone: slate black or shell white, lit from the top left.
void Stone(Canvas& c, Vec o, float r, bool black)
{
    FillSoft(
        c, Lo(o, r * 1.5f), Hi(o, r * 1.5f),
        [o, r](Vec p) {
            return SdCircle(p, o + Vec { 0.08f * r, 0.18f * r }, r);
        },
        kBlack, 0.5f, 0.2f * r);
    c.Fill(
        Lo(o, r), Hi(o, r), [o, r](Vec p) { return SdCircle(p, o, r); },
        [o, r, black](Vec p) {
            float d = std::min(1.0f, Length(p - (o + Vec { -0.38f * r, -0.42f * r })) / (1.7f * r));
            return black ? Mix(Hex(0x6A6C74), Hex(0x0E0E12), std::sqrt(d)) : Mix(Hex(0xFFFFFF), Hex(0xA9A59C), d * d);
        });
}

void Panel(Canvas& c, Rgb top, Rgb bottom)
{
    c.Fill(kPanelLo, kPanelHi, PanelSd, [top, bottom](Vec p) { return Mix(top, bottom, (p.y - 0.09f) / 0.59f); });
}

// Dark outline and a faint inner shadow along the top make the panel look set into the tile.
void PanelFrame(Canvas& c)
{
    FillSoft(c, kPanelLo, kPanelHi, Clip([](Vec p) {
        return -PanelSd(p + Vec { 0, -0.012f }) - 0.002f;
    }),
        kBlack, 0.3f, 0.02f);
    c.Fill(
        kPanelLo, kPanelHi, [](Vec p) { return std::fabs(PanelSd(p)) - 0.005f; }, Hex(0x3B2512), 0.9f);
}

// Straight lines of a board, clipped to the panel.
void Line(Canvas& c, Vec a, Vec b, float width, Rgb colour, float opacity = 1.0f)
{
    c.Fill({ std::min(a.x, b.x) - width, std::min(a.y, b.y) - width },
        { std::max(a.x, b.x) + width, std::max(a.y, b.y) + width },
        Clip([a, b, width](Vec p) { return SdSegment(p, a, b, width / 2); }), colour, opacity);
}

void Backgammon(Canvas& c)
{
    Panel(c, Hex(0x5A3218), Hex(0x3A1E0C));
    const Vec fieldC = { 0.5f, 0.385f }, fieldH = { 0.35f, 0.26f };
    c.Fill(
        kPanelLo, kPanelHi, [=](Vec p) { return SdBox(p, fieldC, fieldH, 0.01f); },
        [](Vec p) { return Mix(Hex(0xF2E2BC), Hex(0xD9C08E), (p.y - 0.12f) / 0.52f); });
    const float left = 0.15f, width = 0.7f / 6, top = 0.125f, bottom = 0.645f, depth = 0.2f;
    for (int i = 0; i < 6; ++i) {
        float x0 = left + i * width, x1 = x0 + width, xm = (x0 + x1) / 2;
        Rgb first = (i % 2 == 0) ? Hex(0xB3261E) : Hex(0x1F4E4A), second = (i % 2 == 0) ? Hex(0x1F4E4A) : Hex(0xB3261E);
        std::vector<Vec> down = { { x0 + 0.006f, top }, { x1 - 0.006f, top }, { xm, top + depth } };
        std::vector<Vec> up = { { x0 + 0.006f, bottom }, { x1 - 0.006f, bottom }, { xm, bottom - depth } };
        c.Fill(
            { x0, top }, { x1, top + depth }, [down](Vec p) { return SdPolygon(p, down); },
            [first](Vec p) { return Mix(first, first * 0.7f, (p.y - 0.125f) / 0.2f); });
        c.Fill(
            { x0, bottom - depth }, { x1, bottom }, [up](Vec p) { return SdPolygon(p, up); },
            [second](Vec p) { return Mix(second, second * 0.7f, (0.645f - p.y) / 0.2f); });
    }
    const float r = 0.052f;
    const Rgb ivory = Hex(0xF4EEDD), dark = Hex(0x2A2420);
    for (int k = 0; k < 3; ++k)
        Piece(c, { left + width / 2, bottom - r - k * 2 * r }, r, ivory);
    for (int k = 0; k < 2; ++k)
        Piece(c, { left + 5.5f * width, top + r + k * 2 * r }, r, dark);
    Piece(c, { left + 3.5f * width, bottom - r }, r, dark);
    Piece(c, { left + 2.5f * width, top + r }, r, ivory);
    // Two dice in the middle of the field.
    const Vec dice[2] = { { 0.43f, 0.39f }, { 0.6f, 0.375f } };
    const float turn[2] = { -0.25f, 0.18f };
    const int pips[2] = { 5, 3 };
    for (int d = 0; d < 2; ++d) {
        Vec o = dice[d];
        float a = turn[d];
        const float h = 0.048f;
        FillSoft(
            c, Lo(o, 0.1f), Hi(o, 0.1f),
            [=](Vec p) {
                return SdBox(Rotate(p, o, -a), o + Vec { 0.01f, 0.016f }, { h, h }, 0.014f);
            },
            kBlack, 0.5f, 0.012f);
        c.Fill(
            Lo(o, 0.08f), Hi(o, 0.08f),
            [=](Vec p) {
                return SdBox(Rotate(p, o, -a), o, { h, h }, 0.014f);
            },
            [=](Vec p) { return Mix(kWhite, Hex(0xD8D2C4), (Rotate(p, o, -a).y - o.y + h) / (2 * h)); });
        const Vec five[5] = { { -1, -1 }, { 1, -1 }, { 0, 0 }, { -1, 1 }, { 1, 1 } },
                  three[3] = { { -1, -1 }, { 0, 0 }, { 1, 1 } };
        for (int k = 0; k < pips[d]; ++k) {
            Vec q = (pips[d] == 5 ? five[k] : three[k]) * (h * 0.55f);
            Vec at = Rotate(o + q, o, a);
            c.Fill(
                Lo(at, 0.02f), Hi(at, 0.02f), [at, h](Vec p) { return SdCircle(p, at, h * 0.2f); }, kInk);
        }
    }
}

void Card(Canvas& c, const Font& font, Vec centre, float angle, char32_t suit, char32_t rank, Rgb ink)
{
    const Vec half = { 0.13f, 0.185f };
    auto local = [centre, angle](Vec p) { return Rotate(p, centre, -angle); };
    Vec lo = Lo(centre, 0.26f), hi = Hi(centre, 0.26f);
    FillSoft(c, lo, hi, Clip([=](Vec p) {
        return SdBox(local(p), centre + Vec { 0.012f, 0.016f }, half, 0.024f);
    }),
        kBlack, 0.45f, 0.02f);
    c.Fill(
        lo, hi, [=](Vec p) { return SdBox(local(p), centre, half, 0.024f); },
        [=](Vec p) { return Mix(kWhite, Hex(0xE9E3D6), (local(p).y - centre.y + half.y) / (2 * half.y)); });
    c.Fill(
        lo, hi, [=](Vec p) { return std::fabs(SdBox(local(p), centre, half, 0.024f) + 0.004f) - 0.003f; },
        Hex(0x8C8578));
    Glyph(c, font, suit, 0.13f, Rotate(centre + Vec { 0.01f, 0.03f }, centre, angle), angle, ink);
    Glyph(c, font, rank, 0.058f, Rotate(centre + Vec { -0.08f, -0.135f }, centre, angle), angle, ink);
    Glyph(c, font, suit, 0.045f, Rotate(centre + Vec { -0.08f, -0.07f }, centre, angle), angle, ink);
}

void Bridge(Canvas& c, const Font& font)
{
    Panel(c, Hex(0x1F7A4A), Hex(0x0E4A2C));
    const Vec pivot = { 0.5f, 0.78f };
    const Rgb red = Hex(0xC4201B);
    const float angles[3] = { -0.42f, -0.05f, 0.32f };
    const char32_t suits[3] = { 0x2663, 0x2666, 0x2665 }, ranks[3] = { 'K', 'Q', 'A' };
    for (int i = 0; i < 3; ++i)
        Card(c, font, Rotate(pivot + Vec { 0, -0.39f }, pivot, angles[i]), angles[i], suits[i], ranks[i],
            i == 0 ? kInk : red);
}

void Checkers(Canvas& c)
{
    const float cell = 0.15f;
    c.Fill(kPanelLo, kPanelHi, PanelSd, [cell](Vec p) {
        int i = int(std::floor((p.x - 0.125f) / cell)), j = int(std::floor((p.y - 0.085f) / cell));
        bool dark = ((i + j) & 1) != 0;
        Rgb base = dark ? Hex(0x6B3A1E) : Hex(0xEED9B0);
        return Mix(base, base * 0.82f, (p.y - 0.09f) / 0.6f);
    });
    auto at = [cell](int i, int j) { return Vec { 0.125f + (i + 0.5f) * cell, 0.085f + (j + 0.5f) * cell }; };
    const float r = 0.058f;
    const Rgb red = Hex(0xC8281E), black = Hex(0x26221F);
    Piece(c, at(1, 0), r, black);
    Piece(c, at(3, 0), r, black);
    Piece(c, at(0, 1), r, black);
    Piece(c, at(2, 1), r, red);
    Piece(c, at(1, 2), r, red);
    Piece(c, at(3, 2), r, red);
    // A king: a second piece stacked on the first.
    Piece(c, at(2, 3), r, red);
    Piece(c, at(2, 3) + Vec { 0, -0.022f }, r, red);
}

void Chess(Canvas& c, const Font& font)
{
    const float cell = 0.13f;
    c.Fill(kPanelLo, kPanelHi, PanelSd, [cell](Vec p) {
        int i = int(std::floor((p.x - 0.11f) / cell)), j = int(std::floor((p.y - 0.08f) / cell));
        Rgb base = ((i + j) & 1) ? Hex(0x6F84A0) : Hex(0xD5DDE7);
        return Mix(base, base * 0.78f, (p.y - 0.09f) / 0.6f);
    });
    // The white king behind, the black knight in front; each is a filled glyph with its outline glyph on top.
    const Vec king = { 0.36f, 0.37f }, knight = { 0.61f, 0.41f };
    Mask shadow(c.Width(), c.Height());
    Vec k = c.ToPixel(king + Vec { 0.015f, 0.02f }), n = c.ToPixel(knight + Vec { 0.015f, 0.02f });
    font.DrawGlyph(shadow, 0x265A, GlyphSize(c, font, 0x265A, 0.44f), k.x, k.y);
    font.DrawGlyph(shadow, 0x265E, GlyphSize(c, font, 0x265E, 0.46f), n.x, n.y);
    c.Apply(shadow.Blurred(std::max(1, int(c.Scale() * 0.012f))), kBlack, 0.55f);
    Glyph(c, font, 0x265A, 0.44f, king, 0, Hex(0xFBF7EE));
    Glyph(c, font, 0x2654, 0.44f, king, 0, kInk);
    Glyph(c, font, 0x265E, 0.46f, knight, 0, Hex(0x1C1A20));
    Glyph(c, font, 0x2658, 0.46f, knight, 0, Hex(0x7C7886), 0.9f);
}

// Strokes of a character on a round piece, in the piece's own units (radius 1).
struct Stroke {
    Vec a, b;
};

void ChinesePiece(Canvas& c, Vec o, float r, Rgb ink, const std::vector<Stroke>& strokes)
{
    FillSoft(
        c, Lo(o, r * 1.5f), Hi(o, r * 1.5f),
        [o, r](Vec p) {
            return SdCircle(p, o + Vec { 0.06f * r, 0.14f * r }, r);
        },
        kBlack, 0.5f, 0.15f * r);
    // Thickness of the wooden disc, then its face.
    c.Fill(
        Lo(o, r * 1.2f), Hi(o, r * 1.2f),
        [o, r](Vec p) {
            return SdCircle(p, o + Vec { 0, 0.1f * r }, r);
        },
        Hex(0x9A6A34));
    c.Fill(
        Lo(o, r), Hi(o, r), [o, r](Vec p) { return SdCircle(p, o, r); },
        [o, r](Vec p) {
            float d = Length(p - (o + Vec { -0.3f * r, -0.4f * r })) / (1.8f * r);
            return Mix(Hex(0xFBE9C2), Hex(0xD9AE6E), d);
        });
    c.Fill(
        Lo(o, r), Hi(o, r), [o, r](Vec p) { return std::fabs(SdCircle(p, o, 0.8f * r)) - 0.035f * r; }, ink);
    for (const Stroke& s : strokes)
        c.Fill(
            Lo(o, r), Hi(o, r), [=](Vec p) { return SdSegment(p, o + s.a * r, o + s.b * r, 0.07f * r); }, ink);
}

void ChineseChess(Canvas& c)
{
    Panel(c, Hex(0xF0D494), Hex(0xD9B169));
    const Rgb line = Hex(0x6A3F1C);
    const float dx = 0.13f, ys[4] = { 0.14f, 0.255f, 0.515f, 0.63f };
    for (float y : ys)
        Line(c, { 0.1f, y }, { 0.9f, y }, 0.008f, line);
    for (int k = -3; k <= 3; ++k) {
        float x = 0.5f + k * dx;
        Line(c, { x, 0.08f }, { x, ys[1] }, 0.008f, line);
        Line(c, { x, ys[2] }, { x, 0.69f }, 0.008f, line);
    }
    // The palace diagonals at the top edge.
    Line(c, { 0.5f - dx, 0.08f }, { 0.5f + dx, 0.255f + 0.0f }, 0.006f, line, 0.8f);
    Line(c, { 0.5f + dx, 0.08f }, { 0.5f - dx, 0.255f }, 0.006f, line, 0.8f);
    // Black advisor (a scholar's sign) and red advisor (with the person radical).
    const std::vector<Stroke> scholar = { { { -0.45f, -0.12f }, { 0.45f, -0.12f } }, { { 0, -0.5f }, { 0, 0.42f } },
        { { -0.28f, 0.42f }, { 0.28f, 0.42f } } };
    const std::vector<Stroke> official = { { { -0.3f, -0.52f }, { -0.52f, -0.12f } },
        { { -0.38f, -0.28f }, { -0.38f, 0.48f } }, { { -0.1f, -0.14f }, { 0.52f, -0.14f } },
        { { 0.21f, -0.5f }, { 0.21f, 0.42f } }, { { 0.0f, 0.42f }, { 0.42f, 0.42f } } };
    ChinesePiece(c, { 0.34f, 0.37f }, 0.15f, Hex(0x22201E), scholar);
    ChinesePiece(c, { 0.65f, 0.42f }, 0.15f, Hex(0xB81E16), official);
}

void Domino(Canvas& c, Vec o, float angle, int topPips, int bottomPips)
{
    const Vec half = { 0.095f, 0.19f };
    auto local = [o, angle](Vec p) { return Rotate(p, o, -angle); };
    Vec lo = Lo(o, 0.24f), hi = Hi(o, 0.24f);
    FillSoft(c, lo, hi, Clip([=](Vec p) {
        return SdBox(local(p), o + Vec { 0.014f, 0.02f }, half, 0.022f);
    }),
        kBlack, 0.5f, 0.02f);
    c.Fill(
        lo, hi, [=](Vec p) { return SdBox(local(p), o, half, 0.022f); },
        [=](Vec p) { return Mix(Hex(0xFFFDF6), Hex(0xE2D8C2), (local(p).x - o.x + half.x) / (2 * half.x)); });
    c.Fill(
        lo, hi, [=](Vec p) { return std::fabs(SdBox(local(p), o, half, 0.022f) + 0.003f) - 0.003f; }, Hex(0x9C917C));
    c.Fill(
        lo, hi,
        [=](Vec p) {
            return SdSegment(local(p), o + Vec { -0.07f, 0 }, o + Vec { 0.07f, 0 }, 0.005f);
        },
        Hex(0x6E6352));
    c.Fill(
        lo, hi, [=](Vec p) { return SdCircle(local(p), o, 0.013f); }, Hex(0xC9A44A));
    // Pip places on a 3x3 grid; each count lights some of them.
    static const int layouts[7][9]
        = { { 0 }, { 0, 0, 0, 0, 1, 0, 0, 0, 0 }, { 1, 0, 0, 0, 0, 0, 0, 0, 1 }, { 1, 0, 0, 0, 1, 0, 0, 0, 1 },
              { 1, 0, 1, 0, 0, 0, 1, 0, 1 }, { 1, 0, 1, 0, 1, 0, 1, 0, 1 }, { 1, 0, 1, 1, 0, 1, 1, 0, 1 } };
    for (int half2 = 0; half2 < 2; ++half2) {
        int count = half2 == 0 ? topPips : bottomPips;
        Vec centre = o + Vec { 0, half2 == 0 ? -0.095f : 0.095f };
        for (int k = 0; k < 9; ++k) {
            if (!layouts[count][k])
                continue;
            Vec q = centre + Vec { (k % 3 - 1) * 0.05f, (k / 3 - 1) * 0.05f };
            c.Fill(
                lo, hi, [=](Vec p) { return SdCircle(local(p), q, 0.016f); }, kInk);
        }
    }
}

void Dominoes(Canvas& c)
{
    Panel(c, Hex(0x2F5E8A), Hex(0x173654));
    Domino(c, { 0.36f, 0.38f }, -0.3f, 6, 3);
    Domino(c, { 0.63f, 0.39f }, 0.22f, 5, 2);
}

void FourInALine(Canvas& c)
{
    Panel(c, Hex(0xDCEBFA), Hex(0xA8C6E6));
    const float step = 0.142f, r = 0.053f;
    auto at = [step](int col, int row) { return Vec { 0.5f + (col - 2) * step, 0.385f + (row - 1.5f) * step }; };
    // Blue frame with round holes.
    auto frame = [&](Vec p) {
        float holes = 1e9f;
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 5; ++col)
                holes = std::min(holes, SdCircle(p, at(col, row), r));
        return std::max(SdBox(p, { 0.5f, 0.385f }, { 0.36f, 0.287f }, 0.03f), -holes);
    };
    FillSoft(c, kPanelLo, kPanelHi, Clip([&](Vec p) {
        return frame(p - Vec { 0.01f, 0.014f });
    }),
        kBlack, 0.45f, 0.015f);
    c.Fill(kPanelLo, kPanelHi, frame, [](Vec p) { return Mix(Hex(0x3D74D6), Hex(0x1A3F96), (p.y - 0.1f) / 0.57f); });
    c.Fill(
        kPanelLo, kPanelHi, [&](Vec p) { return std::fabs(frame(p) + 0.003f) - 0.003f; }, Hex(0x0E2766), 0.7f);
    // Rows from the top: '.' empty, 'R' red, 'Y' yellow; red has four on a diagonal.
    const char* rows[4] = { "...R.", ".YRY.", "YRYR.", "RYYRY" };
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 5; ++col) {
            char k = rows[row][col];
            if (k == '.')
                continue;
            Piece(c, at(col, row), r * 0.93f, k == 'R' ? Hex(0xD8261C) : Hex(0xF5C21B));
        }
}

// Lines of a square grid over the panel, centred on the panel.
void Grid(Canvas& c, float step, float width, Rgb colour, int columns, int rows)
{
    for (int k = -columns; k <= columns; ++k)
        Line(c, { 0.5f + k * step, 0.08f }, { 0.5f + k * step, 0.69f }, width, colour);
    for (int k = -rows; k <= rows; ++k)
        Line(c, { 0.1f, 0.385f + k * step }, { 0.9f, 0.385f + k * step }, width, colour);
}

void Go(Canvas& c)
{
    c.Fill(kPanelLo, kPanelHi, PanelSd, [](Vec p) {
        // Kaya wood: a warm gradient with soft grain.
        float grain = 0.5f + 0.5f * std::sin(p.x * 90.0f + std::sin(p.y * 9.0f) * 2.5f);
        return Mix(Hex(0xE8B870), Hex(0xCF9A50), 0.55f * (p.y - 0.09f) / 0.6f + 0.2f * grain);
    });
    const float step = 0.12f;
    Grid(c, step, 0.007f, Hex(0x3A2410), 3, 2);
    auto at = [step](int i, int j) { return Vec { 0.5f + i * step, 0.385f + j * step }; };
    c.Fill(
        Lo(at(0, 0), 0.03f), Hi(at(0, 0), 0.03f), [&](Vec p) { return SdCircle(p, at(0, 0), 0.016f); }, Hex(0x3A2410));
    const float r = 0.056f;
    Stone(c, at(-1, -1), r, true);
    Stone(c, at(0, -1), r, false);
    Stone(c, at(1, 0), r, true);
    Stone(c, at(-1, 0), r, false);
    Stone(c, at(-2, 1), r, true);
    Stone(c, at(1, 1), r, false);
    Stone(c, at(2, -1), r, true);
    Stone(c, at(0, 1), r, false);
}

void Gomoku(Canvas& c)
{
    Panel(c, Hex(0xFBF4DF), Hex(0xEADBB8));
    const float step = 0.085f;
    Grid(c, step, 0.004f, Hex(0x8A6E4E), 5, 4);
    auto at = [step](int i, int j) { return Vec { 0.5f + i * step, 0.385f + j * step }; };
    const float r = 0.039f;
    Stone(c, at(1, -2), r, false);
    Stone(c, at(-1, 1), r, false);
    Stone(c, at(2, 0), r, false);
    for (int k = -2; k <= 2; ++k)
        Stone(c, at(k, k), r, true);
    // The winning line, drawn through the five.
    Line(c, at(-2, -2) + Vec { -0.03f, -0.03f }, at(2, 2) + Vec { 0.03f, 0.03f }, 0.014f, Hex(0xD2261E), 0.85f);
}

void Reversi(Canvas& c)
{
    Panel(c, Hex(0x23934C), Hex(0x0F5C2C));
    const float step = 0.15f;
    for (int k = -2; k <= 2; ++k)
        Line(c, { 0.5f + k * step, 0.08f }, { 0.5f + k * step, 0.69f }, 0.006f, Hex(0x093D1C));
    for (int k = -2; k <= 2; ++k)
        Line(c, { 0.1f, 0.385f + (k + 0.5f) * step }, { 0.9f, 0.385f + (k + 0.5f) * step }, 0.006f, Hex(0x093D1C));
    auto at = [step](int i, int j) { return Vec { 0.5f + (i + 0.5f) * step, 0.385f + j * step }; };
    const float r = 0.058f;
    const char* rows[3] = { "W.WB", ".BWW", "BBW." };
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i)
            if (rows[j][i] != '.')
                Stone(c, at(i - 2, j - 1), r, rows[j][i] == 'B');
}

std::vector<Vec> Pentagon(Vec o, float h, float angle)
{
    std::vector<Vec> v = { { 0, -0.5f }, { 0.33f, -0.3f }, { 0.4f, 0.5f }, { -0.4f, 0.5f }, { -0.33f, -0.3f } };
    for (Vec& p : v)
        p = Rotate(o + p * h, o, angle);
    return v;
}

void ShogiPiece(Canvas& c, Vec o, float h, float angle, bool jewel)
{
    std::vector<Vec> shape = Pentagon(o, h, angle), edge = Pentagon(o + Vec { 0.006f, 0.014f }, h, angle);
    Vec lo = Lo(o, h * 0.6f), hi = Hi(o, h * 0.6f);
    FillSoft(
        c, lo, hi,
        [=](Vec p) {
            return SdPolygon(p - Vec { 0.012f, 0.02f }, shape);
        },
        kBlack, 0.5f, 0.02f);
    c.Fill(
        lo, hi, [=](Vec p) { return SdPolygon(p, edge) - 0.004f; }, Hex(0x8A5A28));
    c.Fill(
        lo, hi, [=](Vec p) { return SdPolygon(p, shape) - 0.004f; },
        [=](Vec p) {
            float t = (Rotate(p, o, -angle).y - o.y) / h + 0.5f;
            return Mix(Hex(0xFBE5B0), Hex(0xD9A862), t);
        });
    // The king's sign: three bars and a stem; the jewelled king adds a dot.
    const Stroke strokes[4] = { { { -0.2f, -0.2f }, { 0.2f, -0.2f } }, { { -0.17f, 0.04f }, { 0.17f, 0.04f } },
        { { -0.25f, 0.3f }, { 0.25f, 0.3f } }, { { 0, -0.2f }, { 0, 0.3f } } };
    for (const Stroke& s : strokes) {
        Vec a = Rotate(o + s.a * h, o, angle), b = Rotate(o + s.b * h, o, angle);
        c.Fill(
            lo, hi, [=](Vec p) { return SdSegment(p, a, b, 0.036f * h); }, kInk);
    }
    if (jewel) {
        Vec d = Rotate(o + Vec { 0.11f, 0.18f } * h, o, angle);
        c.Fill(
            lo, hi,
            [=](Vec p) {
                return SdSegment(p, d, d + Rotate(Vec { 0.05f, 0.04f } * h, { 0, 0 }, angle), 0.036f * h);
            },
            kInk);
    }
}

void Shogi(Canvas& c)
{
    Panel(c, Hex(0xEACB8A), Hex(0xCFA762));
    const float step = 0.15f;
    for (int k = -2; k <= 2; ++k)
        Line(c, { 0.5f + (k + 0.5f) * step, 0.08f }, { 0.5f + (k + 0.5f) * step, 0.69f }, 0.004f, Hex(0x5A3A16));
    for (int k = -2; k <= 2; ++k)
        Line(c, { 0.1f, 0.385f + (k + 0.5f) * step }, { 0.9f, 0.385f + (k + 0.5f) * step }, 0.004f, Hex(0x5A3A16));
    ShogiPiece(c, { 0.66f, 0.3f }, 0.3f, 3.14159265f, true);
    ShogiPiece(c, { 0.38f, 0.42f }, 0.38f, 0, false);
}

// A mahjong tile: green back, ivory layer and face; the face is drawn by the caller.
void MahjongTile(Canvas& c, Vec o)
{
    const Vec half = { 0.085f, 0.118f };
    Vec lo = Lo(o, 0.17f), hi = Hi(o, 0.17f);
    FillSoft(
        c, lo, hi,
        [=](Vec p) {
            return SdBox(p, o + Vec { 0.03f, 0.04f }, half, 0.018f);
        },
        kBlack, 0.5f, 0.02f);
    c.Fill(
        lo, hi,
        [=](Vec p) {
            return SdBox(p, o + Vec { 0.02f, 0.026f }, half, 0.018f);
        },
        [=](Vec p) { return Mix(Hex(0x3FA266), Hex(0x1D6A3C), (p.y - o.y) / 0.25f + 0.3f); });
    c.Fill(
        lo, hi,
        [=](Vec p) {
            return SdBox(p, o + Vec { 0.009f, 0.012f }, half, 0.018f);
        },
        Hex(0xD9CCA8));
    c.Fill(
        lo, hi, [=](Vec p) { return SdBox(p, o, half, 0.018f); },
        [=](Vec p) { return Mix(Hex(0xFFFBEE), Hex(0xEDE1C4), (p.y - o.y + half.y) / (2 * half.y)); });
    c.Fill(
        lo, hi, [=](Vec p) { return std::fabs(SdBox(p, o, half, 0.018f) + 0.002f) - 0.0025f; }, Hex(0xA39575));
}

void TaiPei(Canvas& c)
{
    Panel(c, Hex(0x2A6F73), Hex(0x123E46));
    const Vec left = { 0.37f, 0.46f }, right = { 0.57f, 0.47f }, top = { 0.475f, 0.27f };
    // Bamboo: two green stalks with joints.
    MahjongTile(c, left);
    for (float dx : { -0.03f, 0.03f }) {
        Vec a = left + Vec { dx, -0.08f }, b = left + Vec { dx, 0.08f };
        c.Fill(
            Lo(left, 0.12f), Hi(left, 0.12f), [=](Vec p) { return SdSegment(p, a, b, 0.011f); }, Hex(0x23914A));
        for (float jy : { -0.027f, 0.027f })
            c.Fill(
                Lo(left, 0.12f), Hi(left, 0.12f),
                [=](Vec p) {
                    return SdSegment(p, left + Vec { dx - 0.013f, jy }, left + Vec { dx + 0.013f, jy }, 0.004f);
                },
                Hex(0x0F5A2A));
    }
    // One circle: rings of blue, red and green.
    MahjongTile(c, right);
    const Rgb rings[3] = { Hex(0x1F5FB0), Hex(0xC8281E), Hex(0x1F8A46) };
    const float radii[3] = { 0.058f, 0.04f, 0.022f };
    for (int k = 0; k < 3; ++k)
        c.Fill(
            Lo(right, 0.08f), Hi(right, 0.08f),
            [=](Vec p) { return std::fabs(SdCircle(p, right, radii[k])) - 0.0075f; }, rings[k]);
    c.Fill(
        Lo(right, 0.02f), Hi(right, 0.02f), [=](Vec p) { return SdCircle(p, right, 0.008f); }, rings[1]);
    // The red dragon's sign: a box crossed by a stem.
    MahjongTile(c, top);
    const Rgb red = Hex(0xC81E18);
    c.Fill(
        Lo(top, 0.12f), Hi(top, 0.12f),
        [=](Vec p) {
            return std::fabs(SdBox(p, top + Vec { 0, -0.005f }, { 0.05f, 0.032f }, 0.004f)) - 0.008f;
        },
        red);
    c.Fill(
        Lo(top, 0.12f), Hi(top, 0.12f),
        [=](Vec p) {
            return SdSegment(p, top + Vec { 0, -0.085f }, top + Vec { 0, 0.085f }, 0.009f);
        },
        red);
}

} // namespace

void DrawPictogram(Canvas& c, const Font& font, int game)
{
    switch (game) {
    case 0:
        Backgammon(c);
        break;
    case 1:
        Bridge(c, font);
        break;
    case 2:
        Checkers(c);
        break;
    case 3:
        Chess(c, font);
        break;
    case 4:
        ChineseChess(c);
        break;
    case 5:
        Dominoes(c);
        break;
    case 6:
        FourInALine(c);
        break;
    case 7:
        Go(c);
        break;
    case 8:
        Gomoku(c);
        break;
    case 9:
        Reversi(c);
        break;
    case 10:
        Shogi(c);
        break;
    default:
        TaiPei(c);
        break;
    }
    PanelFrame(c);
}

void DrawButton(Canvas& c, const Font& font, int game, std::vector<std::uint8_t>& inside)
{
    const float size = float(c.Width());
    c.SetFrame(0, 0, size);
    const Vec centre = { 0.5f, 0.5f }, half = { 0.49f, 0.49f };
    const float radius = 0.12f;
    auto tile = [=](Vec p) { return SdBox(p, centre, half, radius); };
    // Edge pixels blend towards the felt that the button will sit on.
    inside.assign(std::size_t(c.Width()) * c.Height(), 0);
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            c.At(x, y) = Hex(0x174E3C);
            if (tile({ (x + 0.5f) / size, (y + 0.5f) / size }) < 0)
                inside[std::size_t(y) * c.Width() + x] = 1;
        }
    // Bronze rim lit from the top left, a dark edge, then the ivory face.
    c.Fill({ 0, 0 }, { 1, 1 }, tile, [](Vec p) { return Mix(Hex(0xE8C77E), Hex(0x7A4E22), (p.x + p.y) / 2); });
    c.Fill(
        { 0, 0 }, { 1, 1 }, [=](Vec p) { return std::fabs(tile(p) + 0.004f) - 0.004f; }, Hex(0x3A2410), 0.9f);
    const float rim = 0.032f;
    auto face = [=](Vec p) { return SdBox(p, centre, { half.x - rim, half.y - rim }, radius - rim); };
    c.Fill(
        { 0, 0 }, { 1, 1 }, [=](Vec p) { return std::fabs(face(p)) - 0.006f; },
        [](Vec p) { return Mix(Hex(0x6A4018), Hex(0xF6E2A8), (p.x + p.y) / 2); }, 0.8f);
    c.Fill({ 0, 0 }, { 1, 1 }, face, [](Vec p) { return Mix(Hex(0xFFF9EA), Hex(0xE9D6AE), p.y); });

    DrawPictogram(c, font, game);

    // The name, as large as fits the band below the picture.
    const std::string name = kGameNames[game];
    const float capUnits = 0.082f, maxWidth = 0.8f * size;
    float em = capUnits * size * 100.0f / font.CapHeight(100.0f);
    float width = font.Measure(name, em);
    if (width > maxWidth) {
        em *= maxWidth / width;
        width = font.Measure(name, em);
    }
    float cap = font.CapHeight(em);
    float x = std::round((size - width) / 2 * 4) / 4;
    float baseline = std::round(0.808f * size + cap / 2);
    Mask text(c.Width(), c.Height());
    font.DrawText(text, name, em, x, baseline);
    c.Apply(text, kWhite, 0.7f, 0, 1);
    c.Apply(text, Hex(0x4A2A10));
}

void Brighten(Canvas& c)
{
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            Rgb& p = c.At(x, y);
            p = Clamp(p * 1.12f + Rgb { 0.09f, 0.085f, 0.06f });
        }
}

} // namespace art
