// The handles a module holds of one kind (containers, filenames, bitmaps):
// what it got from a create slot and has not given back yet. A handle outside
// the set is not the module's to use or release.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

namespace hostemu {

template <typename T>
class LiveSet {
 public:
  T *add(std::unique_ptr<T> item) {
    T *raw = item.get();
    items_.emplace(raw, std::move(item));
    return raw;
  }
  bool contains(const T *item) const { return items_.count(const_cast<T *>(item)) != 0; }
  // False when item is not live.
  bool remove(const T *item) { return items_.erase(const_cast<T *>(item)) != 0; }
  uint64_t size() const { return items_.size(); }

 private:
  std::unordered_map<T *, std::unique_ptr<T>> items_;
};

}  // namespace hostemu
