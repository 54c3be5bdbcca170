#include "Utility/DiagnosticLog.h"
#include "Utility/FilePreferencesStore.h"
#include "Utility/Language.h"
#include "Utility/MessageBox.h"
#include "Utility/StringTables.h"
#include "support/MemoryPreferences.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <map>
#include <sstream>

namespace {

// Sets the locale variables for one case, given as "NAME=value ..."; each test runs in its own process.
void setLocaleEnvironment(const std::string& assignments) {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) unsetenv(name);
    std::istringstream words(assignments);
    for (std::string word; words >> word;)
        setenv(word.substr(0, word.find('=')).c_str(), word.substr(word.find('=') + 1).c_str(), 1);
}

// Stands in for the window's box: remembers what it shows, and marks on standard error when it closes.
struct RecordingPresenter : MessageBoxPresenter {
    RecordingPresenter() { pmSetMessageBoxPresenter(this); }
    ~RecordingPresenter() override { pmSetMessageBoxPresenter(nullptr); }
    void present(const std::string& heading, const std::string& body, const std::string& button) override {
        shown.push_back({heading, body, button});
        std::fputs("[closed]\n", stderr);
    }
    std::vector<std::vector<std::string>> shown;
};

}  // namespace

TEST(LanguageDetection, TheEnvironmentNamesTheFirstPreferredLanguageLikeGettext) {
    const std::pair<const char*, const char*> cases[] = {
        // Codesets and modifiers go, '_' becomes '-'; Chinese regions get their script.
        {"LANG=pt_BR.UTF-8", "pt-BR"}, {"LANG=de_DE.ISO-8859-15@euro", "de-DE"}, {"LANG=sr_RS@latin", "sr-RS"},
        {"LANG=zh_TW.UTF-8", "zh-Hant-TW"}, {"LANG=zh_HK.BIG5-HKSCS", "zh-Hant-HK"}, {"LC_ALL=zh_MO.UTF-8", "zh-Hant-MO"},
        {"LANG=zh_CN.GB2312", "zh-Hans-CN"}, {"LANG=zh_SG", "zh-Hans-SG"}, {"LANG=zh_TWN", "zh-TWN"},
        // LC_ALL, then LC_MESSAGES, then LANG; empty values do not count.
        {"LC_ALL=es_ES.UTF-8 LC_MESSAGES=ko_KR.UTF-8 LANG=en_US.UTF-8", "es-ES"},
        {"LC_ALL= LC_MESSAGES=ko_KR.UTF-8 LANG=en_US.UTF-8", "ko-KR"}, {"LC_MESSAGES= LANG=nl_NL.UTF-8", "nl-NL"},
        // LANGUAGE comes first: its first non-empty entry, normalised the same way...
        {"LANGUAGE=::ja_JP.UTF-8:en LANG=en_US.UTF-8", "ja-JP"}, {"LANGUAGE=zh_TW:zh_CN LANG=en_US.UTF-8", "zh-Hant-TW"},
        {"LANGUAGE= LANG=it_IT.UTF-8", "it-IT"}, {"LANGUAGE=: LANG=it_IT", "it-IT"},
        // ...except in the C locale, which names no language at all; C.UTF-8 is a locale of its own.
        {"LANGUAGE=fr LANG=C", ""}, {"LANGUAGE=fr LANG=POSIX", ""}, {"LANGUAGE=fr", ""},
        {"LANGUAGE=fr LC_ALL=C LANG=de_DE.UTF-8", ""}, {"LANGUAGE=fr LC_MESSAGES=C LANG=de_DE.UTF-8", ""},
        {"LANGUAGE=fr LANG=C.UTF-8", "fr"}, {"LANG=C.UTF-8", ""},
    };
    for (const auto& [environment, expected] : cases) {
        setLocaleEnvironment(environment);
        EXPECT_EQ(pmGetSystemPreferredLanguage(), expected) << environment;
    }
    // The language whose prefix the code begins with, in table order and case, or English.
    const std::pair<const char*, std::int32_t> languages[] = {
        {"zh-Hant-TW", 1}, {"zh-Hans-CN", 2}, {"zh-HK", 0}, {"ZH-Hant", 0}, {"jp", 21}, {"deutsch", 8}, {"", 0},
    };
    for (const auto& [language, id] : languages) EXPECT_EQ(pmLanguageIdForSystemLanguage(language), id) << language;
    setLocaleEnvironment("LANGUAGE=pt_BR:en LANG=en_US.UTF-8");
    EXPECT_EQ(pmDetectUILanguage(), 17);
}

TEST(CurrentLanguage, TheFirstStartStoresTheDetectedMenuLanguageAndAStoredValueIsKeptAsItIs) {
    TempHome home;
    // The stored setting (none: the first start), the system's locale and the current language.
    const std::tuple<std::optional<PreferenceValue>, const char*, std::int32_t> cases[] = {
        {std::nullopt, "zh_TW.UTF-8", 1}, {std::nullopt, "ja_JP.UTF-8", 0}, {std::nullopt, "C", 0},
        {0, "zh_TW.UTF-8", 0},  // a stored 0 is not "absent"
        {13, "zh_TW.UTF-8", 0},  // Arabic and the other unsupported ids read as English, left as they are
        {22, "zh_TW.UTF-8", 0}, {-1, "zh_TW.UTF-8", 0},
        {std::string("1"), "zh_TW.UTF-8", 0},  // hand-edited: not a number
    };
    for (const auto& [stored, locale, current] : cases) {
        MemoryPreferences store;
        if (stored) store.values["LANGUAGE_ID"] = *stored;
        setLocaleEnvironment(std::string("LANG=") + locale);
        EXPECT_EQ(getLanguageId(), current) << locale;
        // Fixed from then on: a later change of the system language is not followed.
        setLocaleEnvironment(current == 1 ? "LANG=en_US.UTF-8" : "LANG=zh_TW.UTF-8");
        EXPECT_EQ(pmGetLanguageID(), current) << locale;
        EXPECT_EQ(store.value("LANGUAGE_ID"), stored ? stored : PreferenceValue(current)) << locale;
        EXPECT_EQ(store.synchronizeCount, stored ? 0 : 1) << locale;  // a detected language is on disk at once
    }
}

TEST(CurrentLanguage, ChoicesReachTheSettingsFileAndAFailedWriteIsLogged) {
    TempHome home;
    setLocaleEnvironment("LANG=zh_TW.UTF-8");
    ASSERT_EQ(getLanguageId(), 1);  // detected, through the process's own file store
    EXPECT_EQ(FilePreferencesStore(home.configHome() + "/cartena-manager").value("LANGUAGE_ID"), PreferenceValue(1));
    EXPECT_TRUE(saveLanguageId(0));
    EXPECT_EQ(FilePreferencesStore(home.configHome() + "/cartena-manager").value("LANGUAGE_ID"), PreferenceValue(0));
    MemoryPreferences failing;
    failing.failSynchronize = true;
    EXPECT_FALSE(saveLanguageId(1));
    EXPECT_EQ(getLanguageId(), 1);  // the choice holds for this run
    EXPECT_EQ(logMessages().back(), "saveLanguageId - language 1 could not be written to the settings");
}

TEST(LanguageMenu, OffersEnglishAndTraditionalChineseOnlyAndUnknownIdsUseEnglish) {
    for (std::int32_t index = -1; index <= 2; ++index)
        EXPECT_EQ(pmGetLanguageByMenuIndex(index), index == 1 ? 1 : 0) << index;
    EXPECT_EQ(pmGetLanguageLabelKey(1) + pmGetLanguageTableName(1) + pmGetLanguageTableName(22),
              "IDS_LANG_02TraditionalChineseEnglish");
}

TEST(StringTables, BothMenuLanguagesHoldTheSameKeysEachWithATranslatedText) {
    std::map<std::string, nlohmann::json> files;
    for (const std::string table : {"English", "TraditionalChinese"})
        files[table] = nlohmann::json::parse(readFile(CARTENA_SOURCE_DIR "/resources/strings/" + table + ".json"));
    ASSERT_EQ(files["English"].size(), 140u);
    ASSERT_EQ(files["TraditionalChinese"].size(), 140u);
    for (const auto& [key, text] : files["English"].items()) {
        // The compiled-in tables hold what the files hold.
        const std::string english = pmStringTables().lookup("English", key);
        const std::string chinese = pmStringTables().lookup("TraditionalChinese", key);
        EXPECT_EQ(english, text) << key;
        EXPECT_EQ(chinese, files["TraditionalChinese"].value(key, key)) << key;
        EXPECT_FALSE(english.empty() || chinese.empty() || chinese == key) << key;
        // Messages are filled in order, one argument per "%s": a translation keeps every one.
        const auto directives = [](const std::string& message) {
            std::size_t count = 0;
            for (std::size_t at = message.find("%s"); at != std::string::npos; at = message.find("%s", at + 2)) ++count;
            return count;
        };
        EXPECT_EQ(directives(english), directives(chinese)) << key;
        // Language names (each in its own language), the product name and the degree sign may be
        // the same in every language; everything else must have been translated.
        if (key != "IDR_MAINFRAME" && key != "IDS_UNIT_DEGREE" && !key.starts_with("IDS_LANG_")) {
            EXPECT_NE(english, chinese) << key;
        }
    }
    // The about box fills this text with the version: exactly one text directive, nothing else.
    for (const char* table : {"English", "TraditionalChinese"}) {
        const std::string text = pmStringTables().lookup(table, "IDS_VERSION_COPYRIGHT");
        EXPECT_EQ(std::count(text.begin(), text.end(), '%'), 1) << table;
        EXPECT_NE(text.find("%s"), std::string::npos) << table;
    }
}

TEST(StringTables, MissingKeysAndUnreadableTablesShowTheKeysAndOtherLanguagesUseEnglish) {
    TempHome home;
    MemoryPreferences store;
    store.values["LANGUAGE_ID"] = 1;
    EXPECT_EQ(pmGetString("IDS_OK"), pmStringTables().lookup("TraditionalChinese", "IDS_OK"));
    EXPECT_EQ(pmGetString("IDS_NO_SUCH_TEXT"), "IDS_NO_SUCH_TEXT");
    store.values["LANGUAGE_ID"] = 5;  // read as English
    EXPECT_EQ(pmGetString("IDS_OK"), pmStringTables().lookup("English", "IDS_OK"));
    EXPECT_EQ(pmStringTables().lookup("Russian", "IDS_OK"), "IDS_OK");  // no table of its own
    EXPECT_TRUE(logMessages().empty());                                  // missing keys are not logged

    const StringTables tables({{"Truncated", "{\"IDS_OK\": \"OK\",,"}, {"NotAnObject", "[\"IDS_OK\", \"OK\"]"},
                               {"Empty", ""}, {"BadBytes", "{\"IDS_OK\": \"\xff\xfe\"}"},
                               {"Mixed", R"({"IDS_OK": "Fine", "IDS_CANCEL": 3, "IDS_CLOSE": null, "IDS_ALL": ""})"}});
    std::vector<std::string> logged;
    for (const char* table : {"Truncated", "NotAnObject", "Empty", "BadBytes"}) {
        EXPECT_EQ(tables.lookup(table, "IDS_OK"), "IDS_OK") << table;
        logged.push_back(pmFormat("StringTables - table \"%s\" cannot be parsed; its keys show as they are", table));
    }
    for (const char* key : {"IDS_OK", "IDS_CANCEL", "IDS_CLOSE"})  // texts only: other values show the key
        EXPECT_EQ(tables.lookup("Mixed", key), key == std::string("IDS_OK") ? "Fine" : key);
    EXPECT_EQ(tables.lookup("Mixed", "IDS_ALL"), "");  // present but empty is still the table's text
    for (const char* key : {"IDS_CANCEL", "IDS_CLOSE"})
        logged.push_back(pmFormat("StringTables - table \"Mixed\": the value of %s is not a text", key));
    EXPECT_EQ(logMessages(), logged);  // once: the tables are parsed at the first lookup only
}

TEST(MessageBox, TextsComeFromTheCallerAndTheCurrentLanguageAndStandardErrorServesWithoutAWindow) {
    TempHome home;
    MemoryPreferences store;
    store.values["LANGUAGE_ID"] = 1;
    testing::internal::CaptureStderr();
    EXPECT_EQ(pmMessageBox("Folder is 100% read-only %s", "Backup", 16), 1);
    RecordingPresenter presenter;
    EXPECT_EQ(pmMessageBox("100% done: %s %d %n", "", 16), 1);
    EXPECT_EQ(pmMessageBox("Disk full", "Backup", 0), 1);
    // "User OK!" follows the closing of each box.
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Backup: Folder is 100% read-only %s\nUser OK!\n[closed]\nUser OK!\n[closed]\nUser OK!\n");
    const std::string heading = pmStringTables().lookup("TraditionalChinese", "IDR_MAINFRAME");
    const std::string ok = pmStringTables().lookup("TraditionalChinese", "IDS_OK");
    EXPECT_EQ(presenter.shown, (std::vector<std::vector<std::string>>{{heading, "100% done: %s %d %n", ok},
                                                                      {"Backup", "Disk full", ok}}));
}
