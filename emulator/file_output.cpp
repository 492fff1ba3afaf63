#include "file_output.h"

#ifndef _WIN32

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace hostemu {
namespace {

// Direct writes start, end and lie in memory on whole blocks of the device;
// this is a multiple of every block size in use.
constexpr size_t kBlock = 4096;
// Held before it goes to the disk: a few milliseconds of writing.
constexpr size_t kStageSize = 4 << 20;

bool writeAllAt(int fd, const char *data, size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t written = ::pwrite(fd, data, size, offset);
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0) {
      if (written == 0)
        errno = EIO;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
    offset += written;
  }
  return true;
}

// Written pages go to the disk while the rest is still being produced, so
// that the flush at the end waits for little more than the last of them.
void startWriteback([[maybe_unused]] int fd, [[maybe_unused]] off_t offset, [[maybe_unused]] size_t size) {
#ifdef __linux__
  ::sync_file_range(fd, offset, static_cast<off_t>(size), SYNC_FILE_RANGE_WRITE);
#endif
}

}  // namespace

FileOutput::FileOutput(int fd, [[maybe_unused]] bool direct) : fd_(fd) {
#ifdef O_DIRECT
  if (!direct)
    return;
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_DIRECT) != 0)
    return;
  stage_ = static_cast<char *>(std::aligned_alloc(kBlock, kStageSize));
  if (stage_ == nullptr)
    ::fcntl(fd, F_SETFL, flags);
#endif
}

FileOutput::~FileOutput() {
  std::free(stage_);
}

void FileOutput::stopWritingDirectly() {
#ifdef O_DIRECT
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0)
    ::fcntl(fd_, F_SETFL, flags & ~O_DIRECT);
#endif
}

bool FileOutput::write(std::string_view piece) {
  if (stage_ == nullptr) {
    const off_t at = size_;
    if (!writeAllAt(fd_, piece.data(), piece.size(), at))
      return false;
    size_ += static_cast<off_t>(piece.size());
    startWriteback(fd_, at, piece.size());
    return true;
  }
  while (!piece.empty()) {
    const size_t taken = std::min(kStageSize - staged_, piece.size());
    std::memcpy(stage_ + staged_, piece.data(), taken);
    staged_ += taken;
    size_ += static_cast<off_t>(taken);
    piece.remove_prefix(taken);
    if (staged_ == kStageSize && !writeStage(kStageSize))
      return false;
  }
  return true;
}

// length: the staged bytes, padded to whole blocks.
bool FileOutput::writeStage(size_t length) {
  const off_t at = size_ - static_cast<off_t>(staged_);
  if (!writeAllAt(fd_, stage_, length, at)) {
    // A file system may take the flag and still refuse the write; the
    // same bytes then go through the page cache, over any part written.
    if (errno != EINVAL)
      return false;
    stopWritingDirectly();
    if (!writeAllAt(fd_, stage_, length, at))
      return false;
  }
  staged_ = 0;
  return true;
}

bool FileOutput::finish() {
  if (stage_ != nullptr && staged_ > 0) {
    const size_t padded = (staged_ + kBlock - 1) / kBlock * kBlock;
    std::memset(stage_ + staged_, 0, padded - staged_);
    if (!writeStage(padded))
      return false;
  }
  // Past the padding of the last block, and past whatever the file held.
  return ::ftruncate(fd_, size_) == 0;
}

}  // namespace hostemu

#endif
