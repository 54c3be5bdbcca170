#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The skins: which one is in use, how an image is named per skin, and the text colours that
// depend on the skin. Views ask for images by base name ("button_play.png"); only this file
// knows the per-skin prefix.

inline constexpr std::int32_t kSkinCount = 4;

// The skin in use: the setting "SKIN_ID", default 0. A value outside 0..3 (a hand-edited file)
// reads as 0, so the window never looks for images that do not exist.
std::int32_t pmGetSkinID();
// Stores the skin and has the settings written out now; an id outside 0..3 is stored as 0.
void pmSaveSkinID(std::int32_t skinId);

// "skin_%02d_%s" with skin index + 1: skin 0 and "button_play.png" give "skin_01_button_play.png".
std::string pmGetSkinImageName(std::int32_t skinId, std::string_view baseName);

// A device colour, each component 0 to 1.
struct SkinColor {
    double red = 0, green = 0, blue = 0, alpha = 1;
    bool operator==(const SkinColor&) const = default;
};

// An opaque colour from components 0 to 255.
SkinColor colorFromRGB(std::int32_t red, std::int32_t green, std::int32_t blue);

// Titles: dark grey (20/255) on skin 1, white on the others.
SkinColor pmGetSkinTitleTextColor(std::int32_t skinId);
inline SkinColor pmGetSkinTitleTextColor() { return pmGetSkinTitleTextColor(pmGetSkinID()); }
// Dialog texts: dark grey on skins 1 and 2, white on 0 and 3.
SkinColor pmGetSkinDialogTextColor(std::int32_t skinId);
inline SkinColor pmGetSkinDialogTextColor() { return pmGetSkinDialogTextColor(pmGetSkinID()); }

// The layout variant views pick their positions by: always 1.
inline constexpr std::int32_t pmGetLayoutSkin() { return 1; }
