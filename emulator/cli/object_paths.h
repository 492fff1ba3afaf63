// The objects a `select` action names: names joined by '/' from the top
// level, or a bare name that only one object in the whole tree carries. A
// name that siblings share is told apart by its place among them, "Box[1]",
// as the journal writes it.
#pragma once

#include "document.h"

#include <string>
#include <string_view>

namespace hostemu::cli {

struct ObjectLookup {
  HostObject *object = nullptr;
  std::string problem;  // why no single object was found
};

ObjectLookup findObject(const Document &document, std::string_view path);

}  // namespace hostemu::cli
