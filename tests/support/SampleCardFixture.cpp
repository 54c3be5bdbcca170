#include "support/SampleCardFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

// A lone test program makes its own card in a temporary folder, removed at exit.
std::string makeOwnCard() {
    const std::string pattern = temporaryFolderRemovedAtExit("cartena-card");
    if (pattern.empty()) return {};
    const SampleCardResult made = makeSampleCard(pattern + "/card", sampleCardTestOptions());
    if (!made.ok) ADD_FAILURE() << "making the sample card failed: " << made.error;
    return made.ok ? pattern + "/card" : std::string();
}

}  // namespace

std::string temporaryFolderRemovedAtExit(const std::string& prefix) {
    static struct Removed {
        std::vector<std::string> roots;
        ~Removed() {
            std::error_code ignored;
            for (const std::string& root : roots) std::filesystem::remove_all(root, ignored);
        }
    } own;
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) return {};
    own.roots.push_back(pattern);
    return pattern;
}

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
