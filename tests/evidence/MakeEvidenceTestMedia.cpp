// Makes the evidence tests' recordings once per test run:  evidence_test_media DIR
#include "tests/evidence/EvidenceTestMedia.h"

#include <cstdio>

int main(int argc, char** argv) {
    std::string error;
    if (argc != 2 || !makeEvidenceTestMedia(argv[1], error)) {
        std::fprintf(stderr, "evidence_test_media: %s\n", argc == 2 ? error.c_str() : "usage: evidence_test_media DIR");
        return 1;
    }
    return 0;
}
