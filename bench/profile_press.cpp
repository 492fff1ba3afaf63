#include "big_documents.h"
#include "module_user.h"
#include "sections.h"

#include <cstdio>
#include <cstring>

namespace bench {

int ProfilePress(const char *what) {
  const bool size = std::strcmp(what, "size") == 0;
  const bool chain = std::strcmp(what, "chain") == 0;
  if (!size && !chain && std::strcmp(what, "flat") != 0) {
    std::fprintf(stderr, "kwantel_bench: profile takes size, flat or chain\n");
    return 2;
  }
  hostemu::Host host;
  ModuleUser user(host, size ? RoundChoice{false, false, true, 0} : RoundChoice{true, true, true, 1});
  host.setActiveDocument(size ? PointObjectDocument(kSizePassPoints)
                              : NullObjectsDocument(kManyObjects, chain ? Shape::chain : Shape::flat));
  user.pressRound();
  return 0;
}

}  // namespace bench
