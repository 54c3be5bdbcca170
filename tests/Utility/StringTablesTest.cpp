#include "Utility/DiagnosticLog.h"
#include "Utility/Language.h"
#include "Utility/StringTables.h"
#include "support/MemoryPreferences.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <sstream>

namespace {

// Every key the program looks up, with the numbered families written out.
std::vector<std::string> allKeys() {
    std::istringstream listed(
        "IDR_MAINFRAME IDS_OK IDS_CANCEL IDS_CLOSE IDS_ABOUT IDS_VERSION_COPYRIGHT IDS_SETTINGS IDS_CHANGE_LANGUAGE "
        "IDS_ERR_INSTALL_CODEC IDS_OPEN IDS_CAPTURE IDS_EXPORT_TO_KML IDS_TOOLTIP_PRINT IDS_TOOLTIP_BACKUP "
        "IDS_UPLOAD_YOUTUBE IDS_UPLOAD_FACEBOOK IDS_WINDOW_SWITCH IDS_PLAY IDS_PAUSE IDS_PRE_VIDEO IDS_NEXT_VIDEO "
        "IDS_PLAY_SPEED IDS_SOUND_MUTE IDS_FULL_SCREEN IDS_NORMAL_SCREEN IDS_ALL IDS_CALENDAR IDS_EVENT IDS_NORMAL "
        "IDS_PARKING IDS_SPEED IDS_DIRECTION IDS_ALTITUDE IDS_LATITUDE IDS_LONGITUDE IDS_UNIT_DEGREE "
        "IDS_CHANGE_SPEED_UNIT IDS_ERR_NO_GPS_DATA IDS_ERR_NO_GSENSOR_DATA IDS_PRINT IDS_PRINT_PREVIEW "
        "IDS_PRINT_DATE IDS_CAPTURE_PREVIEW IDS_SAVE_AS IDS_BACKUP IDS_VIDEO_FILES IDS_ERR_FOLDER_READ_ONLY "
        "IDS_ERR_NO_DISK_SPACE IDS_ERR_OVER_MAX_UPLOAD IDS_LOGIN IDS_EMAIL IDS_PASSWORD IDS_ERR_EMAIL_PASSWORD "
        "IDS_ERR_NO_INTERNET IDS_UPLOAD IDS_TITLE IDS_DESCRIPTION IDS_FILE_NAME IDS_UPLOAD_VIDEO_OK "
        "IDS_UPLOAD_VIDEO_FAILED");
    std::vector<std::string> keys{std::istream_iterator<std::string>(listed), {}};
    for (int n = 1; n <= 22; ++n) keys.push_back(pmFormat("IDS_LANG_%02d", n));
    for (int n = 1; n <= 4; ++n) keys.push_back(pmFormat("IDS_SKIN_STYLE_%02d", n));
    for (int n = 1; n <= 7; ++n) keys.push_back(pmFormat("IDS_WEEK_%d", n));
    return keys;
}

}  // namespace

TEST(StringTables, EveryKeyHasATranslatedTextInBothMenuLanguages) {
    const StringTables& tables = pmStringTables();
    const auto keys = allKeys();
    ASSERT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), 93u);
    for (const std::string& key : keys) {
        const std::string english = tables.lookup("English", key), chinese = tables.lookup("TraditionalChinese", key);
        EXPECT_FALSE(english.empty() || english == key) << "English lacks " << key;
        EXPECT_FALSE(chinese.empty() || chinese == key) << "Chinese lacks " << key;
        // Language names (each in its own language), the product name and the degree sign may be
        // the same in every language; everything else must have been translated.
        if (key != "IDR_MAINFRAME" && key != "IDS_UNIT_DEGREE" && !key.starts_with("IDS_LANG_"))
            EXPECT_NE(english, chinese) << key;
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
    store.values["LANGUAGE_ID"] = 1;
    EXPECT_EQ(pmGetString("IDS_OK"), tables.lookup("TraditionalChinese", "IDS_OK"));
    EXPECT_EQ(pmGetString("IDS_NO_SUCH_TEXT"), "IDS_NO_SUCH_TEXT");
    EXPECT_EQ(pmGetString(""), "");
    store.values["LANGUAGE_ID"] = 5;  // read as English, left as it is
    EXPECT_EQ(pmGetString("IDS_OK"), tables.lookup("English", "IDS_OK"));
    EXPECT_EQ(store.values["LANGUAGE_ID"], PreferenceValue(std::int32_t(5)));
    EXPECT_EQ(tables.lookup("Russian", "IDS_OK"), "IDS_OK");  // a language without a table of its own
    EXPECT_TRUE(logMessages().empty());                       // missing keys are not logged
}

TEST(StringTables, UnreadableTablesAreLoggedOnceAndShowTheirKeys) {
    TempHome home;
    const StringTables tables({
        {"Truncated", "{\"IDS_OK\": \"OK\",,"},
        {"NotAnObject", "[\"IDS_OK\", \"OK\"]"},
        {"Empty", ""},
        {"BadBytes", "{\"IDS_OK\": \"\xff\xfe\"}"},
        {"Mixed", R"({"IDS_OK": "Fine", "IDS_CANCEL": 3, "IDS_CLOSE": null, "IDS_ALL": ""})"},
    });
    const char* unparsable[] = {"Truncated", "NotAnObject", "Empty", "BadBytes"};
    for (const char* table : unparsable) EXPECT_EQ(tables.lookup(table, "IDS_OK"), "IDS_OK") << table;
    EXPECT_EQ(tables.lookup("Mixed", "IDS_OK"), "Fine");
    EXPECT_EQ(tables.lookup("Mixed", "IDS_CANCEL"), "IDS_CANCEL");
    EXPECT_EQ(tables.lookup("Mixed", "IDS_CLOSE"), "IDS_CLOSE");
    EXPECT_EQ(tables.lookup("Mixed", "IDS_ALL"), "");  // present but empty is still the table's text
    tables.lookup("Truncated", "IDS_OK");              // parsed once: not logged again
    std::vector<std::string> expected;
    for (const char* table : unparsable)
        expected.push_back("StringTables - table \"" + std::string(table) + "\" cannot be parsed; its keys show as they are");
    for (const char* key : {"IDS_CANCEL", "IDS_CLOSE"})
        expected.push_back("StringTables - table \"Mixed\": the value of " + std::string(key) + " is not a text");
    EXPECT_EQ(logMessages(), expected);
}
