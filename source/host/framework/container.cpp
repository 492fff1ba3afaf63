#include "container.h"

#include "host_tables.h"

namespace framework {

Container::Container(int32_t id) {
  if (t_C4DOS_Bc != nullptr) {
    container_ = t_C4DOS_Bc->create(id);
  }
}

Container::~Container() {
  if (container_ != nullptr && t_C4DOS_Bc != nullptr) {
    t_C4DOS_Bc->destroy(container_);
  }
}

void Container::SetBool(int32_t key, bool value) {
  if (container_ != nullptr) {
    t_C4DOS_Bc->setBool(container_, key, value);
  }
}

void Container::SetFloat(int32_t key, double value) {
  if (container_ != nullptr) {
    t_C4DOS_Bc->setFloat(container_, key, value);
  }
}

void Container::SetInt32(int32_t key, int32_t value) {
  if (container_ != nullptr) {
    t_C4DOS_Bc->setInt32(container_, key, value);
  }
}

bool ContainerBool(const HostContainer *container, int32_t key, bool fallback) {
  return container != nullptr && t_C4DOS_Bc != nullptr ? t_C4DOS_Bc->getBool(container, key, fallback) : fallback;
}

double ContainerFloat(const HostContainer *container, int32_t key, double fallback) {
  return container != nullptr && t_C4DOS_Bc != nullptr ? t_C4DOS_Bc->getFloat(container, key, fallback) : fallback;
}

int32_t ContainerInt32(const HostContainer *container, int32_t key, int32_t fallback) {
  return container != nullptr && t_C4DOS_Bc != nullptr ? t_C4DOS_Bc->getInt32(container, key, fallback) : fallback;
}

}  // namespace framework
