// version: the build passes the project's version to this file alone, so a new version
// rebuilds one file.
#include "app/version.h"

std::string GameVersion() { return KELVANE_VERSION; }

std::string ShortVersion() { return KELVANE_SHORT_VERSION; }
