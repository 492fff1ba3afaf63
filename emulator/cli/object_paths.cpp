#include "object_paths.h"

#include <charconv>
#include <vector>

namespace hostemu::cli {
namespace {

constexpr size_t kPathsShown = 3;

// "Box[1]" → "Box" and 1; false when the component carries no place.
bool splitPlace(std::string_view component, std::string_view &name, size_t &place) {
  if (component.size() < 4 || component.back() != ']')
    return false;
  size_t open = component.rfind('[');
  if (open == std::string_view::npos || open == 0)
    return false;
  std::string_view digits = component.substr(open + 1, component.size() - open - 2);
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), place);
  if (error != std::errc() || end != digits.data() + digits.size())
    return false;
  name = component.substr(0, open);
  return true;
}

// The children of parent (the top level when null) that component names.
void matchChildren(const Document &document, HostObject *parent, std::string_view component,
                   std::vector<HostObject *> &out) {
  HostObject *first = parent != nullptr ? parent->firstChild() : document.firstObject();
  size_t before = out.size();
  for (HostObject *o = first; o != nullptr; o = o->next()) {
    if (o->name == component)
      out.push_back(o);
  }
  std::string_view name;
  size_t place = 0;
  if (out.size() > before || !splitPlace(component, name, place))
    return;
  size_t index = 0;
  for (HostObject *o = first; o != nullptr; o = o->next()) {
    if (o->name != name)
      continue;
    if (index++ == place) {
      out.push_back(o);
      return;
    }
  }
}

std::string listPaths(const std::vector<HostObject *> &matches) {
  std::string list;
  for (size_t i = 0; i < matches.size() && i < kPathsShown; ++i) {
    list += (i == 0 ? "" : ", ") + Document::pathOf(matches[i]);
  }
  if (matches.size() > kPathsShown)
    list += ", ...";
  return list;
}

}  // namespace

ObjectLookup findObject(const Document &document, std::string_view path) {
  std::vector<HostObject *> matches;
  bool bare = path.find('/') == std::string_view::npos;
  if (bare) {
    for (HostObject *o = document.firstObject(); o != nullptr; o = Document::nextInTree(o)) {
      if (o->name == path)
        matches.push_back(o);
    }
    if (matches.empty())
      matchChildren(document, nullptr, path, matches);
  } else {
    std::vector<HostObject *> level{nullptr};
    size_t start = 0;
    while (start <= path.size() && !level.empty()) {
      size_t end = path.find('/', start);
      if (end == std::string_view::npos)
        end = path.size();
      std::vector<HostObject *> below;
      for (HostObject *parent : level)
        matchChildren(document, parent, path.substr(start, end - start), below);
      level.swap(below);
      start = end + 1;
    }
    matches = std::move(level);
  }
  ObjectLookup lookup;
  if (matches.size() == 1) {
    lookup.object = matches[0];
  } else if (matches.empty()) {
    lookup.problem = "no object is named \"" + std::string(path) + "\"" +
                     (bare ? std::string() : " (a path goes from the top level, names joined by '/')");
  } else {
    lookup.problem = std::to_string(matches.size()) + " objects are named \"" + std::string(path) + "\" (" +
                     listPaths(matches) + "); give the one you mean by its path";
  }
  return lookup;
}

}  // namespace hostemu::cli
