// The program's version, in one place for the version resource.
#pragma once
#define LYRANT_VERSION_MAJOR 1
#define LYRANT_VERSION_MINOR 0
#define LYRANT_VERSION_BUILD 0
#define LYRANT_VERSION_PATCH 1
#define LYRANT_VERSION_TEXT "1.0.0.1"
