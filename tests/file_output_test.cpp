// A large file's content goes to the disk from a buffer of the program's own
// in whole blocks, then the file is cut to the content's size: whatever the
// pieces and wherever the content ends, the file holds exactly the content.
#include "file_output.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#ifndef _WIN32

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Content(size_t size) {
  std::string text(size, ' ');
  for (size_t i = 0; i < size; ++i)
    text[i] = static_cast<char>('a' + (i * 31 + i / 4096) % 26);
  return text;
}

std::string Written(const std::vector<std::string> &pieces, bool direct, const std::filesystem::path &file) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  EXPECT_GE(fd, 0);
  {
    hostemu::FileOutput output(fd, direct);
    for (const std::string &piece : pieces)
      EXPECT_TRUE(output.write(piece));
    EXPECT_TRUE(output.finish());
  }
  ::close(fd);
  std::ifstream in(file, std::ios::binary);
  std::stringstream back;
  back << in.rdbuf();
  return back.str();
}

TEST(FileOutput, TheFileHoldsExactlyTheContent) {
  TempDir folder;
  constexpr size_t kStage = 4 << 20;
  // Cuts of the content into pieces: none, small and odd, a block, the
  // buffer's size and past it, ending on a block and a byte either side.
  const std::vector<std::vector<size_t>> cases = {
      {},
      {0},
      {1},
      {4095, 1},
      {4096},
      {4097},
      {kStage},
      {kStage - 1, 2},
      {7, kStage, 3 * 4096},
      {kStage + 5, 100'000, 1, 0, 2 * kStage + 4096 - 7},
  };
  for (const std::vector<size_t> &sizes : cases) {
    size_t total = 0;
    for (size_t size : sizes)
      total += size;
    const std::string content = Content(total);
    std::vector<std::string> pieces;
    size_t at = 0;
    for (size_t size : sizes) {
      pieces.push_back(content.substr(at, size));
      at += size;
    }
    for (bool direct : {true, false}) {
      const std::string back = Written(pieces, direct, folder / "out.txt");
      EXPECT_EQ(back.size(), total) << sizes.size() << " pieces, direct " << direct;
      EXPECT_TRUE(back == content) << sizes.size() << " pieces, direct " << direct;
    }
  }
}

TEST(FileOutput, AFileOnlyPartlyOverwrittenEndsWhereTheContentEnds) {
  TempDir folder;
  const std::filesystem::path file = folder / "out.txt";
  for (bool direct : {true, false}) {
    std::ofstream(file) << Content(20'000);
    const int fd = ::open(file.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    {
      hostemu::FileOutput output(fd, direct);
      ASSERT_TRUE(output.write("short"));
      ASSERT_TRUE(output.finish());
    }
    ::close(fd);
    EXPECT_EQ(std::filesystem::file_size(file), 5u) << "direct " << direct;
  }
}

}  // namespace

#endif
