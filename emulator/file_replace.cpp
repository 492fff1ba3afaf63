#include "file_replace.h"

#include "file_output.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace hostemu {
namespace {

std::optional<ReplaceStep> g_injectedFault;

bool injected(ReplaceStep step) {
  if (g_injectedFault != step)
    return false;
  g_injectedFault.reset();
#ifdef _WIN32
  SetLastError(ERROR_WRITE_FAULT);
#else
  errno = EIO;
#endif
  return true;
}

std::string describe(const char *what, const std::filesystem::path &path, const std::string &reason) {
  return std::string(what) + " " + path.string() + ": " + reason;
}

#ifdef _WIN32

std::string lastError() {
  return "system error " + std::to_string(GetLastError());
}

std::string replace(const std::filesystem::path &target, const ContentProducer &produce, bool) {
  std::filesystem::path temporary = target;
  temporary += L".saving";
  HANDLE file =
      CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return describe("cannot create", temporary, lastError());
  std::string failure;
  produce([&](std::string_view content) {
    size_t done = 0;
    while (failure.empty() && done < content.size()) {
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(content.size() - done, 1u << 30));
      DWORD written = 0;
      if (injected(ReplaceStep::write) || !WriteFile(file, content.data() + done, chunk, &written, nullptr)) {
        failure = describe("cannot write", temporary, lastError());
      }
      done += written;
    }
    return failure.empty();
  });
  if (failure.empty() && injected(ReplaceStep::write))
    failure = describe("cannot write", temporary, lastError());
  if (failure.empty() && (injected(ReplaceStep::flush) || !FlushFileBuffers(file))) {
    failure = describe("cannot flush", temporary, lastError());
  }
  CloseHandle(file);
  if (failure.empty() &&
      (injected(ReplaceStep::rename) ||
       !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))) {
    failure = describe("cannot replace", target, lastError());
  }
  if (!failure.empty())
    DeleteFileW(temporary.c_str());
  return failure;
}

#else

std::string errorText(int code) {
  return std::strerror(code);
}

// The rename is only durable once the directory entry is on the disk too.
void flushDirectory(const std::filesystem::path &directory) {
  int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0)
    return;
  ::fsync(fd);
  ::close(fd);
}

std::string replace(const std::filesystem::path &target, const ContentProducer &produce, bool large) {
  std::filesystem::path directory = target.parent_path();
  if (directory.empty())
    directory = ".";
  // Appended piece by piece: GCC 12 at -O3 reports a false overlap (-Wrestrict)
  // for "." + string.
  std::string hidden = ".";
  hidden += target.filename().string();
  hidden += ".saving-XXXXXX";
  std::string pattern = (directory / hidden).string();
  int fd = ::mkstemp(pattern.data());
  const std::filesystem::path temporary = pattern;
  if (fd < 0)
    return describe("cannot create a file beside", target, errorText(errno));

  // The new file keeps the old one's permissions; a first save gets rw-r--r--.
  struct stat old {};
  ::fchmod(fd, ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);

  std::string failure;
  int writeError = 0;
  if (injected(ReplaceStep::write)) {
    writeError = errno;
  } else {
    FileOutput output(fd, large);
    produce([&](std::string_view piece) {
      errno = 0;
      if (output.write(piece))
        return true;
      writeError = errno ? errno : EIO;
      return false;
    });
    errno = 0;
    if (writeError == 0 && !output.finish())
      writeError = errno ? errno : EIO;
  }
  errno = 0;
  if (writeError != 0) {
    failure = describe("cannot write", temporary, errorText(writeError));
  } else if (injected(ReplaceStep::flush) || ::fsync(fd) != 0) {
    failure = describe("cannot flush", temporary, errorText(errno ? errno : EIO));
  }
  if (::close(fd) != 0 && failure.empty())
    failure = describe("cannot close", temporary, errorText(errno));
  if (failure.empty() && (injected(ReplaceStep::rename) || ::rename(temporary.c_str(), target.c_str()) != 0)) {
    failure = describe("cannot replace", target, errorText(errno ? errno : EIO));
  }
  if (!failure.empty()) {
    ::unlink(temporary.c_str());
    return failure;
  }
  flushDirectory(directory);
  return {};
}

#endif

}  // namespace

std::string replaceFile(const std::filesystem::path &target, std::string_view content) {
  return replace(
      target, [content](const ContentWriter &write) { write(content); }, false);
}

std::string replaceFile(const std::filesystem::path &target, const ContentProducer &produce) {
  return replace(target, produce, true);
}

void failNextReplaceAt(ReplaceStep step) {
  g_injectedFault = step;
}

}  // namespace hostemu
