// A list that grows in blocks of a fixed size. Appending never moves what the
// list holds and never needs room for a second copy of it, which matters for
// an undo step that keeps the values of a million objects.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace hostemu {

template <class T, size_t blockSize = 1024>
class BlockList {
 public:
  void push_back(T value) {
    if (size_ % blockSize == 0)
      blocks_.push_back(std::make_unique_for_overwrite<T[]>(blockSize));
    blocks_.back()[size_ % blockSize] = std::move(value);
    ++size_;
  }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  void clear() {
    blocks_.clear();
    size_ = 0;
  }

  template <class Visit>
  void forEach(Visit &&visit) {
    for (size_t i = 0; i < size_; ++i)
      visit(blocks_[i / blockSize][i % blockSize]);
  }

 private:
  std::vector<std::unique_ptr<T[]>> blocks_;
  size_t size_ = 0;
};

}  // namespace hostemu
