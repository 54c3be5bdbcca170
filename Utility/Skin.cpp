#include "Utility/Skin.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/Preferences.h"

namespace {
bool isSkin(std::int32_t skinId) { return skinId >= 0 && skinId < kSkinCount; }
const SkinColor kDarkText = colorFromRGB(20, 20, 20);
const SkinColor kWhiteText = colorFromRGB(255, 255, 255);
}  // namespace

std::int32_t pmGetSkinID() {
    const std::int32_t stored = pmGetProfileInt(kKeySkinId, kDefaultSkinId);
    return isSkin(stored) ? stored : kDefaultSkinId;
}

void pmSaveSkinID(std::int32_t skinId) {
    pmWriteProfileInt(kKeySkinId, isSkin(skinId) ? skinId : kDefaultSkinId);
    pmSynchronizePreferences();
}

std::string pmGetSkinImageName(std::int32_t skinId, std::string_view baseName) {
    return pmFormat("skin_%02d_", static_cast<int>(skinId + 1)) + std::string(baseName);
}

SkinColor colorFromRGB(std::int32_t red, std::int32_t green, std::int32_t blue) {
    return {red / 255.0, green / 255.0, blue / 255.0, 1.0};
}

SkinColor pmGetSkinTitleTextColor(std::int32_t skinId) { return skinId == 1 ? kDarkText : kWhiteText; }

SkinColor pmGetSkinDialogTextColor(std::int32_t skinId) {
    return skinId == 1 || skinId == 2 ? kDarkText : kWhiteText;
}
