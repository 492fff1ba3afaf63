// Preference files: any text is read or refused with a message; a store that
// reads writes back to a text that reads to the same store.
#include "preferences_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  hostemu::PluginContainers plugins;
  const std::string problem = hostemu::parsePreferences(text, "fuzz.json", plugins);
  if (!problem.empty()) {
    if (!plugins.empty())
      std::abort();
    return 0;
  }
  const std::string written = hostemu::formatPreferences(plugins);
  hostemu::PluginContainers again;
  if (!hostemu::parsePreferences(written, "written.json", again).empty() ||
      hostemu::formatPreferences(again) != written) {
    std::fprintf(stderr, "a preference file written does not read back the same:\n%s\n", written.c_str());
    std::abort();
  }
  return 0;
}
