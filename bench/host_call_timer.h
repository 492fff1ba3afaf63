// Times the emulator's side of the host calls a size pass makes: the module's
// own time in a pass is the pass less the time spent in these calls. Installs
// timing copies of the Bo and Bd tables into a host record and puts the
// originals back when it goes; a module bound to the record afterwards calls
// through the copies. One timer at a time: the table slots carry no context.
#pragma once

#include "host_record.h"

namespace bench {

struct HostCallSeconds {
  double centre = 0.0;  // Bo.getMp: the bounding-box centre
  double undo = 0.0;    // Bd.addUndo: the undo record with its copy of the points
  double other = 0.0;   // Bo.isInstanceOf, Bo.getTagDataW, Bo.getTagDataCount

  double total() const { return centre + undo + other; }
};

class HostCallTimer {
 public:
  explicit HostCallTimer(HostRecord &record);
  ~HostCallTimer();
  HostCallTimer(const HostCallTimer &) = delete;
  HostCallTimer &operator=(const HostCallTimer &) = delete;

  const HostCallSeconds &seconds() const;
  void reset();

 private:
  HostRecord &record_;
  const void *originalObjects_;
  const void *originalDocuments_;
};

}  // namespace bench
