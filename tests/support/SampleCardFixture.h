#pragma once
#include "tools/SampleCard.h"

#include <string>

// The sample card that tests read (never write). Under ctest it is made once per run by the test
// "sample_card_make" and named by CARTENA_SAMPLE_CARD (tests registered with
// cartena_add_sample_card_test); a test program run on its own makes one per process in a temporary
// folder, removed at exit. Either way it is made with sampleCardTestOptions() in the test time zone.
const std::string& sampleCardFolder();
const SampleCardOptions& sampleCardTestOptions();
// A new folder in the temporary folder, named from `prefix`, removed with everything in it when the
// program exits; empty when it cannot be made.
std::string temporaryFolderRemovedAtExit(const std::string& prefix);
// Full path of an entry of the card.
std::string sampleCardPath(const SampleEntry& entry);
// The table entry with this name; fails the test (and returns the first entry) when there is none.
const SampleEntry& sampleCardEntry(const std::string& name);
