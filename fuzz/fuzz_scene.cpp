// Scene files: any text is read or refused with a message, never a crash; a
// text that reads is JSON to the library too (the reader reads plain parts by
// hand); a text read in parts reads as in one; a scene that reads writes back
// to a text that reads to the same scene.
#include "scene_file.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  hostemu::SceneRead read = hostemu::parseScene(text, "fuzz.json");
  hostemu::SceneRead split = hostemu::parseSceneInParts(text, "fuzz.json", 3);
  if (split.error.has_value() != read.error.has_value() ||
      (read.error
           ? split.error->message != read.error->message
           : hostemu::formatScene(split.scene) != hostemu::formatScene(read.scene) ||
                 split.unknownFields != read.unknownFields || split.firstUnknownField != read.firstUnknownField)) {
    std::fprintf(stderr, "read in three parts, the text reads otherwise than in one\n");
    std::abort();
  }
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
