#include "views/SettingsMenu.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/Language.h"
#include "Utility/Skin.h"
#include "views/ViewStyle.h"

#include <QActionGroup>
#include <QMenu>

#include <array>
#include <memory>
#include <numeric>

namespace {

// A submenu of checkable entries, one per id, the current one checked.
template <class Ids, class Label>
void addChoices(QMenu& menu, const char* titleKey, const char* objectName, const Ids& ids, std::int32_t current,
                const Label& label, const std::function<void(std::int32_t)>& choose) {
    QMenu* submenu = menu.addMenu(pmViewString(titleKey));
    submenu->setObjectName(objectName);
    auto* group = new QActionGroup(submenu);
    for (std::int32_t id : ids) {
        QAction* entry = submenu->addAction(label(id));
        entry->setCheckable(true);
        entry->setChecked(id == current);
        entry->setData(id);
        group->addAction(entry);
        QObject::connect(entry, &QAction::triggered, submenu, [choose, id] {
            if (choose) choose(id);
        });
    }
}

}  // namespace

QMenu* pmBuildSettingsMenu(const SettingsMenuActions& actions, QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName("settingsMenu");
    menu->setTitle(QStringLiteral("Settings"));
    addChoices(*menu, "IDS_CHANGE_LANGUAGE", "languageMenu", kLanguageMenu, getLanguageId(),
               [](std::int32_t id) { return pmViewString(pmGetLanguageLabelKey(id)); }, actions.chooseLanguage);
    QAction* about = menu->addAction(pmViewString("IDS_ABOUT"));
    about->setObjectName("aboutAction");
    QObject::connect(about, &QAction::triggered, menu, [action = actions.about] {
        if (action) action();
    });
    // Our addition: the skins, chosen in the window too.
    std::array<std::int32_t, kSkinCount> skins{};
    std::iota(skins.begin(), skins.end(), 0);
    addChoices(*menu, "IDS_CHANGE_SKIN", "skinMenu", skins, pmGetSkinID(),
               [](std::int32_t id) { return pmViewString(pmFormat("IDS_SKIN_STYLE_%02d", id + 1)); }, actions.chooseSkin);
    return menu;
}

void pmPopUpSettingsMenu(QWidget& button, const SettingsMenuActions& actions) {
    const std::unique_ptr<QMenu> menu(pmBuildSettingsMenu(actions, &button));
    menu->exec(button.mapToGlobal(QPoint(0, button.height())));
}
