#include "scene_file.h"

#include "file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace hostemu {
namespace {

SceneRead unreadable(const std::filesystem::path &file, const std::string &reason) {
  SceneRead result;
  result.error = SceneError{SceneProblem::unreadable, {}, file.string() + ": cannot read the scene file: " + reason};
  return result;
}

}  // namespace

SceneRead readSceneFile(const std::filesystem::path &file) {
  std::error_code code;
  if (std::filesystem::is_directory(file, code))
    return unreadable(file, "it is a folder");
  std::FILE *stream = std::fopen(file.string().c_str(), "rb");
  if (stream == nullptr)
    return unreadable(file, std::strerror(errno));
  std::string text;
  char buffer[1 << 16];
  size_t size = std::filesystem::file_size(file, code);
  if (!code)
    text.reserve(size);
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
    text.append(buffer, got);
  bool failed = std::ferror(stream) != 0;
  std::fclose(stream);
  if (failed)
    return unreadable(file, "a read failed");
  return parseScene(text, file.string());
}

std::string writeSceneFile(const std::filesystem::path &file, const Scene &scene) {
  return replaceFile(file, formatScenePieces(scene));
}

}  // namespace hostemu
