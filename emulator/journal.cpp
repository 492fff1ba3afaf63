#include "journal.h"

#include <ostream>

namespace hostemu {

void Journal::record(std::string service, nlohmann::json args) {
  entries_.push_back(JournalEntry{std::move(service), std::move(args)});
}

void Journal::writeJsonLines(std::ostream &out) const {
  for (const JournalEntry &entry : entries_) {
    out << nlohmann::json{{"service", entry.service}, {"args", entry.args}}.dump() << '\n';
  }
}

}  // namespace hostemu
