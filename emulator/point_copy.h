// Copies of point arrays for undo records.
#pragma once

#include "host_types.h"

#include <utility>
#include <vector>

namespace hostemu {

// The same points in other memory. A large copy goes into the pages of a
// released copy when one of about its size is kept (see releasePoints), or
// else into new memory made present in one request before the points go in:
// taken one page fault at a time, fresh memory costs several times the
// copying itself, and even in one request it costs about four copies.
std::vector<HostVector> copyPoints(const std::vector<HostVector> &points);

// Takes the memory of a point array that an undo record no longer needs. A
// large one is kept for the next large copy instead of going back to the
// system; the process keeps at most one, and gives it up when a large copy
// that it does not fit comes, so that what is kept never adds to the memory
// a copy needs.
void releasePoints(std::vector<HostVector> &&points);

// An undo record's points; their memory goes to releasePoints when the
// record goes.
class SavedPoints {
 public:
  SavedPoints() = default;
  explicit SavedPoints(const std::vector<HostVector> &points) : points_(copyPoints(points)) {}
  ~SavedPoints() { releasePoints(std::move(points_)); }
  SavedPoints(SavedPoints &&other) noexcept = default;
  SavedPoints &operator=(SavedPoints &&other) noexcept {
    if (this != &other) {
      releasePoints(std::move(points_));
      points_ = std::move(other.points_);
    }
    return *this;
  }

  // Puts the saved points into an object and the object's into the record.
  void exchange(std::vector<HostVector> &points) { points_.swap(points); }

 private:
  std::vector<HostVector> points_;
};

}  // namespace hostemu
