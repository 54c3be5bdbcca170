#include "outputs/CaptureName.h"

#include <cstdio>

std::string pmCaptureFileName(const LocalDateTime& when, int camera) {
    char name[64];
    const char* suffix = camera == 1 ? "-1" : camera == 2 ? "-2" : "";
    std::snprintf(name, sizeof name, "%04d%02d%02d-%02d%02d%02d%s.jpg", when.year, when.month, when.day, when.hour,
                  when.minute, when.second, suffix);
    return name;
}
