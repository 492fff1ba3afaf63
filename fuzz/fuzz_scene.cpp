// Scene files: any text is read or refused with a message, never a crash; a
// scene that reads writes back to a text that reads to the same scene.
#include "scene_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  hostemu::SceneRead read = hostemu::parseScene(text, "fuzz.json");
  if (read.error) {
    if (read.error->message.empty())
      std::abort();
    return 0;
  }
  const std::string written = hostemu::formatScene(read.scene);
  hostemu::SceneRead again = hostemu::parseScene(written, "written.json");
  if (again.error || hostemu::formatScene(again.scene) != written) {
    std::fprintf(stderr, "a scene written does not read back the same:\n%s\n", written.c_str());
    std::abort();
  }
  return 0;
}
