#include "console.h"

#include <nlohmann/json.hpp>

#include <ostream>

namespace hostemu {

void Console::write(ConsoleLine line) {
  if (sink_)
    sink_(line);
  lines_.push_back(std::move(line));
}

void Console::writeJsonLines(std::ostream &out) const {
  for (const ConsoleLine &l : lines_) {
    out << nlohmann::json{{"text", l.text},
                          {"file", l.file},
                          {"line", l.line},
                          {"audience", l.audience},
                          {"meta", l.meta}}
               .dump()
        << '\n';
  }
}

}  // namespace hostemu
