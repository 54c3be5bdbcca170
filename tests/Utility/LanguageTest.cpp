#include "Utility/FilePreferencesStore.h"
#include "Utility/DiagnosticLog.h"
#include "Utility/Language.h"
#include "support/MemoryPreferences.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace {

using Environment = std::map<std::string, std::string>;

// Sets the locale variables for one case; each test runs in its own process.
void setLocaleEnvironment(const Environment& variables) {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) unsetenv(name);
    for (const auto& [name, value] : variables) setenv(name.c_str(), value.c_str(), 1);
}

std::optional<PreferenceValue> stored(std::int32_t id) { return PreferenceValue(id); }

}  // namespace

TEST(LanguageDetection, FirstPreferredLanguageIsMatchedByPlainPrefixInTableOrder) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"pt-BR", 17}, {"es-419", 12}, {"zh-HK", 0},       {"zh-Hant-TW", 1}, {"zh-Hans-CN", 2},
        {"ja", 21},    {"ja-JP", 21},  {"jp", 21},         {"sa", 13},        {"ar-SA", 0},
        {"sk-SK", 16}, {"sl-SI", 18},  {"en-GB", 0},       {"PT-br", 0},      {"ru", 3},
        {"", 0},       {"x", 0},       {"deutsch", 8},     {"tr-TR", 20},     {"th", 19},
    };
    for (const auto& [language, id] : cases) EXPECT_EQ(pmLanguageIdForSystemLanguage(language), id) << language;
}

TEST(LanguageDetection, EnvironmentGivesTheFirstPreferredLanguageLikeGettext) {
    const std::pair<Environment, std::string> cases[] = {
        // Codesets and modifiers go, '_' becomes '-'; Chinese regions get their script.
        {{{"LANG", "pt_BR.UTF-8"}}, "pt-BR"}, {{{"LANG", "de_DE.ISO-8859-15@euro"}}, "de-DE"},
        {{{"LANG", "sr_RS@latin"}}, "sr-RS"}, {{{"LANG", "fr"}}, "fr"},
        {{{"LANG", "zh_TW.UTF-8"}}, "zh-Hant-TW"}, {{{"LANG", "zh_HK.BIG5-HKSCS"}}, "zh-Hant-HK"},
        {{{"LC_ALL", "zh_MO.UTF-8"}}, "zh-Hant-MO"}, {{{"LANG", "zh_CN.GB2312"}}, "zh-Hans-CN"},
        {{{"LANG", "zh_SG"}}, "zh-Hans-SG"}, {{{"LANG", "zh_TWN"}}, "zh-TWN"},
        // LC_ALL, then LC_MESSAGES, then LANG; empty values do not count.
        {{{"LC_ALL", "es_ES.UTF-8"}, {"LC_MESSAGES", "ko_KR.UTF-8"}, {"LANG", "en_US.UTF-8"}}, "es-ES"},
        {{{"LC_ALL", ""}, {"LC_MESSAGES", "ko_KR.UTF-8"}, {"LANG", "en_US.UTF-8"}}, "ko-KR"},
        {{{"LC_MESSAGES", ""}, {"LANG", "nl_NL.UTF-8"}}, "nl-NL"},
        // LANGUAGE comes first: its first non-empty entry, normalised the same way...
        {{{"LANGUAGE", "fr_CA:en"}, {"LANG", "de_DE.UTF-8"}}, "fr-CA"},
        {{{"LANGUAGE", "::ja_JP.UTF-8:en"}, {"LANG", "en_US.UTF-8"}}, "ja-JP"},
        {{{"LANGUAGE", "zh_TW:zh_CN"}, {"LANG", "en_US.UTF-8"}}, "zh-Hant-TW"},
        {{{"LANGUAGE", ""}, {"LANG", "it_IT.UTF-8"}}, "it-IT"}, {{{"LANGUAGE", ":"}, {"LANG", "it_IT"}}, "it-IT"},
        // ...except in the C locale, which names no language at all; C.UTF-8 is a locale of its own.
        {{{"LANGUAGE", "fr"}, {"LANG", "C"}}, ""}, {{{"LANGUAGE", "fr"}, {"LANG", "POSIX"}}, ""},
        {{{"LANGUAGE", "fr"}}, ""}, {{{"LANGUAGE", "fr"}, {"LC_ALL", "C"}, {"LANG", "de_DE.UTF-8"}}, ""},
        {{{"LANGUAGE", "fr"}, {"LC_MESSAGES", "C"}, {"LANG", "de_DE.UTF-8"}}, ""},
        {{{"LANGUAGE", "fr"}, {"LANG", "C.UTF-8"}}, "fr"}, {{{"LANG", "C.UTF-8"}}, ""}, {{}, ""},
    };
    for (const auto& [env, expected] : cases) {
        std::string described;
        for (const auto& [name, value] : env) described += name + "=" + value + " ";
        EXPECT_EQ(pmPreferredLanguageFromEnvironment([&env = env](const char* name) -> const char* {
                      const auto found = env.find(name);
                      return found == env.end() ? nullptr : found->second.c_str();
                  }),
                  expected)
            << described;
    }
    setLocaleEnvironment({{"LANGUAGE", "pt_BR:en"}, {"LANG", "en_US.UTF-8"}});  // the process's own
    EXPECT_EQ(pmDetectUILanguage(), 17);
}

TEST(CurrentLanguage, FirstStartStoresTheDetectedMenuLanguageOrEnglishOnce) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"zh_TW.UTF-8", 1}, {"ru_RU.UTF-8", 0}, {"ja_JP.UTF-8", 0}, {"en_GB.UTF-8", 0}, {"C", 0},
    };
    TempHome home;
    for (const auto& [locale, expected] : cases) {
        MemoryPreferences store;
        setLocaleEnvironment({{"LANG", locale}});
        EXPECT_EQ(getLanguageId(), expected) << locale;
        EXPECT_EQ(store.value("LANGUAGE_ID"), stored(expected)) << locale;
        EXPECT_EQ(store.synchronizeCount, 1) << locale;  // on disk at once
        // Fixed from then on: a later change of the system language is not followed.
        setLocaleEnvironment({{"LANG", expected == 1 ? "en_US.UTF-8" : "zh_TW.UTF-8"}});
        EXPECT_EQ(pmGetLanguageID(), expected) << locale;
        EXPECT_EQ(store.synchronizeCount, 1) << locale;
    }
}

TEST(CurrentLanguage, StoredValueWinsAndUnsupportedValuesReadAsEnglishUntouched) {
    TempHome home;
    setLocaleEnvironment({{"LANG", "zh_TW.UTF-8"}});
    for (std::int32_t id = -1; id <= kLanguageCount; ++id) {
        MemoryPreferences store;
        store.values["LANGUAGE_ID"] = id;
        EXPECT_EQ(getLanguageId(), (id == 0 || id == 1) ? id : 0) << id;  // a stored 0 is not "absent"
        EXPECT_FALSE(pmIsRightLayout()) << id;                             // Arabic (13) never becomes current
        EXPECT_EQ(store.value("LANGUAGE_ID"), stored(id));
        EXPECT_EQ(store.synchronizeCount, 0);
    }
    MemoryPreferences store;
    store.values["LANGUAGE_ID"] = std::string("1");  // hand-edited: not a number
    EXPECT_EQ(getLanguageId(), 0);
    EXPECT_EQ(store.values["LANGUAGE_ID"], PreferenceValue(std::string("1")));
}

TEST(CurrentLanguage, ChoicesReachTheSettingsFileAndAFailedWriteIsLogged) {
    TempHome home;
    setLocaleEnvironment({{"LANG", "zh_TW.UTF-8"}});
    ASSERT_EQ(getLanguageId(), 1);  // detected, through the process's own file store
    EXPECT_EQ(FilePreferencesStore(home.configHome() + "/cartena-manager").value("LANGUAGE_ID"), stored(1));
    EXPECT_TRUE(saveLanguageId(0));
    EXPECT_EQ(FilePreferencesStore(home.configHome() + "/cartena-manager").value("LANGUAGE_ID"), stored(0));

    MemoryPreferences store;
    store.failSynchronize = true;
    EXPECT_FALSE(saveLanguageId(1));
    EXPECT_EQ(getLanguageId(), 1);  // the choice holds for this run
    EXPECT_NE(readFile(pmLogFilePath()).find("saveLanguageId"), std::string::npos);
}

TEST(LanguageMenu, OffersEnglishAndTraditionalChineseOnlyAndUnknownIdsUseEnglish) {
    for (const std::int32_t index : {2, 21, 1000, -1}) EXPECT_EQ(pmGetLanguageByMenuIndex(index), 0) << index;
    for (std::int32_t id = -2; id <= kLanguageCount + 1; ++id)
        EXPECT_EQ(pmIsSupportedLanguage(id), id == 0 || id == 1) << id;
    EXPECT_EQ(pmGetLanguageLabelKey(pmGetLanguageByMenuIndex(0)), "IDS_LANG_01");
    EXPECT_EQ(pmGetLanguageLabelKey(pmGetLanguageByMenuIndex(1)), "IDS_LANG_02");
    EXPECT_EQ(pmGetLanguageLabelKey(21), "IDS_LANG_22");
    // Table names keep their spelling.
    const std::pair<std::int32_t, const char*> names[] = {{16, "Slovakian"}, {18, "Slovinian"}, {1, "TraditionalChinese"},
                                                          {21, "Japanese"},  {0, "English"},    {-1, "English"},
                                                          {22, "English"},   {1000, "English"}};
    for (const auto& [id, name] : names) EXPECT_STREQ(pmGetLanguageTableName(id), name) << id;
}
