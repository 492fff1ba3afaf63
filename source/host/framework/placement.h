// Construction in memory the host handed out. <new> is not available to the
// module, so placement takes a tag type that no other operator new uses.
#pragma once

#include <stddef.h>

struct KwantelPlacement {};

inline void *operator new(size_t, KwantelPlacement, void *where) noexcept {
  return where;
}
// Matches the form above; only called if a constructor could throw, which it cannot here.
inline void operator delete(void *, KwantelPlacement, void *) noexcept {}

#define KWANTEL_PLACE(where) new (KwantelPlacement{}, (where))

// The base classes declare this as their class-level operator delete: deleting
// destructors then reference it instead of the global one, which a module built
// without a C++ runtime does not have. The host owns and frees the memory.
#define KWANTEL_NO_GLOBAL_DELETE \
  static void operator delete(void *) noexcept {}
