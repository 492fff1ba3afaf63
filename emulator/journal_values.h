// Journal arguments for the document services: vectors and strings, built
// only when the journal is on. journalWhenOn takes a function that makes the
// argument list, so that costly arguments (an object's path) are not made
// at all with the journal off: a pass over a million objects stays cheap.
#pragma once

#include "host.h"
#include "host_types.h"
#include "journal.h"

#include <nlohmann/json.hpp>

namespace hostemu {

nlohmann::json jsonVector(const HostVector &value);
// A vector the module passed by pointer; null stays null.
nlohmann::json jsonVector(const HostVector *value);
nlohmann::json jsonText(const HostString *text);
nlohmann::json jsonText(const char *text);
// An object array by its serial: "array#N".
nlohmann::json jsonArray(const HostObjectArray *array);

// Out of line, so that a service whose journal is off does no more than
// test a flag.
template <class MakeArgs>
[[gnu::noinline, gnu::cold]] void journalRecord(Journal &journal, const char *service, MakeArgs &makeArgs) {
  journal.record(service, makeArgs());
}

template <class MakeArgs>
inline void journalWhenOn(const char *service, MakeArgs &&makeArgs) {
  Journal &journal = Host::current().journal();
  if (journal.enabled()) [[unlikely]]
    journalRecord(journal, service, makeArgs);
}

}  // namespace hostemu
