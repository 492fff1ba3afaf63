// A host file name, owned: created through the Fn table and destroyed with the
// object.
#pragma once

#include "host_string.h"
#include "host_types.h"
#include "placement.h"

namespace framework {

class Filename {
 public:
  Filename();
  ~Filename();
  Filename(const Filename &other);
  Filename &operator=(const Filename &other);

  // Replaces this name by a copy of `source` (borrowed).
  void CopyFrom(const HostFilename *source);

  // The directory that holds this name.
  Filename Directory() const;
  // This name joined with one more component.
  Filename Join(const String &component) const;
  // The last component, optionally without its extension.
  String FileName(bool stripExtension) const;
  bool Equals(const Filename &other) const;

  // Null when the host had no memory for it.
  HostFilename *Get() const { return name_; }

  // For a Filename that lives in a block of the host's allocator: runs its
  // destructor when the host releases the block.
  static void DestroyInBlock(void *block);

  KWANTEL_NO_GLOBAL_DELETE

 private:
  HostFilename *name_ = nullptr;
};

}  // namespace framework
