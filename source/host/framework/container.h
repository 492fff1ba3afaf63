// Containers of typed values under 32-bit keys.
#pragma once

#include "host_types.h"
#include "placement.h"

namespace framework {

// A container the module creates and destroys itself.
class Container {
 public:
  explicit Container(int32_t id);
  ~Container();
  Container(const Container &) = delete;
  Container &operator=(const Container &) = delete;

  void SetBool(int32_t key, bool value);
  void SetFloat(int32_t key, double value);
  void SetInt32(int32_t key, int32_t value);

  // Null when the host had no memory for it.
  HostContainer *Get() const { return container_; }

  KWANTEL_NO_GLOBAL_DELETE

 private:
  HostContainer *container_ = nullptr;
};

// Reads of a container someone else owns: the fallback when the key is
// missing, holds another type, or there is no container.
bool ContainerBool(const HostContainer *container, int32_t key, bool fallback);
double ContainerFloat(const HostContainer *container, int32_t key, double fallback);
int32_t ContainerInt32(const HostContainer *container, int32_t key, int32_t fallback);

}  // namespace framework
