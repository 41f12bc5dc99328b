// Writes the launcher's pictures as 8-bit BMP files, and artwork.rc listing them as bitmap resources;
// or only the list of the pictures' file names, one a line, for the build to know them in advance.
// Usage: make_artwork <output folder> <font.ttf> | make_artwork --list <file>
#include "app/ScreenSizes.h"
#include "artwork/Designs.h"
#include "artwork/Palette.h"
#include "res/PictureIds.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>

using namespace art;

namespace {

struct Picture {
    int id;
    Canvas canvas;
    std::vector<std::uint8_t> inside; // buttons only: 1 where the button is drawn
};

static_assert(kGameCount == velmora::kPictureGameCount);

// The twenty colours the display keeps for itself, at both ends of the table.
void PutStaticColours(std::array<Color8, 256>& table)
{
    const Color8 low[10] = { { 0, 0, 0 }, { 128, 0, 0 }, { 0, 128, 0 }, { 128, 128, 0 }, { 0, 0, 128 }, { 128, 0, 128 },
        { 0, 128, 128 }, { 192, 192, 192 }, { 192, 220, 192 }, { 166, 202, 240 } };
    const Color8 high[10] = { { 255, 251, 240 }, { 160, 160, 164 }, { 128, 128, 128 }, { 255, 0, 0 }, { 0, 255, 0 },
        { 255, 255, 0 }, { 0, 0, 255 }, { 255, 0, 255 }, { 0, 255, 255 }, { 255, 255, 255 } };
    for (int i = 0; i < 10; ++i) {
        table[i] = low[i];
        table[246 + i] = high[i];
    }
}

// Fills entries first..first+count-1 with chosen colours (repeating the last if fewer were needed).
void PutChosen(std::array<Color8, 256>& table, int first, int count, const std::vector<Color8>& chosen)
{
    for (int i = 0; i < count; ++i)
        table[first + i] = chosen[std::min<std::size_t>(i, chosen.size() - 1)];
}

std::string FileName(int id)
{
    return "bmp" + std::to_string(id) + ".bmp";
}

// The file names of every picture that a full run writes.
void WriteList(const char* path)
{
    std::ofstream list(path, std::ios::binary);
    for (int set = 0; set < velmora::kPictureSizeCount; ++set) {
        list << FileName(velmora::BackgroundPictureId(set)) << '\n';
        for (int game = 0; game < kGameCount; ++game)
            for (bool bright : { false, true })
                list << FileName(velmora::ButtonPictureId(set, game, bright)) << '\n';
    }
    for (int id : velmora::kStartUpPictureIds)
        list << FileName(id) << '\n';
    if (!list.flush())
        throw std::runtime_error(std::string("cannot write ") + path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_artwork <output folder> <font.ttf> | make_artwork --list <file>\n");
        return 2;
    }
    try {
        if (std::string(argv[1]) == "--list") {
            WriteList(argv[2]);
            return 0;
        }
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        Font font(argv[2]);

        std::vector<Picture> pictures;
        const int buttonSizes[velmora::kPictureSizeCount] = { 110, 137, 176 };
        for (int set = 0; set < velmora::kPictureSizeCount; ++set) {
            // A background is as large as the window of its size.
            const velmora::Extent size = velmora::kScreenSizes[set];
            Picture background { velmora::BackgroundPictureId(set), Canvas(size.width, size.height, { 0, 0, 0 }), {} };
            DrawBackground(background.canvas, font);
            pictures.push_back(std::move(background));
            for (int game = 0; game < kGameCount; ++game) {
                Picture normal { velmora::ButtonPictureId(set, game, false),
                    Canvas(buttonSizes[set], buttonSizes[set], { 0, 0, 0 }), {} };
                DrawButton(normal.canvas, font, game, normal.inside);
                Picture bright { velmora::ButtonPictureId(set, game, true), normal.canvas, normal.inside };
                Brighten(bright.canvas);
                pictures.push_back(std::move(normal));
                pictures.push_back(std::move(bright));
            }
        }

        // One table for all: the static colours, then 236 chosen for these pictures. Buttons count double, as
        // their small details need the colours more than the backgrounds' smooth shades do.
        ColourCount count;
        for (const Picture& p : pictures)
            count.Add(p.canvas, p.inside.empty() ? nullptr : &p.inside, p.inside.empty() ? 1.0 : 2.0);
        std::array<Color8, 256> table {};
        PutStaticColours(table);
        PutChosen(table, 10, 236, count.Choose(236));
        // Only the chosen colours are matched: index 0 is left for the buttons' transparent surround.
        ColourMatcher matcher(table, 10, 245);
        std::map<int, std::string> resources;
        for (const Picture& p : pictures) {
            std::vector<std::uint8_t> indices = matcher.Map(p.canvas, p.inside.empty() ? 6.0f : 2.0f);
            for (std::size_t i = 0; i < p.inside.size(); ++i)
                if (!p.inside[i])
                    indices[i] = 0;
            WriteBmp((folder / FileName(p.id)).string(), p.canvas.Width(), p.canvas.Height(), indices, table);
            resources[p.id] = FileName(p.id);
        }

        // The start-up cards each get a whole table of their own.
        for (int id : velmora::kStartUpPictureIds) {
            Canvas card(640, 480, { 0, 0, 0 });
            if (id == IDB_MAKER_CARD)
                DrawMakerCard(card, font);
            else
                DrawTitleCard(card, font);
            ColourCount own;
            own.Add(card, nullptr, 1.0);
            std::array<Color8, 256> cardTable {};
            PutChosen(cardTable, 0, 256, own.Choose(256));
            ColourMatcher cardMatcher(cardTable, 0, 255);
            WriteBmp((folder / FileName(id)).string(), 640, 480, cardMatcher.Map(card, 5.0f), cardTable);
            resources[id] = FileName(id);
        }

        std::ofstream rc(folder / "artwork.rc", std::ios::binary);
        rc << "// Generated by make_artwork: the launcher's pictures.\n";
        for (const auto& [id, file] : resources)
            rc << id << " BITMAP \"" << file << "\"\n";
        if (!rc.flush())
            throw std::runtime_error("cannot write artwork.rc");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_artwork: %s\n", e.what());
        return 1;
    }
    return 0;
}
