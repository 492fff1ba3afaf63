#include "scene_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
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
  // Read straight into one buffer of the file's size, left uninitialised: a
  // scene may be gigabytes, and every pass over it shows. One byte more
  // shows whether the file grew meanwhile.
  const size_t expected = std::filesystem::file_size(file, code);
  size_t capacity = code ? size_t{1} << 16 : expected + 1;
  std::unique_ptr<char[]> text;
  size_t size = 0;
  bool failed = false;
  try {
    text.reset(new char[capacity]);
    size_t got = 0;
    while ((got = std::fread(text.get() + size, 1, capacity - size, stream)) > 0) {
      size += got;
      if (size == capacity) {
        std::unique_ptr<char[]> larger(new char[2 * capacity]);
        std::memcpy(larger.get(), text.get(), size);
        text = std::move(larger);
        capacity *= 2;
      }
    }
    failed = std::ferror(stream) != 0;
  } catch (const std::bad_alloc &) {
    std::fclose(stream);
    return unreadable(file, "there is not enough memory to hold it");
  }
  std::fclose(stream);
  if (failed)
    return unreadable(file, "a read failed");
  return parseScene(std::string_view(text.get(), size), file.string());
}

}  // namespace hostemu
