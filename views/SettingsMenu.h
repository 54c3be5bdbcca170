#pragma once
#include <cstdint>
#include <functional>

class QMenu;
class QWidget;

// What the settings menu's entries do.
struct SettingsMenuActions {
    std::function<void(std::int32_t languageId)> chooseLanguage;
    std::function<void(std::int32_t skinId)> chooseSkin;
    std::function<void()> about;
};

// The settings menu, built afresh at each opening so that its texts and checks are current: the
// language submenu (one entry per language the user can choose, labelled in its own language, the
// current one checked), About and the skin submenu (each skin, the current one checked). The caller
// owns the menu.
QMenu* pmBuildSettingsMenu(const SettingsMenuActions& actions, QWidget* parent);

// Opens the settings menu below `button` (its left edge, its height down) and returns once it
// closed, after the chosen entry's action ran.
void pmPopUpSettingsMenu(QWidget& button, const SettingsMenuActions& actions);
