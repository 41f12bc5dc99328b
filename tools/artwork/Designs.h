// The launcher's pictures in full colour: the twelve game buttons, the background and the two start-up cards.
#pragma once

#include "Canvas.h"
#include "Font.h"

#include <cstdint>
#include <vector>

namespace art {

constexpr int kGameCount = 12;
// As the Launch menu spells them, in catalogue order.
extern const char* const kGameNames[kGameCount];

// Draws button `game` over the whole (square) canvas; inside gets 1 for the button's own pixels, 0 elsewhere.
void DrawButton(Canvas& canvas, const Font& font, int game, std::vector<std::uint8_t>& inside);
// The game's picture panel alone, in button units (the canvas's frame places it).
void DrawPictogram(Canvas& canvas, const Font& font, int game);
// The highlighted copy: the same picture, brighter.
void Brighten(Canvas& canvas);
void DrawBackground(Canvas& canvas, const Font& font);
void DrawMakerCard(Canvas& canvas, const Font& font);
void DrawTitleCard(Canvas& canvas, const Font& font);

} // namespace art
