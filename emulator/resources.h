// The host's resource service: a module's string resource.
//
// A module's resource directory holds strings.json, the format of our own:
//   {"version": 1, "strings": {"10000": "Kwantel", "10002": "Rounds ..."}}
// each key an identifier (a whole number), each value its UTF-8 text. A
// directory without that file, or with one that is not of this form, has no
// resource; the reason goes to stderr for the user.
#pragma once

#include "strings.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

namespace hostemu {

class Host;

inline constexpr const char *kStringsFileName = "strings.json";

}  // namespace hostemu

struct HostResource {
  std::filesystem::path directory;
  std::map<int32_t, HostString *> strings;  // counted by the kernel until the resource is released
};

namespace hostemu {

class Resources {
 public:
  explicit Resources(Host &host) : host_(host) {}
  ~Resources();
  Resources(const Resources &) = delete;
  Resources &operator=(const Resources &) = delete;

  // The resource of directory; null when it has none, with problem() saying why.
  HostResource *load(const std::filesystem::path &directory);
  // Gives a handle back; false when it is not one this service handed out.
  bool release(HostResource *resource);
  bool isLive(const HostResource *resource) const { return live_.count(const_cast<HostResource *>(resource)) != 0; }
  // The string of id, or the host's empty string for an id the resource lacks.
  const HostString *string(HostResource *resource, int32_t id);

  uint64_t liveResources() const { return live_.size(); }
  const std::string &problem() const { return problem_; }

 private:
  void drop(HostResource &resource);

  Host &host_;
  std::unordered_map<HostResource *, std::unique_ptr<HostResource>> live_;
  std::string problem_;
};

}  // namespace hostemu
