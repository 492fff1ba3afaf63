// A file's content written through its descriptor (POSIX), as the pieces of
// a large file come. On Linux such content can go to the disk around the
// page cache, from an aligned buffer of this program's own (O_DIRECT):
// copying gigabytes into new page-cache pages cost more than formatting
// them, and the disk then writes while the next pieces are made.
#pragma once

#ifndef _WIN32

#include <sys/types.h>

#include <cstddef>
#include <string_view>

namespace hostemu {

class FileOutput {
 public:
  // direct: around the page cache where the system and the file system
  // allow it; otherwise, and always when false, as any write.
  FileOutput(int fd, bool direct);
  ~FileOutput();
  FileOutput(const FileOutput &) = delete;
  FileOutput &operator=(const FileOutput &) = delete;

  // False, with errno set, when the system refused.
  bool write(std::string_view piece);
  // Writes what is still held and gives the file the content's exact size.
  bool finish();

 private:
  bool writeStage(size_t length);
  void stopWritingDirectly();

  int fd_;
  char *stage_ = nullptr;  // aligned; null when writing through the page cache
  size_t staged_ = 0;
  off_t size_ = 0;  // of the content handed over
};

}  // namespace hostemu

#endif
