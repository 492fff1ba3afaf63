#include "child_process.h"

namespace hostemu::validate {

std::string firstErrorLine(const std::string &text) {
  std::string fallback;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos)
      end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line.empty())
      continue;
    if (line.find("ERROR") != std::string::npos || line.find("runtime error") != std::string::npos ||
        line.rfind("hostemu", 0) == 0) {
      return line.size() > 300 ? line.substr(0, 300) + "..." : line;
    }
    if (fallback.empty())
      fallback = line;
  }
  return fallback.size() > 300 ? fallback.substr(0, 300) + "..." : fallback;
}

}  // namespace hostemu::validate
