// Anti-aliased text and symbol glyphs from one TrueType face, rendered into coverage masks.
#pragma once

#include "Canvas.h"

#include <string>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace art {

class Font {
public:
    explicit Font(const char* path);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Advance width in pixels of an ASCII string at a pixel size; tracking is extra space per letter (pixels).
    float Measure(const std::string& text, float size, float tracking = 0) const;
    // Height of a capital letter at a pixel size.
    float CapHeight(float size) const;
    // Adds the string to the mask, starting at pixel x on the baseline y.
    void DrawText(Mask& mask, const std::string& text, float size, float x, float baseline, float tracking = 0) const;
    // Adds one glyph, turned by angle (radians, clockwise), with its outline's box centred on (cx, cy) pixels.
    void DrawGlyph(Mask& mask, char32_t codepoint, float size, float cx, float cy, float angle = 0) const;
    // Width and height in pixels of a glyph's outline box at a pixel size.
    Vec GlyphExtent(char32_t codepoint, float size) const;

private:
    unsigned Index(char32_t codepoint) const;
    void SetSize(float size) const;
    void Render(Mask& mask, int originX, int originY) const;
    // Loads each glyph of `text` in turn, kerned, calls `onGlyph(pen)` with the 26.6 pen position it
    // starts at, and returns the pen after the last one.
    template <class OnGlyph>
    long Lay(const std::string& text, float size, long pen, float tracking, OnGlyph onGlyph) const;

    FT_LibraryRec_* m_library = nullptr;
    FT_FaceRec_* m_face = nullptr;
};

} // namespace art
