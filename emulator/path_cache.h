// The paths by which the journal names a document's objects, worked out for
// a whole group of siblings at once and kept until the hierarchy changes.
// Worked out per call, a path costs a walk to the top and a count of the
// siblings that share each name on the way: with a million objects in one
// group, or a chain a thousand deep, the journal of a pass would never end.
// Kept as the journal writes them: each name made valid UTF-8, which gives
// the same text as the whole path made valid, since the separators are ASCII.
#pragma once

#include <string>
#include <unordered_map>

struct HostObject;

namespace hostemu {

class PathCache {
 public:
  // The path of object, whose top level starts at topLevel. Valid until
  // clear().
  const std::string &pathOf(const HostObject *object, const HostObject *topLevel);
  // Forgets every path: the hierarchy has changed.
  void clear();

 private:
  // The paths of first and its next siblings, below the path prefix.
  void addSiblings(const HostObject *first, const std::string &prefix);

  std::unordered_map<const HostObject *, std::string> paths_;
};

}  // namespace hostemu
