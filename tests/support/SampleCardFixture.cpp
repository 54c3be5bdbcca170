#include "support/SampleCardFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

// Removes the card a lone test program made for itself.
struct OwnCard {
    std::string root;
    ~OwnCard() {
        std::error_code ignored;
        if (!root.empty()) std::filesystem::remove_all(root, ignored);
    }
};

std::string makeOwnCard() {
    static OwnCard own;
    std::string pattern = (std::filesystem::temp_directory_path() / "cartena-card-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return {};
    own.root = pattern;
    const std::string card = pattern + "/card";
    const SampleCardResult made = makeSampleCard(card, sampleCardTestOptions());
    if (!made.ok) {
        ADD_FAILURE() << "making the sample card failed: " << made.error;
        return {};
    }
    return card;
}

}  // namespace

const SampleCardOptions& sampleCardTestOptions() {
    static const SampleCardOptions options;
    return options;
}

const std::string& sampleCardFolder() {
    static const std::string folder = [] {
        const char* shared = std::getenv("CARTENA_SAMPLE_CARD");
        std::error_code ec;
        if (shared && *shared && std::filesystem::is_directory(shared, ec)) return std::string(shared);
        return makeOwnCard();
    }();
    return folder;
}

std::string sampleCardPath(const SampleEntry& entry) { return sampleCardFolder() + "/" + entry.relativePath(); }

const SampleEntry& sampleCardEntry(const std::string& name) {
    for (const SampleEntry& entry : sampleCardEntries())
        if (entry.name == name) return entry;
    ADD_FAILURE() << "no entry " << name << " in the sample card";
    return sampleCardEntries().front();
}
