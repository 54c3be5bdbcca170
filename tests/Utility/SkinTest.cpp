#include "Utility/Skin.h"
#include "support/MemoryPreferences.h"

#include <gtest/gtest.h>

TEST(Skin, StoredSkinOutsideTheFourReadsAsTheFirst) {
    MemoryPreferences store;
    EXPECT_EQ(pmGetSkinID(), 0);
    const std::pair<PreferenceValue, std::int32_t> cases[] = {
        {3, 3}, {2, 2}, {4, 0}, {-1, 0}, {99, 0}, {std::string("2"), 0}};
    for (const auto& [stored, read] : cases) {
        store.values["SKIN_ID"] = stored;
        EXPECT_EQ(pmGetSkinID(), read) << testing::PrintToString(stored);
    }
    pmSaveSkinID(2);
    EXPECT_EQ(store.values.at("SKIN_ID"), PreferenceValue(2));
    EXPECT_EQ(store.synchronizeCount, 1) << "a chosen skin is written out at once";
    pmSaveSkinID(7);
    EXPECT_EQ(store.values.at("SKIN_ID"), PreferenceValue(0));
}

TEST(Skin, TextColoursFollowTheSkin) {
    const SkinColor dark{20 / 255.0, 20 / 255.0, 20 / 255.0, 1};
    const SkinColor white{1, 1, 1, 1};
    const SkinColor title[kSkinCount] = {white, dark, white, white};
    const SkinColor dialog[kSkinCount] = {white, dark, dark, white};
    for (int skin = 0; skin < kSkinCount; ++skin) {
        EXPECT_EQ(pmGetSkinTitleTextColor(skin), title[skin]) << skin;
        EXPECT_EQ(pmGetSkinDialogTextColor(skin), dialog[skin]) << skin;
    }
    EXPECT_EQ(colorFromRGB(255, 118, 147), (SkinColor{1, 118 / 255.0, 147 / 255.0, 1}));
}
