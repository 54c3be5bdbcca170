#pragma once
#include <string>

// The program's version, from the build.
std::string pmGetVersionInfo();
