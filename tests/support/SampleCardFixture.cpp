#include "support/SampleCardFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

// A lone test program makes its own card in a temporary folder, removed at exit.
std::string makeOwnCard() {
    static struct Removed {
        std::string root;
        ~Removed() {
            std::error_code ignored;
            if (!root.empty()) std::filesystem::remove_all(root, ignored);
        }
    } own;
    std::string pattern = (std::filesystem::temp_directory_path() / "cartena-card-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return {};
    own.root = pattern;
    const SampleCardResult made = makeSampleCard(pattern + "/card", sampleCardTestOptions());
    if (!made.ok) ADD_FAILURE() << "making the sample card failed: " << made.error;
    return made.ok ? pattern + "/card" : std::string();
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
        return shared && *shared && std::filesystem::is_directory(shared, ec) ? std::string(shared) : makeOwnCard();
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
