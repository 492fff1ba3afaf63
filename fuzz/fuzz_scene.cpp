// Scene files: any text is read or refused with a message, never a crash; a
// text that reads is JSON to the library too (the reader reads plain parts by
// hand); a scene that reads writes back to a text that reads to the same
// scene.
#include "scene_file.h"

#include <nlohmann/json.hpp>

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
  if (!nlohmann::json::accept(text)) {
    std::fprintf(stderr, "a text the JSON library refuses was read as a scene\n");
    std::abort();
  }
  const std::string written = hostemu::formatScene(read.scene);
  hostemu::SceneRead again = hostemu::parseScene(written, "written.json");
  if (again.error || hostemu::formatScene(again.scene) != written) {
    std::fprintf(stderr, "a scene written does not read back the same:\n%s\n", written.c_str());
    std::abort();
  }
  return 0;
}
