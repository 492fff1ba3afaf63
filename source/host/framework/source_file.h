// The source file a console line or diagnostic names: the Windows module names
// it by its path from the project directory (the build maps the absolute prefix
// away), the macOS module by its bare file name.
#pragma once

#if defined(KWANTEL_FLAVOUR_MACOS)
#define KWANTEL_SOURCE_FILE __FILE_NAME__
#else
#define KWANTEL_SOURCE_FILE __FILE__
#endif
