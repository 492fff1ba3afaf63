// The host's console: what the default logger receives, plus what a user of
// the emulator sees (message boxes, documents opened for viewing).
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace hostemu {

struct ConsoleLine {
  std::string text;
  std::string file;
  int32_t line = 0;
  int32_t audience = 0;
  int32_t meta = 0;
};

class Console {
 public:
  void write(ConsoleLine line);
  const std::vector<ConsoleLine> &lines() const { return lines_; }
  void clear() { lines_.clear(); }

  // Called with each line as it is written (hostemu prints them).
  void setSink(std::function<void(const ConsoleLine &)> sink) { sink_ = std::move(sink); }

  // One JSON object a line: text, file, line, audience, meta.
  void writeJsonLines(std::ostream &out) const;

 private:
  std::vector<ConsoleLine> lines_;
  std::function<void(const ConsoleLine &)> sink_;
};

}  // namespace hostemu
