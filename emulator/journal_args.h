// Building the argument arrays of journal entries. A braced list would turn
// a two-element list that starts with a text into a JSON object; this never
// does.
#pragma once

#include "host.h"
#include "journal.h"

#include <nlohmann/json.hpp>

#include <utility>

namespace hostemu {

template <typename... Args>
nlohmann::json journalArgs(Args &&...args) {
  nlohmann::json list = nlohmann::json::array();
  (list.push_back(nlohmann::json(std::forward<Args>(args))), ...);
  return list;
}

// Records service with its arguments when the current host's journal is on.
// The arguments are only built then.
template <typename... Args>
void journalCall(const char *service, Args &&...args) {
  Journal &journal = Host::current().journal();
  if (journal.enabled())
    journal.record(service, journalArgs(std::forward<Args>(args)...));
}

}  // namespace hostemu
