#pragma once
#include <cstddef>

// The string table files compiled into the program (generated from resources/strings/ at build time).
struct EmbeddedStringTable {
    const char* name;           // the file name without ".json": the table name
    const unsigned char* data;  // the file's bytes
    std::size_t size;
};

extern const EmbeddedStringTable kEmbeddedStringTables[];
extern const std::size_t kEmbeddedStringTableCount;
