// Action scripts of `hostemu run`: any text is parsed or refused with a
// message naming the place; every action parsed names itself and its place.
#include "actions.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0)
    return 0;
  // The first byte chooses between a script file and --do.
  const bool inline_ = (data[0] & 1) != 0;
  const std::string_view text(reinterpret_cast<const char *>(data + 1), size - 1);
  hostemu::cli::ActionList list = hostemu::cli::parseActions(text, "fuzz.txt", inline_);
  for (const hostemu::cli::Action &action : list.actions) {
    if (action.text.empty() || action.where.empty())
      std::abort();
  }
  return 0;
}
