#include "path_cache.h"

#include "document.h"
#include "utf8.h"

#include <string_view>
#include <vector>

namespace hostemu {

const std::string &PathCache::pathOf(const HostObject *object, const HostObject *topLevel) {
  if (auto known = paths_.find(object); known != paths_.end())
    return known->second;
  // The object and the ancestors whose paths are not known yet, from the
  // object up; then their groups of siblings from the top down, each below
  // its parent's path.
  std::vector<const HostObject *> unknown;
  for (const HostObject *o = object; o != nullptr && !paths_.contains(o); o = o->parent())
    unknown.push_back(o);
  for (auto o = unknown.rbegin(); o != unknown.rend(); ++o) {
    const HostObject *parent = (*o)->parent();
    if (parent == nullptr) {
      addSiblings(topLevel, std::string());
    } else {
      // The map's elements stay where they are as it grows.
      const std::string &above = paths_.at(parent);
      addSiblings(parent->firstChild(), above + '/');
    }
  }
  return paths_.at(object);
}

void PathCache::clear() {
  if (!paths_.empty())
    paths_.clear();
}

void PathCache::addSiblings(const HostObject *first, const std::string &prefix) {
  if (first != nullptr && first->next() == nullptr) {
    paths_.try_emplace(first, prefix + validUtf8(first->name));
    return;
  }
  // A name that siblings share carries each one's place among them.
  std::unordered_map<std::string_view, size_t> sharing;
  for (const HostObject *o = first; o != nullptr; o = o->next())
    ++sharing[o->name];
  std::unordered_map<std::string_view, size_t> placed;
  for (const HostObject *o = first; o != nullptr; o = o->next()) {
    if (sharing[o->name] == 1) {
      paths_.try_emplace(o, prefix + validUtf8(o->name));
    } else {
      const size_t place = placed[o->name]++;
      paths_.try_emplace(o, prefix + validUtf8(o->name) + '[' + std::to_string(place) + ']');
    }
  }
}

}  // namespace hostemu
