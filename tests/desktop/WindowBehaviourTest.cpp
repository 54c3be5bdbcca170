// The window as a user drives it: the keys, the screen modes, the settings menu and the language.
#include "WindowProgramFixture.h"
#include "Utility/Version.h"
#include "support/ModalDriver.h"
#include "support/Screenshot.h"
#include "views/CalendarWidget.h"
#include "views/MovieViewFrame.h"
#include "views/SkinnedButtons.h"
#include "views/ToolbarWidget.h"

#include <nlohmann/json.hpp>

#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTextLayout>

#include <set>

namespace {

class WindowBehaviour : public WindowProgramTest {
protected:
    // A key as the user types it: to the widget that has the focus, else to the window.
    void type(Qt::Key key) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus && focus->window() == &window() ? focus : &window(), key);
        QApplication::processEvents();
    }
    // Opens the settings menu from its button and runs `inside` on it while it is open.
    void withSettingsMenu(const std::function<void(QMenu&)>& inside) {
        bool ran = false;
        QTimer::singleShot(200, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr) << "no menu opened";
            ran = true;
            inside(*menu);
            if (menu->isVisible()) menu->close();
        });
        QTest::mouseClick(&window().toolbar().settingsButton(), Qt::LeftButton);
        EXPECT_TRUE(ran);
    }
};

// The texts the window shows in widgets (title, labels, button texts, tool tips) with their fonts.
std::vector<std::pair<QString, QFont>> shownTexts(QWidget& window) {
    std::vector<std::pair<QString, QFont>> texts{{window.windowTitle(), QApplication::font()}};
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window)) continue;
        texts.emplace_back(widget->toolTip(), QApplication::font());
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) texts.emplace_back(button->text(), button->font());
        if (auto* label = qobject_cast<QLabel*>(widget)) texts.emplace_back(label->text(), label->font());
    }
    std::erase_if(texts, [](const auto& shown) { return shown.first.isEmpty(); });
    return texts;
}

// The English texts the Traditional Chinese table translates differently.
std::set<QString> englishOnlyTexts() {
    auto table = [](const char* name) {
        return nlohmann::json::parse(readFile(std::string(CARTENA_SOURCE_DIR "/resources/strings/") + name + ".json"));
    };
    const nlohmann::json english = table("English"), chinese = table("TraditionalChinese");
    std::set<QString> only;
    for (const auto& [key, text] : english.items())
        if (chinese.value(key, "") != text) only.insert(QString::fromStdString(text.get<std::string>()));
    return only;
}

// What is wrong with the drawing of a text in a font: characters without a glyph, Latin letters and
// digits not in the Helvetica-metric font, Han characters not in the Traditional Chinese one.
std::string fontFaults(const QString& text, const QFont& font) {
    std::string faults;
    for (const QChar c : text) {
        QTextLayout layout(QString(c), font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun& run : layout.glyphRuns()) {
            const QString family = run.rawFont().familyName();
            const bool latin = c.unicode() < 0x80 && c.isLetterOrNumber(), han = c.script() == QChar::Script_Han;
            if (run.glyphIndexes().contains(0) || (latin && family != "Nimbus Sans") ||
                (han && family != "Noto Sans CJK TC"))
                faults += QString("%1 in %2; ").arg(c, family).toStdString();
        }
    }
    return faults;
}

}  // namespace

TEST_F(WindowBehaviour, EachKeyActsThroughThePlayBarAndFullScreenKeepsTheWindowState) {
    start();
    QTest::mouseClick(&window().calendar().modeButton(), Qt::LeftButton);  // every date
    spinFor(0.2);
    const int row = rowNamed("PARK0002.MOV");  // 20 s, so that a seek has room
    ASSERT_TRUE(row >= 0 && row + 1 < rows().getCount());
    ASSERT_TRUE(play(row));
    MoviePlayer& player = program->player1();
    PlayBarWidget& bar = window().playBar();
    // The camera clock of the picture the large view shows, in seconds of the day, if readable.
    auto shownSecond = [&]() -> std::optional<int> {
        const auto stamp = stampInView(window().grab().toImage(), window(), window().movieView(), player.naturalSize());
        return stamp ? std::optional(stamp->hour * 3600 + stamp->minute * 60 + stamp->second) : std::nullopt;
    };
    type(Qt::Key_Space);
    std::optional<int> before, after;
    ASSERT_TRUE(spinUntil([&] { return player.rate() == 0.0f && (before = shownSecond()); }));

    // Each key in turn, and what it reaches: the picture 5 s later and back, the player's rate,
    // volume and mute, the next row and back.
    const float volume = player.volume();
    auto shows = [&](int seconds) { return (after = shownSecond()) && std::abs(*after - *before - seconds) <= 1; };
    const std::pair<Qt::Key, std::function<bool()>> steps[] = {
        {Qt::Key_Right, [&] { return shows(5); }},
        {Qt::Key_Left, [&] { return shows(0); }},
        {Qt::Key_Space, [&] { return player.rate() == 1.0f; }},
        {Qt::Key_S, [&] { return player.rate() == 1.5f && bar.speedButtonIndex() == 1; }},
        {Qt::Key_Up, [&] { return player.volume() > volume; }},
        {Qt::Key_Down, [&] { return player.volume() == volume; }},
        {Qt::Key_M, [&] { return player.isMuted(); }},
        {Qt::Key_M, [&] { return !player.isMuted(); }},
        {Qt::Key_PageDown, [&] { return player.path() == pathOf(row + 1); }},
        {Qt::Key_PageUp, [&] { return player.path() == pathOf(row); }},
    };
    for (const auto& [key, reached] : steps) {
        type(key);
        EXPECT_TRUE(spinUntil(reached, 5.0)) << QKeySequence(key).toString().toStdString();
    }
    // No key acts while the settings menu or a dialog (the about box) is open.
    ModalDriver aboutBox({[](QWidget* box) {
        QTest::keyClick(box, Qt::Key_S);
        box->close();
    }});
    withSettingsMenu([&](QMenu& menu) {
        QTest::keyClick(&menu, Qt::Key_S);
        menu.findChild<QAction*>("aboutAction")->trigger();
    });
    EXPECT_TRUE(aboutBox.done() && bar.speedButtonIndex() == 1);

    // A maximised window comes back maximised, and the screen mode follows the window manager when
    // it ends full screen (here: the state set from outside).
    AppDelegate& controller = program->controller();
    window().showMaximized();
    spinFor(0.2);
    type(Qt::Key_F11);
    EXPECT_TRUE(controller.screenMode() == 1 && (window().windowState() & Qt::WindowFullScreen));
    type(Qt::Key_Escape);
    EXPECT_EQ(controller.screenMode(), 0);
    EXPECT_EQ(window().windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized), Qt::WindowMaximized);
    window().showNormal();
    type(Qt::Key_F11);
    ASSERT_EQ(controller.screenMode(), 1);
    window().setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(spinUntil([&] { return controller.screenMode() == 0 && !bar.isFullScreenShown(); }, 2.0));
    EXPECT_FALSE(window().calendar().isHidden());
}

TEST_F(WindowBehaviour, TheLanguageMenuSwitchesEveryTextAndBackDrawingHanAndLatinInTheirFonts) {
    start();
    const auto english = shownTexts(window());
    auto choose = [&](int position, const QString& shot) {
        withSettingsMenu([&](QMenu& menu) {
            QMenu* languages = menu.findChild<QMenu*>("languageMenu");
            ASSERT_NE(languages, nullptr);
            menu.setActiveAction(languages->menuAction());
            ASSERT_TRUE(spinUntil([&] { return languages->isVisible(); }, 2.0));
            saveScreenshot(menu, shot + "-menu");
            saveScreenshot(*languages, shot + "-languages");
            // Only the current language, the other one, is checked.
            const QList<QAction*> entries = languages->actions();
            ASSERT_EQ(entries.size(), 2);
            EXPECT_TRUE(entries[1 - position]->isChecked() && !entries[position]->isChecked());
            entries[position]->trigger();
        });
    };
    choose(1, "settings-english");
    spinFor(0.2);
    saveScreenshot(window(), "window-traditional-chinese");
    const std::set<QString> untranslated = englishOnlyTexts();
    for (const auto& [text, font] : shownTexts(window())) {
        EXPECT_FALSE(text.contains("IDS_") || untranslated.contains(text)) << text.toStdString() << " is not translated";
        EXPECT_EQ(fontFaults(text, font), "") << text.toStdString();
    }
    // The about box, from the same menu: its title, the version and the OK button that closes it.
    ModalDriver aboutBox({[](QWidget* box) {
        auto* version = box->findChild<QLabel*>("versionText");
        ASSERT_TRUE(version && box->windowTitle() == pmViewString("IDS_ABOUT"));
        EXPECT_TRUE(version->text().contains(QString::fromStdString(pmGetVersionInfo()))) << version->text().toStdString();
        saveScreenshot(*box, "about-box-chinese");
        QPushButton* ok = box->findChild<QPushButton*>();
        ASSERT_TRUE(ok && ok->text() == pmViewString("IDS_OK"));
        ok->click();
    }});
    withSettingsMenu([](QMenu& menu) { menu.findChild<QAction*>("aboutAction")->trigger(); });
    EXPECT_TRUE(aboutBox.done());
    choose(0, "settings-chinese");
    spinFor(0.2);
    EXPECT_TRUE(shownTexts(window()) == english);
}
