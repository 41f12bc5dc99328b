// Resource ids of the launcher's pictures: read by the resource compiler, the program, the artwork tools and the tests.
#pragma once

// The backgrounds, one per window size.
#define IDB_BACKGROUND_SMALL 148
#define IDB_BACKGROUND_MEDIUM 147
#define IDB_BACKGROUND_LARGE 149

// The game buttons. Small: the first six games' normal pictures, three ids that hold none, the other
// six's, then the twelve highlighted ones. Medium and large: normal and highlighted in turn, game by game.
#define IDB_SMALL_BUTTONS 173
#define IDB_SMALL_BUTTONS_AFTER_GAP 182
#define IDB_SMALL_BUTTONS_LIT 188
#define IDB_MEDIUM_BUTTONS 200
#define IDB_LARGE_BUTTONS 224

// The start-up pictures, in the order they are shown.
#define IDB_MAKER_CARD 249
#define IDB_TITLE_CARD 250

#ifndef RC_INVOKED
namespace velmora {

// Sizes are numbered as the window sizes are: 0 small, 1 medium, 2 large.
inline constexpr int kPictureSizeCount = 3;
inline constexpr int kPictureGameCount = 12;
inline constexpr int kSmallButtonsBeforeGap = 6;
inline constexpr int kStartUpPictureIds[2] = { IDB_MAKER_CARD, IDB_TITLE_CARD };

constexpr int BackgroundPictureId(int size)
{
    return size == 0 ? IDB_BACKGROUND_SMALL : size == 1 ? IDB_BACKGROUND_MEDIUM : IDB_BACKGROUND_LARGE;
}

constexpr int ButtonPictureId(int size, int game, bool lit)
{
    if (size == 0) {
        if (lit)
            return IDB_SMALL_BUTTONS_LIT + game;
        return game < kSmallButtonsBeforeGap ? IDB_SMALL_BUTTONS + game
                                             : IDB_SMALL_BUTTONS_AFTER_GAP + game - kSmallButtonsBeforeGap;
    }
    return (size == 1 ? IDB_MEDIUM_BUTTONS : IDB_LARGE_BUTTONS) + 2 * game + (lit ? 1 : 0);
}

} // namespace velmora
#endif
