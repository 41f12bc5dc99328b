// FreeType rendering of the artwork's lettering.
#include "Font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <stdexcept>

namespace art {

Font::Font(const char* path)
{
    if (FT_Init_FreeType(&m_library) != 0)
        throw std::runtime_error("FreeType cannot start");
    if (FT_New_Face(m_library, path, 0, &m_face) != 0) {
        FT_Done_FreeType(m_library);
        throw std::runtime_error(std::string("cannot read font ") + path);
    }
}

Font::~Font()
{
    FT_Done_Face(m_face);
    FT_Done_FreeType(m_library);
}

unsigned Font::Index(char32_t codepoint) const
{
    unsigned index = FT_Get_Char_Index(m_face, codepoint);
    // A missing symbol would silently draw an empty box.
    if (index == 0)
        throw std::runtime_error("the font has no glyph for U+" + std::to_string(unsigned(codepoint)));
    return index;
}

void Font::SetSize(float size) const
{
    FT_Set_Char_Size(m_face, 0, FT_F26Dot6(std::lround(size * 64)), 72, 72);
}

template <class OnGlyph>
long Font::Lay(const std::string& text, float size, long pen, float tracking, OnGlyph onGlyph) const
{
    SetSize(size);
    unsigned previous = 0;
    for (char ch : text) {
        unsigned index = Index(static_cast<unsigned char>(ch));
        if (previous != 0 && FT_HAS_KERNING(m_face)) {
            FT_Vector kern;
            FT_Get_Kerning(m_face, previous, index, FT_KERNING_UNFITTED, &kern);
            pen += kern.x;
        }
        FT_Load_Glyph(m_face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT);
        onGlyph(pen);
        pen += (m_face->glyph->linearHoriAdvance >> 10) + std::lround(tracking * 64);
        previous = index;
    }
    return pen;
}

float Font::Measure(const std::string& text, float size, float tracking) const
{
    long pen = Lay(text, size, 0, tracking, [](long) {});
    return (pen - std::lround(tracking * 64)) / 64.0f;
}

float Font::CapHeight(float size) const
{
    return GlyphExtent('H', size).y;
}

void Font::Render(Mask& mask, int originX, int originY) const
{
    FT_GlyphSlot slot = m_face->glyph;
    FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL);
    const FT_Bitmap& bitmap = slot->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row)
        for (unsigned col = 0; col < bitmap.width; ++col) {
            int x = originX + slot->bitmap_left + int(col), y = originY - slot->bitmap_top + int(row);
            if (x < 0 || y < 0 || x >= mask.width || y >= mask.height)
                continue;
            float& a = mask.a[std::size_t(y) * mask.width + x];
            // Neighbouring glyphs may touch; coverage never adds past full.
            a = std::min(1.0f, a + bitmap.buffer[row * bitmap.pitch + col] / 255.0f);
        }
}

void Font::DrawText(Mask& mask, const std::string& text, float size, float x, float baseline, float tracking) const
{
    long base = std::lround(baseline * 64);
    Lay(text, size, std::lround(x * 64), tracking, [&](long pen) {
        // Whole pixels go to the origin, the fraction into the outline: even spacing at small sizes.
        long ox = pen >> 6, oy = base >> 6;
        FT_Outline_Translate(&m_face->glyph->outline, pen - ox * 64, -(base - oy * 64));
        Render(mask, int(ox), int(oy));
    });
}

Vec Font::GlyphExtent(char32_t codepoint, float size) const
{
    SetSize(size);
    FT_Load_Glyph(m_face, Index(codepoint), FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING);
    FT_BBox box;
    FT_Outline_Get_CBox(&m_face->glyph->outline, &box);
    return { (box.xMax - box.xMin) / 64.0f, (box.yMax - box.yMin) / 64.0f };
}

void Font::DrawGlyph(Mask& mask, char32_t codepoint, float size, float cx, float cy, float angle) const
{
    SetSize(size);
    FT_Load_Glyph(m_face, Index(codepoint), FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING);
    FT_Outline* outline = &m_face->glyph->outline;
    // Font space has y up, so a clockwise turn on screen is a negative angle there.
    FT_Matrix turn;
    turn.xx = FT_Fixed(std::lround(std::cos(angle) * 65536));
    turn.xy = FT_Fixed(std::lround(std::sin(angle) * 65536));
    turn.yx = -turn.xy;
    turn.yy = turn.xx;
    FT_Outline_Transform(outline, &turn);
    FT_BBox box;
    FT_Outline_Get_CBox(outline, &box);
    int ox = int(std::floor(cx)), oy = int(std::floor(cy));
    long tx = std::lround((cx - ox) * 64) - (box.xMin + box.xMax) / 2;
    long ty = -std::lround((cy - oy) * 64) - (box.yMin + box.yMax) / 2;
    FT_Outline_Translate(outline, tx, ty);
    Render(mask, ox, oy);
}

} // namespace art
