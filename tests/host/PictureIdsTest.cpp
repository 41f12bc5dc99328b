// The pictures' resource ids: the ones the launcher has always loaded, and no two pictures sharing one.
#include "res/PictureIds.h"

#include <gtest/gtest.h>

#include <set>

namespace velmora {

namespace {

TEST(PictureIds, ButtonsKeepTheirIds)
{
    struct Row {
        int size, game;
        bool lit;
        int id;
    };
    static const Row rows[] = {
        { 0, 0, false, 173 },
        { 0, 0, true, 188 },
        { 0, 5, false, 178 },
        { 0, 5, true, 193 },
        { 0, 6, false, 182 },
        { 0, 6, true, 194 },
        { 0, 11, false, 187 },
        { 0, 11, true, 199 },
        { 1, 0, false, 200 },
        { 1, 0, true, 201 },
        { 1, 6, false, 212 },
        { 1, 11, true, 223 },
        { 2, 0, false, 224 },
        { 2, 7, true, 239 },
        { 2, 11, false, 246 },
        { 2, 11, true, 247 },
    };
    for (const Row& row : rows)
        EXPECT_EQ(ButtonPictureId(row.size, row.game, row.lit), row.id)
            << "size " << row.size << " game " << row.game << (row.lit ? " lit" : "");
}

TEST(PictureIds, BackgroundsAndStartUpPicturesKeepTheirIds)
{
    EXPECT_EQ(BackgroundPictureId(0), 148);
    EXPECT_EQ(BackgroundPictureId(1), 147);
    EXPECT_EQ(BackgroundPictureId(2), 149);
    EXPECT_EQ(kStartUpPictureIds[0], 249);
    EXPECT_EQ(kStartUpPictureIds[1], 250);
}

TEST(PictureIds, NoTwoPicturesShareAnId)
{
    std::set<int> seen;
    auto add = [&](int id) { EXPECT_TRUE(seen.insert(id).second) << id; };
    for (int size = 0; size < kPictureSizeCount; ++size) {
        add(BackgroundPictureId(size));
        for (int game = 0; game < kPictureGameCount; ++game) {
            add(ButtonPictureId(size, game, false));
            add(ButtonPictureId(size, game, true));
        }
    }
    for (int id : kStartUpPictureIds)
        add(id);
}

} // namespace

} // namespace velmora
