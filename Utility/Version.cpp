#include "Utility/Version.h"

std::string pmGetVersionInfo() { return CARTENA_VERSION; }
