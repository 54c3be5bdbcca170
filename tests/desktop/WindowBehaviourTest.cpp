// The window as a user drives it: the keys, the screen modes, the settings menu and the language.
#include "WindowProgramFixture.h"
#include "Utility/StringTables.h"
#include "Utility/Version.h"
#include "support/GraphicsDrivers.h"
#include "support/ModalDriver.h"
#include "support/Screenshot.h"
#include "support/ViewStamp.h"
#include "views/CalendarWidget.h"
#include "views/MovieViewFrame.h"
#include "views/SliderWidget.h"
#include "views/ToolbarWidget.h"

#include <nlohmann/json.hpp>

#include <QAbstractButton>
#include <QPushButton>
#include <QLabel>
#include <QMenu>
#include <QTextLayout>
#include <QTimer>

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
    // The camera clock of the picture the large view shows, in seconds of the day.
    std::optional<int> shownSecond() {
        std::optional<int> second;
        spinUntil([&] {
            const auto stamp = stampInView(window().grab().toImage(), window(), window().movieView(),
                                           program->player1().naturalSize());
            if (stamp) second = stamp->hour * 3600 + stamp->minute * 60 + stamp->second;
            return stamp.has_value();
        }, 5.0);
        return second;
    }
    // Opens the settings menu from its button, runs `inside` on it while it is open, then closes it
    // unless `inside` chose an entry.
    void withSettingsMenu(const std::function<void(QMenu&)>& inside) {
        bool ran = false;
        QTimer::singleShot(200, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr) << "no menu opened";
            ran = true;
            inside(*menu);
            if (menu->isVisible()) menu->close();
        });
        window().toolbar().settingsButton().setFocus();
        QTest::mouseClick(&window().toolbar().settingsButton(), Qt::LeftButton);
        EXPECT_TRUE(ran);
    }
    SliderWidget& timeSlider() { return window().playBar().timeSlider(); }
};

// A text the window shows in a widget (title, label, button text, tool tip) and its font.
struct Shown {
    QString text;
    QFont font;
    bool operator==(const Shown& other) const { return text == other.text; }
};
std::vector<Shown> shownTexts(QWidget& window) {
    std::vector<Shown> texts{{window.windowTitle(), QApplication::font()}};
    auto add = [&](const QString& text, const QFont& font) {
        if (!text.isEmpty()) texts.push_back({text, font});
    };
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window)) continue;
        add(widget->toolTip(), QApplication::font());
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) add(button->text(), button->font());
        if (auto* label = qobject_cast<QLabel*>(widget)) add(label->text(), label->font());
    }
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

// The family that draws each character of a text in a font, and the characters the font has no
// glyph for.
struct Drawn {
    QStringList latinFamilies, hanFamilies;
    QString missing;
};
Drawn drawnIn(const QString& text, const QFont& font) {
    Drawn drawn;
    for (const QChar c : text) {
        if (c.isSpace() || c.isNonCharacter()) continue;
        QTextLayout layout(QString(c), font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun& run : layout.glyphRuns()) {
            if (run.glyphIndexes().contains(0)) drawn.missing += c;
            if (c.script() == QChar::Script_Han) drawn.hanFamilies << run.rawFont().familyName();
            else if (c.isLetterOrNumber() && c.unicode() < 0x80) drawn.latinFamilies << run.rawFont().familyName();
        }
    }
    return drawn;
}

}  // namespace

TEST_F(WindowBehaviour, EachKeyActsThroughThePlayBarAndFullScreenKeepsTheWindowState) {
    start();
    QTest::mouseClick(&window().calendar().modeButton(), Qt::LeftButton);  // every date
    spinFor(0.2);
    const int row = rowNamed("PARK0002.MOV");  // 20 s, so that a seek has room
    ASSERT_GE(row, 0);
    ASSERT_LT(row + 1, rows().count());
    ASSERT_TRUE(play(row));
    MoviePlayer& player = program->player1();
    PlayBarWidget& bar = window().playBar();

    type(Qt::Key_Space);
    ASSERT_TRUE(spinUntil([&] { return player.rate() == 0.0f; }));
    EXPECT_EQ(bar.playButtonIndex(), 0);
    const auto before = shownSecond();
    ASSERT_TRUE(before);
    type(Qt::Key_Right);
    std::optional<int> after;
    EXPECT_TRUE(spinUntil([&] { return (after = shownSecond()) && *after - *before >= 4 && *after - *before <= 6; }, 5.0))
        << "the picture shows " << after.value_or(-1) - *before << " s later";
    type(Qt::Key_Left);
    EXPECT_TRUE(spinUntil([&] { return (after = shownSecond()) && std::abs(*after - *before) <= 1; }, 5.0));

    type(Qt::Key_Space);
    type(Qt::Key_S);
    EXPECT_TRUE(spinUntil([&] { return player.rate() == 1.5f; })) << player.rate();
    EXPECT_EQ(bar.speedButtonIndex(), 1);
    const float volume = player.volume();
    type(Qt::Key_Up);
    EXPECT_GT(player.volume(), volume);
    type(Qt::Key_Down);
    type(Qt::Key_Down);
    EXPECT_LT(player.volume(), volume);
    type(Qt::Key_M);
    EXPECT_TRUE(player.isMuted());
    type(Qt::Key_M);
    EXPECT_FALSE(player.isMuted());

    type(Qt::Key_PageDown);
    EXPECT_TRUE(spinUntil([&] { return player.path() == pathOf(row + 1); }));
    EXPECT_EQ(window().recordingList().getCurSel(), row + 1);
    type(Qt::Key_PageUp);
    EXPECT_TRUE(spinUntil([&] { return player.path() == pathOf(row); }));

    // No key acts while the settings menu is open.
    const float rate = player.rate();
    withSettingsMenu([&](QMenu& menu) {
        QTest::keyClick(&menu, Qt::Key_Space);
        QTest::keyClick(&menu, Qt::Key_S);
        EXPECT_EQ(player.rate(), rate);
        EXPECT_EQ(bar.speedButtonIndex(), 1);
    });

    // F11 and Escape; a maximised window comes back maximised, and the screen mode follows the
    // window manager when it ends full screen (here: the state set from outside).
    AppDelegate& controller = program->controller();
    window().showMaximized();
    spinFor(0.2);
    type(Qt::Key_F11);
    EXPECT_EQ(controller.screenMode(), 1);
    EXPECT_TRUE(window().windowState() & Qt::WindowFullScreen);
    keepGraphicsDriversLoaded();
    saveScreenshot(window(), "window-keys-full-screen");
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
    const std::vector<Shown> english = shownTexts(window());
    auto choose = [&](int position, const char* shot) {
        withSettingsMenu([&](QMenu& menu) {
            QMenu* languages = menu.findChild<QMenu*>("languageMenu");
            ASSERT_NE(languages, nullptr);
            menu.setActiveAction(languages->menuAction());
            ASSERT_TRUE(spinUntil([&] { return languages->isVisible(); }, 2.0));
            saveScreenshot(menu, QString(shot) + "-menu");
            saveScreenshot(*languages, QString(shot) + "-languages");
            // Exactly the current language is checked.
            const QList<QAction*> entries = languages->actions();
            ASSERT_EQ(entries.size(), 2);
            EXPECT_NE(entries[0]->isChecked(), entries[1]->isChecked());
            entries[position]->trigger();
        });
    };
    choose(1, "settings-english");
    spinFor(0.2);
    saveScreenshot(window(), "window-traditional-chinese");
    const std::set<QString> untranslated = englishOnlyTexts();
    for (const auto& [text, font] : shownTexts(window())) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(text.contains("IDS_"));
        EXPECT_FALSE(untranslated.contains(text)) << "still in English";
        const Drawn drawn = drawnIn(text, font);
        EXPECT_TRUE(drawn.missing.isEmpty()) << drawn.missing.toStdString();
        EXPECT_EQ(drawn.latinFamilies.size(), drawn.latinFamilies.count("Nimbus Sans"));
        EXPECT_EQ(drawn.hanFamilies.size(), drawn.hanFamilies.count("Noto Sans CJK TC"));
    }
    // The about box, from the same menu: its title, the version and the OK button that closes it.
    ModalDriver aboutBox({[](QWidget* box) {
        EXPECT_EQ(box->windowTitle(), pmViewString("IDS_ABOUT"));
        auto* version = box->findChild<QLabel*>("versionText");
        ASSERT_NE(version, nullptr);
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
    EXPECT_EQ(shownTexts(window()), english);
}
