// A directory of its own for one test, removed with everything in it when the
// test ends.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>

#include <unistd.h>

class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    // The clock as well: process ids come round again, and under Wine a
    // folder whose files a test still held open outlives its test.
    path_ = std::filesystem::temp_directory_path() /
            ("kwantel-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
             std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;

  const std::filesystem::path &path() const { return path_; }
  std::filesystem::path operator/(const std::string &name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};
