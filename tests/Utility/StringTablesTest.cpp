#include "Utility/Language.h"
#include "Utility/StringTables.h"
#include "support/MemoryPreferences.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

namespace {

// Every key the program looks up, with the numbered families written out.
std::vector<std::string> allKeys() {
    std::vector<std::string> keys = {
        "IDR_MAINFRAME", "IDS_OK", "IDS_CANCEL", "IDS_CLOSE", "IDS_ABOUT", "IDS_VERSION_COPYRIGHT",
        "IDS_SETTINGS", "IDS_CHANGE_LANGUAGE", "IDS_ERR_INSTALL_CODEC",
        "IDS_OPEN", "IDS_CAPTURE", "IDS_EXPORT_TO_KML", "IDS_TOOLTIP_PRINT", "IDS_TOOLTIP_BACKUP",
        "IDS_UPLOAD_YOUTUBE", "IDS_UPLOAD_FACEBOOK", "IDS_WINDOW_SWITCH",
        "IDS_PLAY", "IDS_PAUSE", "IDS_PRE_VIDEO", "IDS_NEXT_VIDEO", "IDS_PLAY_SPEED", "IDS_SOUND_MUTE",
        "IDS_FULL_SCREEN", "IDS_NORMAL_SCREEN",
        "IDS_ALL", "IDS_CALENDAR", "IDS_EVENT", "IDS_NORMAL", "IDS_PARKING",
        "IDS_SPEED", "IDS_DIRECTION", "IDS_ALTITUDE", "IDS_LATITUDE", "IDS_LONGITUDE", "IDS_UNIT_DEGREE",
        "IDS_CHANGE_SPEED_UNIT", "IDS_ERR_NO_GPS_DATA", "IDS_ERR_NO_GSENSOR_DATA",
        "IDS_PRINT", "IDS_PRINT_PREVIEW", "IDS_PRINT_DATE",
        "IDS_CAPTURE_PREVIEW", "IDS_SAVE_AS",
        "IDS_BACKUP", "IDS_VIDEO_FILES", "IDS_ERR_FOLDER_READ_ONLY", "IDS_ERR_NO_DISK_SPACE",
        "IDS_ERR_OVER_MAX_UPLOAD", "IDS_ERR_BACKUP_READ", "IDS_ERR_BACKUP_CHANGED", "IDS_ERR_BACKUP_IO",
        "IDS_ERR_BACKUP_SAME_FILE", "IDS_ERR_EXPORT_FAILED",
        "IDS_LOGIN", "IDS_EMAIL", "IDS_PASSWORD", "IDS_ERR_EMAIL_PASSWORD", "IDS_ERR_NO_INTERNET", "IDS_UPLOAD",
        "IDS_TITLE", "IDS_DESCRIPTION", "IDS_FILE_NAME", "IDS_UPLOAD_VIDEO_OK", "IDS_UPLOAD_VIDEO_FAILED",
    };
    char key[32];
    for (int n = 1; n <= 22; ++n) std::snprintf(key, sizeof key, "IDS_LANG_%02d", n), keys.push_back(key);
    for (int n = 1; n <= 4; ++n) std::snprintf(key, sizeof key, "IDS_SKIN_STYLE_%02d", n), keys.push_back(key);
    for (int n = 1; n <= 7; ++n) std::snprintf(key, sizeof key, "IDS_WEEK_%d", n), keys.push_back(key);
    return keys;
}

std::string logText(const TempHome& home) { return readFile(home.documents() + "/CartenaManagerLog_mac.txt"); }

}  // namespace

TEST(StringTables, EveryKeyHasATextInBothMenuLanguages) {
    const auto keys = allKeys();
    ASSERT_EQ(keys.size(), 98u);
    ASSERT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), 98u);

    TempHome home;
    MemoryPreferences store;
    for (const std::int32_t language : kLanguageMenu) {
        store.values["LANGUAGE_ID"] = language;
        for (const std::string& key : keys) {
            const std::string text = pmGetString(key);
            EXPECT_FALSE(text.empty()) << pmGetLanguageTableName(language) << " " << key;
            EXPECT_NE(text, key) << pmGetLanguageTableName(language) << " lacks " << key;
        }
    }
    // The compiled-in tables parse cleanly: nothing was logged about them.
    EXPECT_EQ(logText(home).find("StringTables"), std::string::npos);
}

TEST(StringTables, ChineseTableIsTranslatedAndTheVersionTextTakesOneArgument) {
    // Language names (each in its own language), the product name and the degree sign may be the
    // same in every language; everything else must have been translated.
    const auto shared = [](const std::string& key) {
        return key == "IDR_MAINFRAME" || key == "IDS_UNIT_DEGREE" || key.rfind("IDS_LANG_", 0) == 0;
    };
    const StringTables& tables = pmStringTables();
    for (const std::string& key : allKeys()) {
        if (!shared(key)) {
            EXPECT_NE(tables.lookup("TraditionalChinese", key), tables.lookup("English", key)) << key;
        }
    }
    // The about box fills this text with the version: exactly one text directive, nothing else.
    for (const char* table : {"English", "TraditionalChinese"}) {
        const std::string text = tables.lookup(table, "IDS_VERSION_COPYRIGHT");
        EXPECT_EQ(std::count(text.begin(), text.end(), '%'), 1) << table;
        EXPECT_NE(text.find("%s"), std::string::npos) << table;
    }
}

TEST(StringTables, MissingKeysShowAsKeysAndOtherLanguagesUseEnglish) {
    TempHome home;
    MemoryPreferences store;
    const StringTables& tables = pmStringTables();
    const std::string englishOk = tables.lookup("English", "IDS_OK");
    const std::string chineseOk = tables.lookup("TraditionalChinese", "IDS_OK");
    ASSERT_NE(englishOk, chineseOk);

    store.values["LANGUAGE_ID"] = 1;
    EXPECT_EQ(pmGetString("IDS_OK"), chineseOk);
    EXPECT_EQ(pmGetString("IDS_NO_SUCH_TEXT"), "IDS_NO_SUCH_TEXT");
    EXPECT_EQ(pmGetString(""), "");
    store.values["LANGUAGE_ID"] = 5;  // read as English, left as it is
    EXPECT_EQ(pmGetString("IDS_OK"), englishOk);
    EXPECT_EQ(pmGetString("IDS_NO_SUCH_TEXT"), "IDS_NO_SUCH_TEXT");
    EXPECT_EQ(store.values["LANGUAGE_ID"], PreferenceValue(std::int32_t(5)));
    // A language without a table of its own shows the keys.
    EXPECT_EQ(tables.lookup("Russian", "IDS_OK"), "IDS_OK");
    EXPECT_EQ(logText(home).find("StringTables"), std::string::npos);  // missing keys are not logged
}

TEST(StringTables, UnreadableTablesAreLoggedAndShowTheirKeys) {
    TempHome home;
    const std::string invalidUtf8 = "{\"IDS_OK\": \"\xff\xfe\"}";
    const StringTables tables({
        {"Truncated", "{\"IDS_OK\": \"OK\",,"},
        {"NotAnObject", "[\"IDS_OK\", \"OK\"]"},
        {"Empty", ""},
        {"BadBytes", invalidUtf8},
        {"Mixed", R"({"IDS_OK": "Fine", "IDS_CANCEL": 3, "IDS_CLOSE": null, "IDS_ALL": ""})"},
    });
    for (const char* table : {"Truncated", "NotAnObject", "Empty", "BadBytes"}) {
        EXPECT_EQ(tables.lookup(table, "IDS_OK"), "IDS_OK") << table;
    }
    EXPECT_EQ(tables.lookup("Mixed", "IDS_OK"), "Fine");
    EXPECT_EQ(tables.lookup("Mixed", "IDS_CANCEL"), "IDS_CANCEL");
    EXPECT_EQ(tables.lookup("Mixed", "IDS_CLOSE"), "IDS_CLOSE");
    EXPECT_EQ(tables.lookup("Mixed", "IDS_ALL"), "");  // present but empty is still the table's text

    const std::string log = logText(home);
    for (const char* table : {"\"Truncated\" cannot be parsed", "\"NotAnObject\" cannot be parsed",
                              "\"Empty\" cannot be parsed", "\"BadBytes\" cannot be parsed",
                              "\"Mixed\": the value of IDS_CANCEL is not a text"}) {
        EXPECT_NE(log.find(table), std::string::npos) << table << "\n" << log;
    }
    // Parsed once: later lookups do not log again.
    const std::size_t lines = std::count(log.begin(), log.end(), '\n');
    tables.lookup("Truncated", "IDS_OK");
    const std::string after = logText(home);
    EXPECT_EQ(static_cast<std::size_t>(std::count(after.begin(), after.end(), '\n')), lines);
}
