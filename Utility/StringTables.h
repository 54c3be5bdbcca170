#pragma once
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The localised texts: one table per language, found by the language's table name, mapping `IDS_`
// keys to texts. A table is a JSON object of strings; the program's own tables are compiled in
// (resources/strings/<table name>.json).

struct StringTableSource {
    std::string name;
    std::string_view json;  // must outlive the tables
};

class StringTables {
public:
    explicit StringTables(std::vector<StringTableSource> sources);

    // The text of the key in the named table, or the key itself when the table or the key is
    // missing. The tables are parsed at the first lookup; one that cannot be parsed is logged and
    // then holds nothing, so its keys show as they are.
    std::string lookup(std::string_view tableName, const std::string& key) const;

private:
    using Table = std::unordered_map<std::string, std::string>;
    void parseOnce() const;
    const Table* find(std::string_view tableName) const;

    std::vector<StringTableSource> sources_;
    mutable std::once_flag parsed_;
    mutable std::map<std::string, Table, std::less<>> tables_;
};

// The compiled-in tables.
const StringTables& pmStringTables();

// The text of an `IDS_` key in the current language (getLanguageId, decided afresh at each call);
// the key itself when the table does not hold it.
std::string pmGetString(const std::string& key);
