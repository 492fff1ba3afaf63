// The journal: every host service a module called, in order, with its
// arguments. Off by default, because a pass over a million objects makes
// millions of calls; each service checks enabled() before it builds anything.
#pragma once

#include <nlohmann/json.hpp>

#include <iosfwd>
#include <string>
#include <vector>

namespace hostemu {

struct JournalEntry {
  std::string service;  // "Bo.setRelPos", "kernel.allocClear", ...
  nlohmann::json args;  // always an array
};

class Journal {
 public:
  bool enabled() const { return enabled_; }
  void setEnabled(bool on) { enabled_ = on; }

  void record(std::string service, nlohmann::json args);
  const std::vector<JournalEntry> &entries() const { return entries_; }
  void clear() { entries_.clear(); }

  // One JSON object a line: {"service": ..., "args": [...]}.
  void writeJsonLines(std::ostream &out) const;

 private:
  bool enabled_ = false;
  std::vector<JournalEntry> entries_;
};

}  // namespace hostemu
