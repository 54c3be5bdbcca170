#include "Utility/StringTables.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/EmbeddedStringTables.h"
#include "Utility/Language.h"

#include <nlohmann/json.hpp>

StringTables::StringTables(std::vector<StringTableSource> sources) : sources_(std::move(sources)) {}

void StringTables::parseOnce() const {
    std::call_once(parsed_, [this] {
        for (const StringTableSource& source : sources_) {
            Table& table = tables_[source.name];
            const auto json = nlohmann::json::parse(source.json.begin(), source.json.end(), nullptr, false);
            if (json.is_discarded() || !json.is_object()) {
                pmOutputDebugMsgF("StringTables - table \"%s\" cannot be parsed; its keys show as they are",
                                  source.name.c_str());
                continue;
            }
            for (const auto& [key, value] : json.items()) {
                if (value.is_string()) {
                    table.emplace(key, value.get<std::string>());
                } else {
                    pmOutputDebugMsgF("StringTables - table \"%s\": the value of %s is not a text",
                                      source.name.c_str(), key.c_str());
                }
            }
        }
    });
}

const StringTables::Table* StringTables::find(std::string_view tableName) const {
    parseOnce();
    const auto table = tables_.find(tableName);
    return table == tables_.end() ? nullptr : &table->second;
}

std::string StringTables::lookup(std::string_view tableName, const std::string& key) const {
    if (const Table* table = find(tableName)) {
        if (const auto text = table->find(key); text != table->end()) return text->second;
    }
    return key;
}

const StringTables& pmStringTables() {
    static const StringTables tables = [] {
        std::vector<StringTableSource> sources;
        for (std::size_t i = 0; i < kEmbeddedStringTableCount; ++i) {
            const EmbeddedStringTable& table = kEmbeddedStringTables[i];
            sources.push_back({table.name, {reinterpret_cast<const char*>(table.data), table.size}});
        }
        return StringTables(std::move(sources));
    }();
    return tables;
}

std::string pmGetString(const std::string& key) {
    return pmStringTables().lookup(pmGetLanguageTableName(getLanguageId()), key);
}
