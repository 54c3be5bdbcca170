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
#include "views/SkinnedButtons.h"
#include "views/SliderWidget.h"
#include "views/ToolbarWidget.h"

#include <nlohmann/json.hpp>

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QKeySequence>
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
        QTest::mouseClick(&window().toolbar().settingsButton(), Qt::LeftButton);
        EXPECT_TRUE(ran);
    }
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
    ASSERT_GE(row, 0);
    ASSERT_LT(row + 1, rows().count());
    ASSERT_TRUE(play(row));
    MoviePlayer& player = program->player1();
    PlayBarWidget& bar = window().playBar();

    type(Qt::Key_Space);
    ASSERT_TRUE(spinUntil([&] { return player.rate() == 0.0f && bar.playButtonIndex() == 0; }));
    const auto before = shownSecond();
    ASSERT_TRUE(before);
    std::optional<int> after;
    for (const auto& [key, seconds] : {std::pair(Qt::Key_Right, 5), std::pair(Qt::Key_Left, 0)}) {
        type(key);
        const int wanted = seconds;
        EXPECT_TRUE(spinUntil([&] { return (after = shownSecond()) && std::abs(*after - *before - wanted) <= 1; }, 5.0))
            << "the picture shows " << after.value_or(-1) - *before << " s later, not " << wanted;
    }
    // The other keys in turn, and what each reaches.
    const float volume = player.volume();
    const std::pair<Qt::Key, std::function<bool()>> steps[] = {
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

    // No key acts while the settings menu is open.
    withSettingsMenu([&](QMenu& menu) { QTest::keyClick(&menu, Qt::Key_S); });
    EXPECT_EQ(bar.speedButtonIndex(), 1);

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
            // The window's corner with the menu open below the button, as the screen shows it.
            const QDir shots = QFileInfo(saveScreenshot(*languages, QString(shot) + "-languages")).dir();
            const QPoint corner = window().mapToGlobal(QPoint(0, 0));
            QGuiApplication::primaryScreen()->grabWindow(0, corner.x(), corner.y(), 520, 240).save(
                shots.filePath(QString(shot) + "-menu-open.png"));
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
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(text.contains("IDS_"));
        EXPECT_FALSE(untranslated.contains(text)) << "still in English";
        EXPECT_EQ(fontFaults(text, font), "");
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
