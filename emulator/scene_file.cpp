#include "scene_file.h"

#include "parallel.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <optional>
#include <system_error>
#include <vector>

namespace hostemu {
namespace {

SceneRead unreadable(const std::filesystem::path &file, const std::string &reason) {
  SceneRead result;
  result.error = SceneError{SceneProblem::unreadable, {}, file.string() + ": cannot read the scene file: " + reason};
  return result;
}

struct FileText {
  std::unique_ptr<char[]> bytes;
  size_t size = 0;
  bool failed = false;
};

// Straight into one buffer of the file's expected size, left uninitialised:
// a scene may be gigabytes, and every pass over it shows. One byte more
// shows whether the file grew meanwhile; then the buffer grows.
FileText readWhole(std::FILE *stream, std::optional<size_t> expected) {
  FileText text;
  size_t capacity = expected ? *expected + 1 : size_t{1} << 16;
  text.bytes.reset(new char[capacity]);
  size_t got = 0;
  while ((got = std::fread(text.bytes.get() + text.size, 1, capacity - text.size, stream)) > 0) {
    text.size += got;
    if (text.size == capacity) {
      std::unique_ptr<char[]> larger(new char[2 * capacity]);
      std::memcpy(larger.get(), text.bytes.get(), text.size);
      text.bytes = std::move(larger);
      capacity *= 2;
    }
  }
  text.failed = std::ferror(stream) != 0;
  return text;
}

// Copying a large file into fresh memory is most of the time its reading
// takes: it is read a part per core, each part through a stream of its own.
// Fails, for a reading in one part, when any part came short.
constexpr size_t kBytesPerPart = 32 << 20;

FileText readInParts(const std::filesystem::path &file, size_t size) {
  FileText text;
  text.bytes.reset(new char[size]);
  text.size = size;
  const size_t parts = std::min(usableCores(), size / kBytesPerPart);
  std::vector<char> done(parts, 0);
  runParts(parts, [&](size_t i) {
    const size_t from = size / parts * i;
    const size_t to = i + 1 == parts ? size : size / parts * (i + 1);
    std::ifstream in(file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from));
    in.read(text.bytes.get() + from, static_cast<std::streamsize>(to - from));
    done[i] = in && static_cast<size_t>(in.gcount()) == to - from;
  });
  std::error_code code;
  text.failed = std::find(done.begin(), done.end(), 0) != done.end() || std::filesystem::file_size(file, code) != size;
  return text;
}

}  // namespace

SceneRead readSceneFile(const std::filesystem::path &file) {
  std::error_code code;
  if (std::filesystem::is_directory(file, code))
    return unreadable(file, "it is a folder");
  std::FILE *stream = std::fopen(file.string().c_str(), "rb");
  if (stream == nullptr)
    return unreadable(file, std::strerror(errno));
  const size_t size = std::filesystem::file_size(file, code);
  const std::optional<size_t> expected = code ? std::nullopt : std::optional<size_t>(size);
  FileText text;
  try {
    if (expected && *expected >= 2 * kBytesPerPart && usableCores() > 1)
      text = readInParts(file, *expected);
    if (text.size == 0 || text.failed)
      text = readWhole(stream, expected);
  } catch (const std::bad_alloc &) {
    std::fclose(stream);
    return unreadable(file, "there is not enough memory to hold it");
  }
  std::fclose(stream);
  if (text.failed)
    return unreadable(file, "a read failed");
  return parseScene(std::string_view(text.bytes.get(), text.size), file.string());
}

}  // namespace hostemu
